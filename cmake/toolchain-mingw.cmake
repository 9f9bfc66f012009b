# Cross-build for Windows with mingw-w64, posix thread model (GoogleTest needs std::mutex).
# Included by the per-architecture toolchain files, which set VN_MINGW_TRIPLET and the processor.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER   ${VN_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VN_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER  ${VN_MINGW_TRIPLET}-windres)
set(CMAKE_AR           ${VN_MINGW_TRIPLET}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB       ${VN_MINGW_TRIPLET}-ranlib CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${VN_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Test executables run under Wine through this wrapper (see tools/run-tests.sh).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run)
