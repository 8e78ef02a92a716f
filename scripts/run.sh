#!/usr/bin/env bash
# Builds the 32-bit clock, lays out the portable program and starts it under Wine.
# Only the program and what its folder holds are built (no tests), and the
# Wine prefix is made meanwhile, so that the clock shows as soon as it can.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

install_packages
cd "$ROOT"
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    on_display="on your display $DISPLAY"
else
    start_virtual_display
    on_display="on the virtual display $DISPLAY (no display here)"
fi
mkdir -p build
prepare_wine_prefix >build/wine-prefix.log 2>&1 &
preparing=$!

say "Building orvane.exe (win32)"
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target orvane Exemple
rm -rf build/portable
cmake --install build/win32 --prefix build/portable >/dev/null
if ! wait "$preparing"; then
    cat build/wine-prefix.log
    exit 1
fi

say "Starting the clock $on_display"
[ -n "${XVFB_DISPLAY:-}" ] && echo "   look at it with: DISPLAY=$DISPLAY import -window root shot.png"
echo "   the program is in build/portable; quit it from its tray menu or Fichier > Quitter (Ctrl+C stops this script)."
cd build/portable
LC_ALL="${LC_ALL:-fr_FR.UTF-8}" wine orvane.exe
