#!/usr/bin/env bash
# Installs what is missing, builds, and starts KRV Studio.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
"$top/tools/install-deps.sh" --run
"$top/tools/build.sh" "$top/build"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != "offscreen" ]; then
  echo "No display found: KRV Studio is a desktop program and needs one." >&2
  echo "Start it under a virtual display instead:  xvfb-run ./run.sh" >&2
  exit 1
fi

# COM 1 reaches the virtual controller: krv-sim on a pseudo-terminal, with its
# EEPROM kept between runs. Closing the program stops the simulator.
run="$top/build/sim-run"
mkdir -p "$run"
rm -f "$run/device"
"$top/build/bin/krv-sim" --link "$run/com1" --eeprom "$run/eeprom.txt" --control "$run/control.txt" \
  --exit-with-parent >"$run/device" 2>"$run/krv-sim.log" &
sim=$!
trap 'kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  [ -s "$run/device" ] && break
  kill -0 "$sim" 2>/dev/null || break
  sleep 0.1
done
if [ ! -s "$run/device" ]; then
  echo "krv-sim did not start:" >&2
  cat "$run/krv-sim.log" >&2
  exit 1
fi
export KRV_COM1="$run/com1"
echo "COM 1 = krv-sim on $(cat "$run/device"); faults: $run/control.txt (see README)"

status=0
"$top/build/bin/krvstudio" "$@" || status=$?
exit "$status"
