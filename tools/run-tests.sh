#!/usr/bin/env bash
# Builds everything and runs every test under Wine in a private, freshly made prefix inside Xvfb,
# after a short run of the native fuzz targets (tools/run-fuzz.sh).
#   tools/run-tests.sh [-B build-dir] [-R ctest-regex]
# The deliverables are the 32-bit build in <build-dir>/bin. Where the kernel cannot run 32-bit
# programs (some virtual machines), the tests run from a 64-bit twin build of the same sources
# (<build-dir>/x64) under 64-bit Wine, and the deliverables check still reads the 32-bit files.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD_DIR="$ROOT/build"
FILTER=()
while [ $# -gt 0 ]; do
  case "$1" in
    -B) BUILD_DIR="$(mkdir -p "$2" && cd "$2" && pwd)"; shift 2 ;;
    -R) FILTER=(-R "$2"); shift 2 ;;
    *) echo "usage: $0 [-B build-dir] [-R ctest-regex]" >&2; exit 2 ;;
  esac
done
status=0
"$ROOT/tools/run-fuzz.sh" -B "$BUILD_DIR/fuzz" "${FILTER[@]}" || status=1

source "$ROOT/tools/build.sh"
trap wine_bed_stop EXIT
wine_bed_start

cd "$TEST_DIR"
ctest --output-on-failure "${FILTER[@]}" || status=1
exit $status
