#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite; then builds
# it again with AddressSanitizer and UBSan (build-asan/) and runs it there,
# where any sanitizer report fails the test. KRV_NO_ASAN=1 skips that pass.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
"$top/tools/install-deps.sh"
"$top/tools/build.sh" "$top/build"
cd "$top/build"
QT_QPA_PLATFORM=offscreen ctest -j2 --output-on-failure "$@"

if [ "${KRV_NO_ASAN:-0}" != 1 ]; then
  "$top/tools/build.sh" "$top/build-asan" --asan
  # shellcheck source=tools/sanitizer-env.sh
  source "$top/tools/sanitizer-env.sh"
  cd "$top/build-asan"
  QT_QPA_PLATFORM=offscreen ctest -j2 --output-on-failure "$@"
fi
