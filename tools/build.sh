#!/usr/bin/env bash
# Configures and builds one build directory: tools/build.sh <dir> [extra cmake args]
#   tools/build.sh build-asan --asan   the same with AddressSanitizer and UBSan
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$top/build}
shift || true
args=()
for a in "$@"; do
  if [ "$a" = "--asan" ]; then
    # -O1 keeps the sanitized suite quick without hiding faults; benchmarks are left out
    args+=(-DKRV_SANITIZE=ON -DKRV_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-g -O1")
  else
    args+=("$a")
  fi
done
if [ ! -f "$dir/CMakeCache.txt" ]; then
  cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${args[@]}"
elif [ ${#args[@]} -gt 0 ]; then
  cmake "$dir" "${args[@]}" >/dev/null
fi
cmake --build "$dir" -j"$(nproc)"
