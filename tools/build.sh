# Sourced by the run scripts: installs what is missing, builds the 32-bit deliverables in
# BUILD_DIR and, where the kernel cannot run 32-bit programs, the 64-bit twin used for tests.
# Needs: ROOT, BUILD_DIR. Sets: TEST_DIR (the tree whose programs run under Wine), BIN_DIR.
# VN_BUILD_TARGETS (optional, blank-separated) limits the build to those targets.
JOBS=$(nproc)
TARGETS=()
for t in ${VN_BUILD_TARGETS:-}; do TARGETS+=(--target "$t"); done
"$ROOT/tools/install-deps.sh"
cmake -S "$ROOT" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD_DIR" -j"$JOBS" "${TARGETS[@]}"

source "$ROOT/tools/wine-bed.sh"
TEST_DIR="$BUILD_DIR"
if ! wine_bed_can_run_32bit; then
  echo "build: this kernel does not run 32-bit programs; testing the 64-bit twin build under 64-bit Wine"
  TEST_DIR="$BUILD_DIR/x64"
  cmake -S "$ROOT" -B "$TEST_DIR" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-x86_64-mingw.cmake" \
    -DVN_DELIVERABLES_DIR="$BUILD_DIR/bin" >/dev/null
  cmake --build "$TEST_DIR" -j"$JOBS" "${TARGETS[@]}"
fi
BIN_DIR="$TEST_DIR/bin"

