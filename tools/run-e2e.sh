#!/usr/bin/env bash
# The end-to-end run. For each Windows version given (default: all six), a fresh prefix that
# reports that version under Wine's version switch, on a virtual display of its own:
#   1. setup.exe installs the product silently from the installation medium in a CD-ROM drive;
#      the service runs and the configuration wizard opens, as a user finds them afterwards;
#   2. keys typed on the display with xdotool (a window of the prefix holding the focus) go through
#      Wine's keyboard, the service's input hook and the service to their action: Volume Up shows
#      the volume on the NT family and nothing on the 9x family, where keys without an assignment
#      are the system's (NT family: screenshot <build-dir>/e2e-screenshots/VERSION-volume.png);
#   3. the wizard gives the e-mail key a program of the user's own; the next press shows the new
#      label and starts the program;
#   4. the uninstaller, started as the system starts it, leaves the registry and file snapshot as
#      it was before the installation.
# Prints each version's time and the total; the exit status is 0 only when every version passed.
#   tools/run-e2e.sh [-B build-dir] [--tree test-tree] [VERSION...]
# VERSION: win98 winme nt40 win2k winxp win2003. Without --tree it first builds the medium and the
# helpers; with it (CTest), it uses that test tree as built. Each version's prefix and log go to
# $VN_E2E_DIR/VERSION (default <test-tree>/e2e), screenshots to $VN_E2E_SHOTS (default
# <build-dir>/e2e-screenshots); with VN_E2E_CLEAN set, each version's prefix is removed after its run
# (the emulated guest's disk holds few). Waits of the shell side are scaled by VN_TIME_SCALE, as the
# tests' are. The medium is the shipped one
# (<build-dir>/medium) where the kernel runs 32-bit programs, else the 64-bit twin's
# (<build-dir>/x64/medium) under 64-bit Wine.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD_DIR="$ROOT/build"
TREE=""
VERSIONS=()
while [ $# -gt 0 ]; do
  case "$1" in
    -B) BUILD_DIR="$(mkdir -p "$2" && cd "$2" && pwd)"; shift 2 ;;
    --tree) TREE="$(cd "$2" && pwd)"; shift 2 ;;
    win98|winme|nt40|win2k|winxp|win2003) VERSIONS+=("$1"); shift ;;
    *) echo "usage: $0 [-B build-dir] [--tree test-tree] [win98|winme|nt40|win2k|winxp|win2003...]" >&2; exit 2 ;;
  esac
done
[ ${#VERSIONS[@]} -gt 0 ] || VERSIONS=(win98 winme nt40 win2k winxp win2003)

if [ -z "$TREE" ]; then
  VN_BUILD_TARGETS="${VN_BUILD_TARGETS:-medium e2e_step service_proof tryout}"
  source "$ROOT/tools/build.sh"
  TREE="$TEST_DIR"
fi
source "$ROOT/tools/wine-bed.sh"
if wine_bed_can_run_32bit; then MEDIUM="$BUILD_DIR/medium"; else MEDIUM="$TREE/medium"; fi
SHOTS="${VN_E2E_SHOTS:-$BUILD_DIR/e2e-screenshots}"
E2E_DIR="${VN_E2E_DIR:-$TREE/e2e}"
SCALE="${VN_TIME_SCALE:-1}"
mkdir -p "$SHOTS"
for need in "$MEDIUM/setup.exe" "$TREE/tests/e2e_step.exe" "$TREE/tests/proof.exe" "$TREE/tools/tryout.exe"; do
  [ -f "$need" ] || { echo "run-e2e: $need is not built" >&2; exit 1; }
done

# One version, in a subshell of its own: stops at the first failed step.
run_version() {
  local version="$1" bed="$E2E_DIR/$1"
  local log="$bed/run.log"
  rm -rf "$bed"; mkdir -p "$bed/path"
  WINE_BED_DIR="$bed" VN_WINE_VERSION="$version" BIN_DIR="$bed/path"
  trap wine_bed_stop EXIT
  wine_bed_start
  local c="$WINEPREFIX/drive_c" family=nt
  case "$version" in win9*|winme) family=9x ;; esac
  step() { "$VN_WINE" "$TREE/tests/e2e_step.exe" "$@"; }
  check() {
    local what="$1"; shift
    if "$@" >>"$log" 2>&1; then echo "  ok    $what"; return; fi
    echo "  FAIL  $what (log: $log, its end:)"
    tail -n 20 "$log" | sed 's/^/        /'
    exit 1
  }
  key() { xdotool key --clearmodifiers "$1"; }
  not() { ! "$@"; }
  found_in() { grep -qs "$1" "${@:2}"; }
  wait_for() { local i; for i in $(seq 1 $(($1 * SCALE))); do "${@:2}" && return 0; sleep 1; done; return 1; }

  # The medium in a CD-ROM drive, and a program of the user's own with its start-menu shortcut.
  cp -r "$MEDIUM/." "$VNTEST_CDROM_ROOT/cdrom-r/"
  mkdir -p "$c/e2e"; cp "$TREE/tests/proof.exe" "$c/e2e/"
  check "a shortcut to the user's own program" step shortcut 'E2E\Proof' 'C:\e2e\proof.exe'
  check "snapshot before the installation" step snapshot 'C:\e2e\before.txt' 'C:\Program Files'

  check "setup.exe /S /NR from the medium" "$VN_WINE" 'R:\setup.exe' /S /NR
  check "the service runs" step wait-window VNDaemon
  check "the wizard is open" step wait-window TKCfgClass
  if [ "$version" = winme ]; then
    # Wine's driver updater reports success for a hardware ID that no device has, so setup takes
    # its word on Windows Me and has nothing to register.
    echo "  --    Windows Me: the system's driver updater answered for the keyboard's INF"
  else
    check "the keyboard's INF is in the system's INF folder" found_in "Kalvo USB Tessaro Keyboard" "$c/windows/inf"/*
  fi
  check "snapshot of the installation" step snapshot 'C:\e2e\installed.txt' 'C:\Program Files'
  check "the snapshot sees the installation" not step compare 'C:\e2e\before.txt' 'C:\e2e\installed.txt'

  # A key without an assignment: its predefined function with feedback on the NT family, nothing
  # at all on the 9x family.
  xdotool keydown XF86AudioRaiseVolume
  if [ "$family" = nt ]; then
    local shown=0; step wait-shown VN_OSD_WNDCLASS 10 >>"$log" 2>&1 && shown=1
    if command -v import >/dev/null; then import -display "$DISPLAY" -window root "$SHOTS/$version-volume.png"; fi
    xdotool keyup XF86AudioRaiseVolume
    check "Volume Up typed on the display shows the volume on the on-screen display" test $shown = 1
    check "the on-screen display hides again" step wait-hidden VN_OSD_WNDCLASS 10
  else
    check "Volume Up typed on the display shows nothing (9x family)" not step wait-shown VN_OSD_WNDCLASS 3
    xdotool keyup XF86AudioRaiseVolume
  fi

  check "the wizard gives the e-mail key the user's program" step assign 6 E2E Proof
  "$VN_WINE" "$TREE/tools/tryout.exe" >>"$log" 2>&1 &
  check "a window of the prefix has the focus" step wait-shown VnTryTheKeys
  # The label shows for about a second, while the program starts: watched for from before the
  # press.
  step wait-shown VN_OSD_WNDCLASS 15 >>"$log" 2>&1 &
  local watcher=$!
  sleep $((2 * SCALE))
  key XF86Mail
  check "the e-mail key puts its new label on the on-screen display" wait $watcher
  check "the e-mail key starts the program the wizard gave it" wait_for 20 found_in "proof.exe|" "$c/e2e/proof.log"
  check "the program's window closes" step close VnProofWindow

  check "the uninstaller, started as the system starts it" step uninstall TessaroKeyboard
  check "the service has been closed" step wait-gone VNDaemon
  check "the key list closes" step close VnTryTheKeys
  check "snapshot after the removal" step snapshot 'C:\e2e\after.txt' 'C:\Program Files'
  check "the snapshots before and after are the same" step compare 'C:\e2e\before.txt' 'C:\e2e\after.txt'
}

status=0
total_start=$SECONDS
for version in "${VERSIONS[@]}"; do
  start=$SECONDS
  echo "e2e $version:"
  if (run_version "$version"); then result=passed; else result=FAILED; status=1; fi
  if [ -n "${VN_E2E_CLEAN:-}" ]; then rm -rf "$E2E_DIR/$version/wineprefix"; fi
  echo "e2e $version: $result in $((SECONDS - start)) s"
done
echo "e2e: ${#VERSIONS[@]} version(s) in $((SECONDS - total_start)) s"
exit $status
