#!/usr/bin/env bash
# Configures and builds one build directory: tools/build.sh <dir> [extra cmake args]
#   tools/build.sh build-asan --asan   the test suite only, with AddressSanitizer and UBSan
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$top/build}
shift || true
args=()
targets=()
# CI sets KRV_WERROR=1: a warning fails the build there
if [ "${KRV_WERROR:-0}" = 1 ]; then
  args+=(-DKRV_WERROR=ON)
fi
for a in "$@"; do
  if [ "$a" = "--asan" ]; then
    # unoptimised keeps the build short on two cores; only what the tests need is built
    # (the manual is a document, printed and checked by the plain build)
    args+=(-DKRV_SANITIZE=ON -DKRV_BUILD_BENCH=OFF -DKRV_BUILD_MANUAL=OFF -DCMAKE_BUILD_TYPE=Debug)
    targets=(--target tests/all)
  else
    args+=("$a")
  fi
done
if [ ! -f "$dir/CMakeCache.txt" ]; then
  cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${args[@]}"
elif [ ${#args[@]} -gt 0 ]; then
  cmake "$dir" "${args[@]}" >/dev/null
fi
cmake --build "$dir" -j"$(nproc)" "${targets[@]}"
