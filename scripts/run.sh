#!/usr/bin/env bash
# Builds the 32-bit clock, lays out the portable program and starts it under Wine.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

install_packages
cd "$ROOT"
say "Building orvane.exe (win32)"
cmake --preset win32 >/dev/null
cmake --build --preset win32
rm -rf build/portable
cmake --install build/win32 --prefix build/portable >/dev/null

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    say "Starting the clock on your display $DISPLAY"
else
    start_virtual_display
    say "No display here: starting the clock on the virtual display $DISPLAY"
    echo "   look at it with: DISPLAY=$DISPLAY import -window root shot.png"
fi
prepare_wine_prefix
echo "   the program is in build/portable; quit it from its tray menu or Fichier > Quitter (Ctrl+C stops this script)."
cd build/portable
LC_ALL="${LC_ALL:-fr_FR.UTF-8}" wine orvane.exe
