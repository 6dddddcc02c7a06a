#!/usr/bin/env bash
# The .deb made by tools/make-deb.sh: its control fields (Depends computed
# from the binaries), the files it installs (programs in one folder, their
# data in /usr/share/krvstudio, the manual, copyright and changelog in
# /usr/share/doc/krvstudio, man pages, launchers, desktop entry, icons, the
# Designer plugin in Qt 6 Designer's plugin folder),
# nothing from the tests, a self-contained program folder, and what lintian
# and desktop-file-validate say of it when they are installed.
#   deb-test.sh <source dir> <build dir>
set -euo pipefail
src=$(cd "$1" && pwd)
build=$(cd "$2" && pwd)
if ! command -v dpkg-deb >/dev/null; then
  echo "SKIP: dpkg-deb is not installed"
  exit 77
fi
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$src/tools/make-deb.sh" --no-build "$build" "$tmp/out" >"$tmp/listing.txt" || fail "make-deb.sh"
deb=$(tail -1 "$tmp/listing.txt")
echo "package: $(basename "$deb")"

for field in 'Package: krvstudio' 'Version: 16.0.1-1' 'Maintainer: Northfield Hydraulics <' 'Section: electronics'; do
  grep -qF " $field" "$tmp/listing.txt" || fail "control lacks '$field'"
done
# Depends: the libraries dpkg-shlibdeps found in the binaries, and the
# platform plugins and the history's SQLite driver, which no binary names
depends=$(grep -E '^ Depends: ' "$tmp/listing.txt") || fail "control has no Depends"
for dependency in 'libc6 (>= ' 'libqt6widgets6 (>= ' 'libqt6core6 (>= ' 'libstdc++6 (>= ' 'qt6-qpa-plugins' \
  'libqt6sql6 (>= ' 'libqt6sql6-sqlite'; do
  grep -qF "$dependency" <<<"$depends" || fail "Depends lacks '$dependency': $depends"
done

expected=(
  usr/bin/krvstudio usr/bin/krvctl usr/bin/krv-sim
  usr/lib/krvstudio/krvstudio usr/lib/krvstudio/krvctl usr/lib/krvstudio/krv-sim
  usr/lib/krvstudio/libkrvdevlink.so usr/lib/krvstudio/libtessera.so.16 usr/lib/krvstudio/libtesseracore.so.16
  usr/share/krvstudio/installed.ini
  usr/share/krvstudio/res/ini/Ramlist.ini usr/share/krvstudio/res/ini/components.ini
  usr/share/krvstudio/res/ini/JoylistNew.ini usr/share/krvstudio/res/ini/DiagnosticList.ini
  usr/share/krvstudio/res/bmp/Init.jpg usr/share/applications/krvstudio.desktop
  usr/share/doc/krvstudio/copyright usr/share/doc/krvstudio/changelog.Debian.gz
)
# the Designer plugin where Qt 6 Designer looks for plugins
plugin_dir=
if [ "$(sed -n 's/^KRV_BUILD_DESIGNER_PLUGIN:BOOL=//p' "$build/CMakeCache.txt")" = ON ]; then
  plugin_dir=usr/$(sed -n 's/^KRV_DESIGNER_PLUGIN_DIR:[A-Z]*=//p' "$build/CMakeCache.txt")
  expected+=("$plugin_dir/libtessera_designer.so")
fi
for size in 16 32 48 64 128 256; do
  expected+=("usr/share/icons/hicolor/${size}x${size}/apps/krvstudio.png")
done
if [ -e "$build/bin/HX0MAN01E.pdf" ] || [ "${KRV_EXPECT_MANUAL:-0}" = 1 ]; then
  expected+=(usr/share/doc/krvstudio/HX0MAN01E.pdf)
fi
if [ -d "$build/man" ]; then
  expected+=(usr/share/man/man1/krvstudio.1.gz usr/share/man/man1/krvctl.1.gz usr/share/man/man1/krv-sim.1.gz)
fi
for f in "${expected[@]}"; do
  grep -qE " \./$f( -> .*)?\$" "$tmp/listing.txt" || fail "package lacks /$f"
done
for f in usr/bin/krvstudio usr/bin/krvctl usr/bin/krv-sim usr/lib/krvstudio/krvstudio; do
  grep -qE "^-rwxr-xr-x .* \./$f\$" "$tmp/listing.txt" || fail "/$f is not executable"
done
grep -qE 'test_|bench_|libgtest|krv-artwork|tessera_gallery|include/|cmake/Tessera' "$tmp/listing.txt" && fail "build-only files packaged"
# only what depends on the architecture below /usr/lib
grep -E ' \./usr/lib/.*\.(jpg|png|bmp|ico|ini|pdf)$' "$tmp/listing.txt" && fail "data files below /usr/lib"

# unpacked, the program folder finds its own libraries
dpkg-deb -x "$deb" "$tmp/root"
# (outputs taken whole first: grep -q in a pipe would cut the writer off)
dynamic=$(readelf -d "$tmp/root/usr/lib/krvstudio/krvstudio")
grep -qE 'RUNPATH.*\[\$ORIGIN\]' <<<"$dynamic" || fail "RUNPATH is not \$ORIGIN"
grep -qE 'FLAGS.*BIND_NOW' <<<"$dynamic" || grep -qE 'FLAGS_1.*NOW' <<<"$dynamic" \
  || [ "$(sed -n 's/^KRV_HARDENING:BOOL=//p' "$build/CMakeCache.txt")" = OFF ] || fail "not linked with -z now"
libraries=$(ldd "$tmp/root/usr/lib/krvstudio/krvstudio")
grep -q "libtessera.so.16 => $tmp/root/usr/lib/krvstudio/" <<<"$libraries" \
  || fail "libtessera.so.16 not found beside the program"
if [ -n "$plugin_dir" ]; then
  libraries=$(ldd "$tmp/root/$plugin_dir/libtessera_designer.so")
  loaded=$(sed -n 's/^\s*libtessera.so.16 => \(\S*\) .*/\1/p' <<<"$libraries")
  [ -n "$loaded" ] && [ "$(readlink -f "$loaded")" = "$(readlink -f "$tmp/root/usr/lib/krvstudio/libtessera.so.16")" ] \
    || fail "the Designer plugin does not find libtessera.so.16 in /usr/lib/krvstudio"
fi
echo "$(grep -cE ' \./usr/' "$tmp/listing.txt") entries, all expected files present"

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$tmp/root/usr/share/applications/krvstudio.desktop" >"$tmp/desktop.txt" 2>&1 \
    || { cat "$tmp/desktop.txt"; fail "desktop-file-validate"; }
  [ -s "$tmp/desktop.txt" ] && { cat "$tmp/desktop.txt"; fail "desktop-file-validate has remarks"; }
  echo "desktop-file-validate: no remarks"
else
  echo "desktop-file-validate not installed: desktop entry not checked"
fi

if command -v lintian >/dev/null; then
  # A build without the hardening flags (Debug, or KRV_HARDENING off) is
  # checked for everything else.
  suppress=()
  build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")
  if [ "$(sed -n 's/^KRV_HARDENING:BOOL=//p' "$build/CMakeCache.txt")" = OFF ] || [ "$build_type" = Debug ]; then
    suppress=(--suppress-tags hardening-no-fortify-functions,hardening-no-relro,hardening-no-bindnow)
    echo "lintian: build not hardened, hardening tags not checked"
  fi
  lintian --display-info "${suppress[@]}" "$deb" >"$tmp/lintian.txt" 2>&1 || true
  cat "$tmp/lintian.txt"
  if grep -qE '^[EW]: ' "$tmp/lintian.txt"; then
    fail "lintian reports errors or warnings"
  fi
  echo "lintian: no error, no warning"
else
  echo "lintian not installed: package not checked"
fi
echo "PASS"
