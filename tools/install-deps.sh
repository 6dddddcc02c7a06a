#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build, test, package and run
# KRV Studio (qpdf adds the manual's bookmarks; help2man writes the man pages;
# lintian and desktop-file-validate check the package).
# Packages already present are skipped, so a ready machine is not slowed down.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-serialport-dev qt6-tools-dev libgl-dev
  libqt6opengl6-dev  # Qt6OpenGLWidgets, which the Designer plugin's CMake package needs
  qt6-charts-dev     # the trend recorder's chart
  libqt6sql6-sqlite  # the service history database
  libgtest-dev googletest
  clang-14 libclang-rt-14-dev
  fonts-dejavu-core
  poppler-utils qpdf
  xvfb xauth xdotool
  dpkg-dev file lintian help2man desktop-file-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg -s "$p" >/dev/null 2>&1; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  SUDO=sudo
else
  SUDO=
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
