#!/usr/bin/env bash
# Runs setup.exe with a script that asks every page, in English and in Japanese, under the test
# bed's virtual display, and saves PNG screenshots of the background window, every wizard page, the
# "Exit Setup" dialog and the progress page during a long copy in <build-dir>/setup-screenshots.
#   tools/setup-screenshots.sh [-B build-dir]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD_DIR="$ROOT/build"
if [ "${1:-}" = "-B" ]; then BUILD_DIR="$(mkdir -p "$2" && cd "$2" && pwd)"; shift 2; fi
VN_BUILD_TARGETS="${VN_BUILD_TARGETS:-setup setup_press setup_service_double}"
source "$ROOT/tools/build.sh"
source "$ROOT/tools/wine-bed.sh"
trap wine_bed_stop EXIT
wine_bed_start

OUT="$BUILD_DIR/setup-screenshots"
MEDIUM="$BUILD_DIR/setup-medium"
rm -rf "$MEDIUM"; mkdir -p "$OUT" "$MEDIUM"
cp "$BIN_DIR/setup.exe" "$MEDIUM/"
cp "$TEST_DIR/tests/setup_service_double.exe" "$MEDIUM/VnDaemon.exe"
printf '[Setup]\r\nProductName=Kalvo USB Tessaro Keyboard\r\nVersion=2.10\r\nAskLicense=TRUE\r\nAskPath=TRUE\r\nAskProgramFolder=TRUE\r\nBkgLogo=logo.pcx\r\n' >"$MEDIUM/SETUPNT.INI"
# A 256-colour PCX logo: a white badge with a blue ring on the window's teal.
python3 - "$MEDIUM/logo.pcx" <<'PY'
import math, struct, sys
w, h = 180, 90
palette = [(0, 128, 128), (255, 255, 255), (0, 70, 170), (230, 236, 245)]
rows = []
for y in range(h):
    row = []
    for x in range(w):
        d = math.hypot((x - w / 2) / (w / 2 - 4), (y - h / 2) / (h / 2 - 4))
        row.append(0 if d > 1 else 2 if d > 0.8 else 3 if d > 0.7 else 1)
    rows.append(row)
header = struct.pack('<BBBBHHHHHH48sBBHH58s', 10, 5, 1, 8, 0, 0, w - 1, h - 1, 96, 96, bytes(48), 0, 1, w, 1,
                     bytes(58))
data = bytearray()
for row in rows:
    i = 0
    while i < w:
        n = 1
        while i + n < w and row[i + n] == row[i] and n < 63:
            n += 1
        data += bytes([0xC0 | n, row[i]])
        i += n
pal = bytearray(768)
for i, c in enumerate(palette):
    pal[3 * i:3 * i + 3] = bytes(c)
open(sys.argv[1], 'wb').write(header + data + b'\x0c' + pal)
PY
printf 'SOFTWARE LICENSE AGREEMENT\r\n\r\nPlease read this agreement carefully before installing the software.\r\n' >"$MEDIUM/LICENENG.TXT"
printf 'ソフトウェア使用許諾契約\r\n\r\nソフトウェアをインストールする前に、この契約をよくお読みください。\r\n' | iconv -f UTF-8 -t CP932 >"$MEDIUM/LICENJP.TXT"
press() { "$VN_WINE" "$TEST_DIR/tests/setup_press.exe" "$1" >/dev/null 2>&1 || true; sleep 1.5; }
shot() { import -display "$DISPLAY" -window root "$OUT/$1.png"; echo "saved $OUT/$1.png"; }

for lang in en ja; do
  locale=en_US.UTF-8; [ "$lang" = ja ] && locale=ja_JP.UTF-8
  (cd "$MEDIUM" && LANG=$locale LC_ALL=$locale "$VN_WINE" setup.exe >/dev/null 2>&1) &
  setup=$!
  sleep 4
  shot "$lang-1-welcome"
  press cancel; shot "$lang-0-exit-setup"; press resume
  for page in 2-licence 3-interface 4-destination 5-program-folder 6-start 8-result; do
    press next; shot "$lang-$page"
  done
  press later-finish
  wait "$setup" || true
done

# The progress page during the copy of a large medium: setup is held still (SIGSTOP) for each
# picture, so that the page is caught as painted at that moment.
BIG="$BUILD_DIR/setup-medium-big"
rm -rf "$BIG"; mkdir -p "$BIG/files" "$BIG/out"
cp "$BIN_DIR/setup.exe" "$BIG/"
cp "$TEST_DIR/tests/setup_service_double.exe" "$BIG/VnDaemon.exe"
list=""
for i in $(seq 0 119); do
  head -c 4194304 /dev/zero >"$BIG/files/part$i.bin"
  list="${list}part$i.bin=Z:${BIG//\//\\}\\out"$'\r\n'
done
printf '[Setup]\r\nProductName=Kalvo USB Tessaro Keyboard\r\nVersion=2.10\r\nSrcFileDir=files\r\nAskType=FALSE\r\n[Copy Files]\r\n%s' \
  "$list" >"$BIG/SETUPNT.INI"
for lang in en ja; do
  locale=en_US.UTF-8; [ "$lang" = ja ] && locale=ja_JP.UTF-8
  rm -f "$BIG"/out/*
  (cd "$BIG" && LANG=$locale LC_ALL=$locale exec "$VN_WINE" setup.exe >/dev/null 2>&1) &
  setup=$!
  sleep 4
  press next
  "$VN_WINE" "$TEST_DIR/tests/setup_press.exe" next >/dev/null 2>&1 || true
  for n in 1 2 3; do
    sleep 0.3
    kill -STOP "$setup"; shot "$lang-7-progress-$n"; kill -CONT "$setup"
  done
  sleep 6
  press later-finish
  wait "$setup" || true
done
rm -rf "$BIG"
