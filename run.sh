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

exec "$top/build/bin/krvstudio" "$@"
