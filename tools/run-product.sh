#!/usr/bin/env bash
# Builds the product and its installation medium, installs it from the medium with setup.exe
# (silently) into a Wine prefix of its own (build/product/wineprefix, never ~/.wine) and leaves it
# as a user finds it after the installation: the service running, the configuration wizard open,
# and in front a window that says which keys to try. Uses your X display when DISPLAY is set,
# else a virtual one.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD_DIR="$ROOT/build"
VN_BUILD_TARGETS="${VN_BUILD_TARGETS:-medium tryout e2e_step}"
source "$ROOT/tools/build.sh"

WINE_BED_DIR="$BUILD_DIR/product"
mkdir -p "$WINE_BED_DIR/path"
BIN_DIR="$WINE_BED_DIR/path"  # nothing of the build on the prefix's path: only what setup installs
[ -n "${DISPLAY:-}" ] && VN_KEEP_DISPLAY=1
VN_NO_CDROMS=1  # a machine of its own, without the test bed's prepared drives
source "$ROOT/tools/wine-bed.sh"
trap wine_bed_stop EXIT
wine_bed_start
# The shipped medium where this machine runs 32-bit programs, else the 64-bit twin's.
if wine_bed_can_run_32bit; then MEDIUM="$BUILD_DIR/medium"; else MEDIUM="$TEST_DIR/medium"; fi

# Wine's sound drivers report a machine without a sound card on stderr: keep that off the console.
quiet() { "$@" 2> >(grep -v -e '^ALSA lib' -e '^ALSA:' -e 'snd_' >&2); }
step() { "$VN_WINE" "$TEST_DIR/tests/e2e_step.exe" "$@"; }

echo "Installing from the medium $MEDIUM: setup.exe /S /NR"
quiet "$VN_WINE" "$MEDIUM/setup.exe" /S /NR
# Setup starts the service at its end and the wizard from its script.
step wait-window VNDaemon
step wait-window TKCfgClass
echo "Installed into the system folder (prefix $WINEPREFIX); the uninstaller is in Add/Remove Programs."

cat <<TEXT

The hot-key service VnDaemon.exe runs (display $DISPLAY), and the configuration wizard is open. The
service's tray icon stays hidden while no keyboard of the product is plugged in. A window lists
the keys to try; keep it (or the wizard) in front and press the keyboard's extra keys, or send
them from another terminal, for example:

    DISPLAY=$DISPLAY xdotool key XF86AudioRaiseVolume XF86AudioMute XF86AudioPlay XF86Back
    DISPLAY=$DISPLAY xdotool keydown XF86AudioLowerVolume; sleep 2; DISPLAY=$DISPLAY xdotool keyup XF86AudioLowerVolume

Texts show in green at the lower right of the screen, the volume bars at the bottom. Close the
key list (or press Ctrl-C here) to unload the service.
TEXT
# The run command's own window lists the keys to try and holds the X focus, without which keys
# typed on the display never reach the service's input hook; closing it unloads the service.
quiet "$VN_WINE" "$TEST_DIR/tools/tryout.exe"
step wait-gone VNDaemon 10 || true
