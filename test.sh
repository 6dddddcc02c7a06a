#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
"$top/tools/install-deps.sh"
"$top/tools/build.sh" "$top/build"
cd "$top/build"
QT_QPA_PLATFORM=offscreen ctest -j2 --output-on-failure "$@"
