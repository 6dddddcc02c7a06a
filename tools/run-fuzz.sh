#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, ASan, UBSan) and runs each one
# for a while on a copy of its seed corpus:
#   tools/run-fuzz.sh [seconds per target, default 60] [target ...]
# Environment: FUZZ_BUILD (build folder, default build-fuzz), FUZZ_JOBS (-j, default 2).
# Findings (crash-*, leak-*, timeout-*) land in <build>/fuzz-findings/<target>/;
# the script ends non-zero when any target found something.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
build=${FUZZ_BUILD:-$top/build-fuzz}
all=(fuzz_ramlist fuzz_configfile fuzz_joylist fuzz_diagnosticlist fuzz_sectioncolours
     fuzz_stringeval fuzz_streval fuzz_replydecoder fuzz_requestdecoder)
targets=("${@:-${all[@]}}")

if [ ! -f "$build/CMakeCache.txt" ]; then
  CC=clang-14 CXX=clang++-14 cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKRV_FUZZ=ON -DKRV_SANITIZE=ON -DKRV_BUILD_TESTS=OFF -DKRV_BUILD_BENCH=OFF
fi
cmake --build "$build" -j"${FUZZ_JOBS:-2}" --target "${targets[@]}"

# shellcheck source=tools/sanitizer-env.sh
source "$top/tools/sanitizer-env.sh"
export QT_QPA_PLATFORM=offscreen
failed=()
for t in "${targets[@]}"; do
  corpus="$build/fuzz-corpus/$t"
  findings="$build/fuzz-findings/$t"
  mkdir -p "$corpus" "$findings"
  cp -n "$top/fuzz/corpus/$t/"* "$corpus/" 2>/dev/null || true
  echo "== $t: ${seconds}s"
  if ! "$build/bin/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
        -artifact_prefix="$findings/" -print_final_stats=1 "$corpus" >"$findings/log.txt" 2>&1; then
    failed+=("$t")
    tail -n 40 "$findings/log.txt"
  fi
  grep -E "^stat::(number_of_executed_units|average_exec_per_sec|new_units_added)" "$findings/log.txt" || true
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "findings in: ${failed[*]}" >&2
  exit 1
fi
echo "no findings"
