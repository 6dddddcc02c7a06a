#!/usr/bin/env bash
# The .deb made by tools/make-deb.sh: its control fields, the files it
# installs (programs in one folder, launchers, res/, desktop entry, icons),
# nothing from the tests, and a self-contained program folder.
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

for field in 'Package: krvstudio' 'Version: 16.0.1' 'Maintainer: Northfield Hydraulics <' 'libqt6widgets6 (>= 6.4)' \
  'qt6-qpa-plugins'; do
  grep -qF "$field" "$tmp/listing.txt" || fail "control lacks '$field'"
done

expected=(
  usr/bin/krvstudio usr/bin/krvctl usr/bin/krv-sim
  usr/lib/krvstudio/krvstudio usr/lib/krvstudio/krvctl usr/lib/krvstudio/krv-sim
  usr/lib/krvstudio/libkrvdevlink.so usr/lib/krvstudio/libtessera.so usr/lib/krvstudio/installed.ini
  usr/lib/krvstudio/res/ini/Ramlist.ini usr/lib/krvstudio/res/ini/components.ini
  usr/lib/krvstudio/res/ini/JoylistNew.ini usr/lib/krvstudio/res/ini/DiagnosticList.ini
  usr/lib/krvstudio/res/bmp/Init.jpg usr/share/applications/krvstudio.desktop
)
for size in 16 32 48 64 128 256; do
  expected+=("usr/share/icons/hicolor/${size}x${size}/apps/krvstudio.png")
done
if [ -e "$build/bin/HX0MAN01E.pdf" ] || [ "${KRV_EXPECT_MANUAL:-0}" = 1 ]; then
  expected+=(usr/lib/krvstudio/HX0MAN01E.pdf)
fi
for f in "${expected[@]}"; do
  grep -qE " \./$f\$" "$tmp/listing.txt" || fail "package lacks /$f"
done
for f in usr/bin/krvstudio usr/bin/krvctl usr/bin/krv-sim usr/lib/krvstudio/krvstudio; do
  grep -qE "^-rwxr-xr-x .* \./$f\$" "$tmp/listing.txt" || fail "/$f is not executable"
done
grep -qE 'test_|bench_|libgtest|krv-artwork|tessera_gallery|designer' "$tmp/listing.txt" && fail "build-only files packaged"

# unpacked, the program folder finds its own libraries
dpkg-deb -x "$deb" "$tmp/root"
# (outputs taken whole first: grep -q in a pipe would cut the writer off)
dynamic=$(readelf -d "$tmp/root/usr/lib/krvstudio/krvstudio")
grep -qE 'RUNPATH.*\[\$ORIGIN\]' <<<"$dynamic" || fail "RUNPATH is not \$ORIGIN"
libraries=$(ldd "$tmp/root/usr/lib/krvstudio/krvstudio")
grep -q "libtessera.so => $tmp/root/usr/lib/krvstudio/" <<<"$libraries" \
  || fail "libtessera.so not found beside the program"
echo "$(grep -cE ' \./usr/' "$tmp/listing.txt") entries, all expected files present"
echo "PASS"
