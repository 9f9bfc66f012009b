#!/usr/bin/env bash
# Runs VNUninst.exe on a made-up uninstall record, in English and in Japanese, under the test bed's
# virtual display, and saves PNG screenshots of the confirmation, the progress dialog while it asks
# about a shared file, and the result dialog (restart offer and skipped entries) in
# <build-dir>/uninstall-screenshots.
#   tools/uninstall-screenshots.sh [-B build-dir]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD_DIR="$ROOT/build"
if [ "${1:-}" = "-B" ]; then BUILD_DIR="$(mkdir -p "$2" && cd "$2" && pwd)"; shift 2; fi
VN_BUILD_TARGETS="${VN_BUILD_TARGETS:-VNUninst}"
source "$ROOT/tools/build.sh"
source "$ROOT/tools/wine-bed.sh"
trap wine_bed_stop EXIT
wine_bed_start

OUT="$BUILD_DIR/uninstall-screenshots"
PRODUCT="$BUILD_DIR/uninstall-product"
rm -rf "$PRODUCT"; mkdir -p "$OUT" "$PRODUCT"
cp "$BIN_DIR/VNUninst.exe" "$PRODUCT/"
shot() { import -display "$DISPLAY" -window root "$OUT/$1.png"; echo "saved $OUT/$1.png"; }
key() { xdotool key --clearmodifiers "$1"; sleep 1.5; }
folder='Z:'"${PRODUCT//\//\\}"

for lang in en ja; do
  locale=en_US.UTF-8; [ "$lang" = ja ] && locale=ja_JP.UTF-8
  : >"$PRODUCT/shared.dll"; : >"$PRODUCT/VnDaemon.exe"
  cat >"$PRODUCT/record.reg" <<REG
REGEDIT4

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VnShots]
"DisplayName"="Kalvo USB Tessaro Keyboard"
"UninstallString"="VNUninst.exe VnShots"
"NeedRestart"="1"

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VnShots\\DeleteFiles]
"VnDaemon.exe"="%99%"
"shared.dll"="%99%"

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VnShots\\DeleteDirectory]
"C:\\\\windows"="1"

[HKEY_LOCAL_MACHINE\\Software\\Varnel\\Uninstall\\SharedFile\\shared.dll]
"VnShots"="%99%"
"OtherProduct"="%99%"
REG
  "$VN_WINE" regedit /S "$PRODUCT/record.reg" >/dev/null 2>&1
  (cd "$PRODUCT" && LANG=$locale LC_ALL=$locale "$VN_WINE" VNUninst.exe VnShots /DeleteSelf "$folder" >/dev/null 2>&1) &
  uninst=$!
  sleep 4
  shot "$lang-1-confirm"
  key Return; shot "$lang-2-progress-shared-file"
  key Return; sleep 2; shot "$lang-3-result"
  # "Later", then Finish: the test bed is never restarted.
  key Down; key Return
  wait "$uninst" || true
done
