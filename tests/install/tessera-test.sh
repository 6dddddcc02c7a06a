#!/usr/bin/env bash
# Tessera on its own: `cmake --install` with the tessera-dev component into a
# temporary prefix gives versioned libraries, the headers and the CMake
# package; a ten-line program is configured and built against it with
# find_package(Tessera) and run offscreen. The Designer plugin, when built,
# lies in Qt 6 Designer's plugin folder below the prefix and finds the
# installed library. krvctl and krv-sim load no widget library.
#   tessera-test.sh <build dir>
set -euo pipefail
build=$(cd "$1" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
cache() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }

prefix="$tmp/prefix"
libdir="$prefix/$(cache KRV_INSTALL_DIR)"
{ cmake --install "$build" --prefix "$prefix" && cmake --install "$build" --prefix "$prefix" --component tessera-dev; } \
  >"$tmp/install.log" || { cat "$tmp/install.log"; fail "cmake --install"; }

for lib in tessera tesseracore; do
  soname=$(readelf -d "$libdir/lib$lib.so" | sed -n 's/.*SONAME.*\[\(.*\)\]/\1/p')
  [ "$soname" = "lib$lib.so.16" ] || fail "lib$lib.so has SONAME '$soname'"
  [ -e "$libdir/$soname" ] || fail "missing $soname"
done
# the programs without windows stay on the widget-free core
for program in krvctl krv-sim; do
  libraries=$(ldd "$libdir/$program")
  grep -q "libtesseracore.so.16 => $libdir/" <<<"$libraries" || fail "$program does not load the installed core"
  grep -qi widgets <<<"$libraries" && fail "$program loads a widget library: $libraries"
done
for f in include/tessera/csection.h include/tessera/cvardatas.h include/tessera/tesseracore_global.h; do
  [ -e "$prefix/$f" ] || fail "missing $f"
done
config=$(find "$prefix" -name TesseraConfig.cmake)
[ -n "$config" ] || fail "no TesseraConfig.cmake installed"
echo "package: ${config#"$prefix"/}"

if [ "$(cache KRV_BUILD_DESIGNER_PLUGIN)" = ON ]; then
  plugin="$prefix/$(cache KRV_DESIGNER_PLUGIN_DIR)/libtessera_designer.so"
  [ -e "$plugin" ] || fail "the Designer plugin is not in $(dirname "$plugin")"
  libraries=$(ldd "$plugin")
  loaded=$(sed -n 's/^\s*libtessera.so.16 => \(\S*\) .*/\1/p' <<<"$libraries")
  [ -n "$loaded" ] && [ "$(readlink -f "$loaded")" = "$(readlink -f "$libdir/libtessera.so.16")" ] \
    || fail "the installed plugin does not load $libdir/libtessera.so.16: $libraries"
  echo "plugin: ${plugin#"$prefix"/}"
fi

mkdir -p "$tmp/consumer"
cat >"$tmp/consumer/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.25)
project(consumer CXX)
set(CMAKE_CXX_STANDARD 17)
find_package(Tessera 16 REQUIRED)
add_executable(consumer main.cpp)
target_link_libraries(consumer PRIVATE Tessera::tessera Tessera::core)
CMAKE
cat >"$tmp/consumer/main.cpp" <<'CPP'
#include "csection.h"
#include "cvardatas.h"
#include "vbnumber.h"
#include <QApplication>
#include <QTextStream>
int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    CVarDataS low;
    low.VarID = 41;
    CSection section;
    section.setSectionName(QStringLiteral("Section 1"));
    section.setCaricaMin(&low);
    QTextStream(stdout) << section.SectionName() << ' ' << section.VarMinID() << ' ' << VbNumber::plainDecimal(2.5)
                        << '\n';
}
CPP
cmake -S "$tmp/consumer" -B "$tmp/consumer/build" -DCMAKE_PREFIX_PATH="$prefix" >"$tmp/consumer.log" 2>&1 \
  && cmake --build "$tmp/consumer/build" >>"$tmp/consumer.log" 2>&1 \
  || { cat "$tmp/consumer.log"; fail "building the consumer against the installed package"; }
grep -E 'Build files|Linking' "$tmp/consumer.log"
libraries=$(ldd "$tmp/consumer/build/consumer")
grep -q "libtessera.so.16 => $libdir/" <<<"$libraries" || fail "the consumer does not load the installed Tessera"
output=$(QT_QPA_PLATFORM=offscreen "$tmp/consumer/build/consumer") || fail "the consumer failed"
echo "consumer printed: $output"
[ "$output" = "Section 1 41 2.5" ] || fail "unexpected consumer output"
echo "PASS"
