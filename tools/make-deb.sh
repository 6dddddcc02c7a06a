#!/usr/bin/env bash
# Makes the KRV Studio .deb from a build directory with CPack (the build is
# reused: only the installed programs are brought up to date) and lists it.
# Depends is computed by dpkg-shlibdeps (dpkg-dev) from the binaries.
#   tools/make-deb.sh [--no-build] [build dir, default build/] [output dir, default <build>/deb]
# --no-build packs the build as it is (the tests do, while other tests read
# the build's res/).
# Prints the package's control fields and its files (dpkg-deb -I, -c); the
# last line is the path of the .deb.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build_first=1
if [ "${1:-}" = --no-build ]; then
  build_first=0
  shift
fi
build=$(cd "${1:-$top/build}" && pwd)
out=${2:-$build/deb}
mkdir -p "$out"
out=$(cd "$out" && pwd)

if [ "$build_first" = 1 ]; then
  targets=(krvstudio krvctl krv-sim krvdevlink krv_res)
  # the manual, the man pages, the changelog and the Designer plugin, where
  # this build makes them
  available=$(cmake --build "$build" --target help 2>/dev/null)
  for optional in krv_manual krv_man krv_changelog tessera_designer; do
    if grep -q "^$optional" <<<"$available"; then
      targets+=("$optional")
    fi
  done
  cmake --build "$build" -j2 --target "${targets[@]}" >/dev/null
fi
rm -f "$out"/krvstudio_*.deb
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" || { cat "$out/cpack.log" >&2; exit 1; }
rm -rf "$out/_CPack_Packages"
deb=$(ls "$out"/krvstudio_*.deb)
# CPack gives a package with libraries below /usr/lib postinst and postrm
# scripts that run ldconfig; the libraries here are private (the programs
# find them through their RUNPATH) and dpkg's trigger would do it anyway, so
# the package is made again without them.
unpacked="$out/unpacked"
rm -rf "$unpacked"
dpkg-deb --raw-extract "$deb" "$unpacked"
rm -f "$unpacked/DEBIAN/postinst" "$unpacked/DEBIAN/postrm"
dpkg-deb --root-owner-group --build "$unpacked" "$deb" >/dev/null
rm -rf "$unpacked"
dpkg-deb -I "$deb"
dpkg-deb -c "$deb"
echo "$deb"
