#!/usr/bin/env bash
# Builds everything and runs every test under Wine in a private, freshly made prefix inside Xvfb.
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
JOBS=$(nproc)

"$ROOT/tools/install-deps.sh"
cmake -S "$ROOT" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD_DIR" -j"$JOBS"

source "$ROOT/tools/wine-bed.sh"
TEST_DIR="$BUILD_DIR"
if ! wine_bed_can_run_32bit; then
  echo "run-tests: this kernel does not run 32-bit programs; testing the 64-bit twin build under 64-bit Wine"
  TEST_DIR="$BUILD_DIR/x64"
  cmake -S "$ROOT" -B "$TEST_DIR" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-x86_64-mingw.cmake" \
    -DVN_DELIVERABLES_DIR="$BUILD_DIR/bin" >/dev/null
  cmake --build "$TEST_DIR" -j"$JOBS"
fi
BIN_DIR="$TEST_DIR/bin"

trap wine_bed_stop EXIT
wine_bed_start

cd "$TEST_DIR"
ctest --output-on-failure "${FILTER[@]}"
