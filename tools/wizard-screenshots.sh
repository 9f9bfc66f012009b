#!/usr/bin/env bash
# Shows every page of the configuration wizard under the test bed's virtual display, in English
# and in Japanese, and saves them as PNG files in <build-dir>/wizard-screenshots.
#   tools/wizard-screenshots.sh [-B build-dir]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD_DIR="$ROOT/build"
if [ "${1:-}" = "-B" ]; then BUILD_DIR="$(mkdir -p "$2" && cd "$2" && pwd)"; shift 2; fi
VN_BUILD_TARGETS="${VN_BUILD_TARGETS:-TKCfg wizard_shots}"
source "$ROOT/tools/build.sh"
source "$ROOT/tools/wine-bed.sh"
trap wine_bed_stop EXIT
wine_bed_start

OUT="$BUILD_DIR/wizard-screenshots"
mkdir -p "$OUT"
for lang in en_US.UTF-8 ja_JP.UTF-8; do
  tag=${lang%%_*}
  shots="$OUT/$tag"
  rm -rf "$shots"; mkdir -p "$shots"
  LANG=$lang LC_ALL=$lang "$ROOT/tools/wine-run" "$TEST_DIR/tests/wizard_shots.exe" \
    "Z:${BIN_DIR//\//\\}\\TKCfg.exe" "Z:${shots//\//\\}"
  for bmp in "$shots"/*.bmp; do
    convert "$bmp" "${bmp%.bmp}.png" && rm "$bmp"
    echo "saved ${bmp%.bmp}.png"
  done
done
