#!/usr/bin/env bash
# Builds the native fuzz targets and runs each over its seed corpus and a fixed number of inputs.
#   tools/run-fuzz.sh [-B build-dir] [--long [RUNS]] [-R ctest-regex]
# The test command runs it short; --long runs every target for RUNS inputs (default 10,000,000).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD_DIR="$ROOT/build/fuzz"
RUNS=""
FILTER=()
while [ $# -gt 0 ]; do
  case "$1" in
    -B) BUILD_DIR="$(mkdir -p "$2" && cd "$2" && pwd)"; shift 2 ;;
    --long) RUNS=10000000; if [[ "${2:-}" =~ ^[0-9]+$ ]]; then RUNS="$2"; shift; fi; shift ;;
    -R) FILTER=(-R "$2"); shift 2 ;;
    *) echo "usage: $0 [-B build-dir] [--long [RUNS]] [-R ctest-regex]" >&2; exit 2 ;;
  esac
done
"$ROOT/tools/install-deps.sh"
args=(-DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo)
[ -n "$RUNS" ] && args+=(-DVN_FUZZ_RUNS="$RUNS") || args+=(-DVN_FUZZ_RUNS=20000)
cmake -S "$ROOT/fuzz" -B "$BUILD_DIR" "${args[@]}" >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)"
cd "$BUILD_DIR"
ctest --output-on-failure "${FILTER[@]}"
