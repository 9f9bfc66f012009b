#!/usr/bin/env bash
# Builds the product, installs it into a Wine prefix of its own (build/product/wineprefix, never
# ~/.wine) and starts it with a window in front that says which keys to try. Uses your X display
# when DISPLAY is set, else a virtual one.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD_DIR="$ROOT/build"
VN_BUILD_TARGETS="${VN_BUILD_TARGETS:-deliverables tryout}"
source "$ROOT/tools/build.sh"

WINE_BED_DIR="$BUILD_DIR/product"
mkdir -p "$WINE_BED_DIR"
[ -n "${DISPLAY:-}" ] && VN_KEEP_DISPLAY=1
VN_NO_CDROMS=1  # a machine of its own, without the test bed's prepared drives
source "$ROOT/tools/wine-bed.sh"
trap wine_bed_stop EXIT
wine_bed_start

target="$WINEPREFIX/drive_c/Program Files/Kalvo/Tessaro Keyboard"
mkdir -p "$target"
cp "$BIN_DIR"/*.dll "$BIN_DIR"/*.exe "$BIN_DIR"/*.cpl "$BIN_DIR"/*.DLL "$target"/ 2>/dev/null || true
echo "Installed into C:\\Program Files\\Kalvo\\Tessaro Keyboard (prefix $WINEPREFIX):"
ls "$target"

# The run command's own window lists the keys to try and holds the X focus, without which keys
# typed on the display never reach the service's input hook; closing it unloads the service. The
# configuration wizard opens beside it, as after an installation.
wizard="$target/TKCfg.exe"

# Wine's sound drivers report a machine without a sound card on stderr: keep that off the console.
quiet() { "$@" 2> >(grep -v -e '^ALSA lib' -e '^ALSA:' -e 'snd_' >&2); }

cd "$target"
quiet "$VN_WINE" ./VnDaemon.exe &
service=$!
cat <<TEXT

The hot-key service VnDaemon.exe runs (display $DISPLAY), and the configuration wizard opens. The
service's tray icon stays hidden while no keyboard of the product is plugged in. A window lists
the keys to try; keep it (or the wizard) in front and press the keyboard's extra keys, or send
them from another terminal, for example:

    DISPLAY=$DISPLAY xdotool key XF86AudioRaiseVolume XF86AudioMute XF86AudioPlay XF86Back
    DISPLAY=$DISPLAY xdotool keydown XF86AudioLowerVolume; sleep 2; DISPLAY=$DISPLAY xdotool keyup XF86AudioLowerVolume

Texts show in green at the lower right of the screen, the volume bars at the bottom. Close the
key list (or press Ctrl-C here) to unload the service.
TEXT
[ -f "$wizard" ] && quiet "$VN_WINE" "$wizard" &
sleep 2  # the key list comes up last, in front of the wizard
quiet "$VN_WINE" "$TEST_DIR/tools/tryout.exe"
wait "$service"
