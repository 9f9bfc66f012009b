#!/usr/bin/env bash
# Builds the product, installs it into a Wine prefix of its own (build/product/wineprefix, never
# ~/.wine) and starts it. Uses your X display when DISPLAY is set, else a virtual one.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD_DIR="$ROOT/build"
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

if [ -f "$target/VnDaemon.exe" ]; then
  echo "Starting the hot-key service (display $DISPLAY); stop it from its tray menu (Unload) or with Ctrl-C."
  cd "$target"
  "$VN_WINE" ./VnDaemon.exe
else
  echo
  echo "The hot-key service is not built yet; the libraries above are what the product has so far."
  # The exports as the 32-bit deliverables have them.
  for f in "$BUILD_DIR"/bin/*.dll "$BUILD_DIR"/bin/*.DLL; do
    [ -f "$f" ] || continue
    echo "== $(basename "$f") exports:"
    i686-w64-mingw32-objdump -p "$f" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed '1d;/^$/d' | awk '{print "   " $NF}'
  done
fi
