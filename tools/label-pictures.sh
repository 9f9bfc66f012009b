#!/usr/bin/env bash
# Pictures of the printed key label for review, in <build-dir>/label-pictures:
#  - metafile_scheme{0,1}.png: the label tests' metafile played onto a page-sized bitmap;
#  - printed_scheme{0,1}.png: the label printed through Wine on a CUPS-PDF queue, the PDF turned
#    into a picture with pdftoppm. A CUPS daemon is started for the run when none is running, and
#    a queue named "PDF" is added when missing.
#   tools/label-pictures.sh [-B build-dir]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD_DIR="$ROOT/build"
if [ "${1:-}" = "-B" ]; then BUILD_DIR="$(mkdir -p "$2" && cd "$2" && pwd)"; shift 2; fi
VN_BUILD_TARGETS="${VN_BUILD_TARGETS:-TKCfg wizard_tests label_print}"
source "$ROOT/tools/build.sh"
source "$ROOT/tools/wine-bed.sh"

cupsd_pid=""
stop_all() {
  wine_bed_stop
  if [ -n "$cupsd_pid" ]; then kill "$cupsd_pid" 2>/dev/null || true; fi
}
trap stop_all EXIT

# The queue must exist before the prefix is made: Wine lists the CUPS printers when it starts.
if ! lpstat -r 2>/dev/null | grep -qx "scheduler is running"; then
  /usr/sbin/cupsd -f >/dev/null 2>&1 &
  cupsd_pid=$!
  for _ in $(seq 20); do lpstat -r 2>/dev/null | grep -qx "scheduler is running" && break; sleep 0.5; done
fi
if ! lpstat -p PDF >/dev/null 2>&1; then
  lpadmin -p PDF -v cups-pdf:/ -E -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null
fi
wine_bed_start

OUT="$BUILD_DIR/label-pictures"
rm -rf "$OUT"; mkdir -p "$OUT"
(cd "$TEST_DIR/tests" && "$ROOT/tools/wine-run" ./wizard_tests.exe --gtest_filter='LabelPrint.*' >/dev/null)
for s in 0 1; do
  convert "$TEST_DIR/tests/label_scheme$s.bmp" "$OUT/metafile_scheme$s.png"
  echo "saved $OUT/metafile_scheme$s.png"
done

pdfs="$HOME/PDF"
for s in 0 1; do
  before=$(ls "$pdfs" 2>/dev/null | wc -l)
  "$ROOT/tools/wine-run" "$TEST_DIR/tests/label_print.exe" PDF $s
  for _ in $(seq 60); do [ "$(ls "$pdfs" 2>/dev/null | wc -l)" -gt "$before" ] && break; sleep 0.5; done
  pdf=$(ls -t "$pdfs"/*.pdf 2>/dev/null | head -1)
  if [ -z "$pdf" ]; then echo "label-pictures: no PDF came out of the queue" >&2; exit 1; fi
  sleep 1  # the backend writes the file before it closes it
  pdftoppm -png -r 100 -singlefile "$pdf" "$OUT/printed_scheme$s"
  echo "saved $OUT/printed_scheme$s.png"
done
