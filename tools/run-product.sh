#!/usr/bin/env bash
# Builds the product, installs it into a Wine prefix of its own (build/product/wineprefix, never
# ~/.wine) and starts it. Uses your X display when DISPLAY is set, else a virtual one.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD_DIR="$ROOT/build"
VN_BUILD_TARGETS="${VN_BUILD_TARGETS:-deliverables}"
source "$ROOT/tools/build.sh"

WINE_BED_DIR="$BUILD_DIR/product"
mkdir -p "$WINE_BED_DIR"
[ -n "${DISPLAY:-}" ] && VN_KEEP_DISPLAY=1
source "$ROOT/tools/wine-bed.sh"
trap wine_bed_stop EXIT
wine_bed_start

target="$WINEPREFIX/drive_c/Program Files/Kalvo/Tessaro Keyboard"
mkdir -p "$target"
cp "$BIN_DIR"/*.dll "$BIN_DIR"/*.exe "$BIN_DIR"/*.cpl "$BIN_DIR"/*.DLL "$target"/ 2>/dev/null || true
echo "Installed into C:\\Program Files\\Kalvo\\Tessaro Keyboard (prefix $WINEPREFIX):"
ls "$target"

echo "Starting the hot-key service (display $DISPLAY); stop it from its tray menu (Unload) or with Ctrl-C."
cd "$target"
"$VN_WINE" ./VnDaemon.exe
