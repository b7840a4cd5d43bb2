#!/usr/bin/env bash
# Installs the GIMP 2.10 plug-in for the current user: inkjet-gimp goes to
# plug-ins/inkjet-gimp/inkjet-gimp in the user's GIMP folder ($GIMP2_DIRECTORY when set, else
# ~/.config/GIMP/2.10). Builds the native preset first when no plug-in is given.
# Usage: scripts/install-gimp-plugin.sh [PATH_TO_INKJET_GIMP]
set -euo pipefail
plugin=${1:-}
if [ -z "$plugin" ]; then
  cd "$(dirname "$0")/.."
  cmake --preset native >/dev/null
  cmake --build --preset native --target inkjet-gimp
  plugin=build/native/inkjet-gimp
fi
[ -x "$plugin" ] || { echo "install-gimp-plugin: no plug-in at $plugin" >&2; exit 1; }
home=${GIMP2_DIRECTORY:-$HOME/.config/GIMP/2.10}
target=$home/plug-ins/inkjet-gimp
mkdir -p "$target"
install -m 755 "$plugin" "$target/inkjet-gimp.new"
mv -f "$target/inkjet-gimp.new" "$target/inkjet-gimp"
echo "installed $target/inkjet-gimp"
