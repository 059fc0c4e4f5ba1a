#!/bin/sh
# Installs every Debian package the project needs to build, test, render and
# capture. Idempotent and non-interactive; run as root (or through sudo).
set -e
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
PACKAGES="build-essential cmake pkg-config git
  libsdl2-dev libimgui-dev libtinyxml-dev libstb-dev libkissfft-dev libzip-dev zlib1g-dev
  libvorbis-dev libpng-dev libjpeg-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri libegl-mesa0
  libgtest-dev libbenchmark-dev clang libclang-rt-dev
  ffmpeg sox aubio-tools assimp-utils xvfb xauth xdotool imagemagick fonts-dejavu-core
  python3 zip unzip parallel glslang-tools lintian desktop-file-utils appstream man-db
  linux-perf file"
missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends $missing
fi
