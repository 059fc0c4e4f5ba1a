#!/bin/sh
# Installs every Debian package the project needs to build, test, render,
# capture and package: the libraries and build tools below, and the package
# of every program on tools/programs.txt. Idempotent and non-interactive; run
# as root (or through sudo).
set -e
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
PACKAGES="build-essential pkg-config
  libsdl2-dev libimgui-dev libtinyxml-dev libstb-dev libkissfft-dev libzip-dev zlib1g-dev
  libvorbis-dev libpng-dev libjpeg-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri libegl-mesa0
  libgtest-dev libbenchmark-dev clang libclang-rt-dev xauth fonts-dejavu-core file zip unzip"
while read -r program package; do
  case $program in ''|'#'*) continue ;; esac
  PACKAGES="$PACKAGES $package"
done <"$(dirname "$0")/programs.txt"
missing=""
for p in $PACKAGES; do
  case " $missing " in *" $p "*) continue ;; esac
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends $missing
fi
