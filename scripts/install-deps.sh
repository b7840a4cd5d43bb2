#!/usr/bin/env bash
# Installs the Debian packages the builds and tests need, only those not yet installed.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libpng-dev libjpeg-dev libtiff-dev liblcms2-dev libexiv2-dev libfreetype-dev
  libimage-exiftool-perl
  fonts-liberation libgs10-common
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine32:i386 wine64 xvfb xauth
  libx11-dev xdotool x11-utils imagemagick gimp libgimp2.0-dev help2man
)

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
  need_update=1
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ] || [ -n "${need_update:-}" ]; then
  echo "install-deps: installing ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
