# Cross-build for Windows with mingw-w64. What ships uses the win32 thread model: the posix model
# links winpthreads, whose build imports KERNEL32 functions that Windows 95 and NT 4.0 (some even
# XP) lack, so a binary would not load on its targets. The test trees use the posix model, because
# GoogleTest and the tests need std::mutex and std::thread (VN_THREAD_MODEL=posix).
# Included by the per-architecture toolchain files, which set VN_MINGW_TRIPLET and the processor.
set(CMAKE_SYSTEM_NAME Windows)

set(VN_THREAD_MODEL win32 CACHE STRING "Compiler thread model: win32 (what ships) or posix (tests)")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VN_THREAD_MODEL)
set(CMAKE_C_COMPILER   ${VN_MINGW_TRIPLET}-gcc-${VN_THREAD_MODEL})
set(CMAKE_CXX_COMPILER ${VN_MINGW_TRIPLET}-g++-${VN_THREAD_MODEL})
set(CMAKE_RC_COMPILER  ${VN_MINGW_TRIPLET}-windres)
set(CMAKE_AR           ${VN_MINGW_TRIPLET}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB       ${VN_MINGW_TRIPLET}-ranlib CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${VN_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Test executables run under Wine through this wrapper (see tools/run-tests.sh).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run)
