#!/usr/bin/env bash
# Renders the three on-screen displays (a short and a long label, the volume bar, the mute symbol)
# under the test bed's virtual display and saves screenshots as PNG files in <build-dir>/osd-screenshots.
#   tools/osd-screenshots.sh [-B build-dir]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD_DIR="$ROOT/build"
if [ "${1:-}" = "-B" ]; then BUILD_DIR="$(mkdir -p "$2" && cd "$2" && pwd)"; shift 2; fi
source "$ROOT/tools/build.sh"
source "$ROOT/tools/wine-bed.sh"
trap wine_bed_stop EXIT
wine_bed_start

OUT="$BUILD_DIR/osd-screenshots"
mkdir -p "$OUT"
cd "$TEST_DIR/tests"
for kind in text long volume mute; do
  "$ROOT/tools/wine-run" ./osd_show.exe "$kind" 3000 &
  helper=$!
  sleep 2
  import -display "$DISPLAY" -window root "$OUT/osd-$kind.png"
  wait "$helper" || true
  echo "saved $OUT/osd-$kind.png"
done
