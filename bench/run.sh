#!/bin/sh
# Performance runner: builds what it needs (RelWithDebInfo, in build-bench/ at
# the repository root unless KRV_BENCH_DIR names another folder) and prints one
# line per figure with its goal, against krv-sim pacing at 9600 baud with the
# shipped res/ini/Ramlist.ini:
#   read-all ratio, write-all ratio      Read All / Write All through the real
#                                        commands, elapsed / wire minimum
#   read-all time, write-all time        the same in ms, with the bytes and the
#                                        ratio to the payload (2 bytes a word)
#   monitor cycles, monitor cycle ratio  the on-line monitor polling, alone
#                                        and with the trend window open
#   cpu monitor, in process / trend open the program's CPU while it polls,
#                                        measured in the bench's own process,
#                                        without and with the trend window
#   start-up                             process start to main window shown,
#                                        less the splash's 200 ms minimum
#   cpu idle, cpu monitor                krvstudio connected and idle on the
#                                        configuration page, and polling
#   peak memory                          VmHWM over the whole session
# The transfer and monitor figures come twice: with a controller that takes
# block commands, and with one that does not (krv-sim --no-blocks).
# Not part of the tests: timing depends on the machine, so the load average
# is printed first. Measure when the machine is quiet.
# Usage: bench/run.sh [--no-build]
set -eu
cd "$(dirname "$0")/.."
dir=${KRV_BENCH_DIR:-build-bench}
targets="krvstudio krv-sim krvdevlink bench_commands bench_program bench_link"

if [ "${1:-}" != "--no-build" ]; then
  mkdir -p "$dir"
  log="$dir/bench-build.log"
  # the build's own output goes to a log, shown only when the build fails
  if ! {
    if [ ! -f "$dir/CMakeCache.txt" ]; then
      generator=""
      command -v ninja >/dev/null 2>&1 && generator="-G Ninja"
      # shellcheck disable=SC2086
      cmake -S . -B "$dir" $generator -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKRV_BUILD_TESTS=OFF
    fi
    # shellcheck disable=SC2086
    cmake --build "$dir" -j2 --target $targets
  } >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "bench/run.sh: the build failed (whole log: $log)" >&2
    exit 2
  fi
fi

bin="$dir/bin"
# Qt wants a private runtime folder; a session without one gets a scratch one
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  XDG_RUNTIME_DIR=$(mktemp -d)
  export XDG_RUNTIME_DIR
  trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
fi
echo "KRV Studio performance, $(date -u '+%Y-%m-%d %H:%M UTC'), $(git rev-parse --short HEAD 2>/dev/null || echo '?')"
echo "machine load$(uptime | sed 's/.*load average//'), $(nproc) cores"
status=0
# both kinds of controller: with block commands, and one that takes none
"$bin/bench_commands" || status=1
"$bin/bench_commands" 3 5 --no-blocks || status=1
"$bin/bench_program" || status=1
echo "mode: word commands only (--no-blocks), CPU figures"
"$bin/bench_program" 1 10 --no-blocks || status=1
echo "machine load after$(uptime | sed 's/.*load average//')"
exit $status
