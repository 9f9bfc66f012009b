# Twin 64-bit build of the same sources, used only to run the tests under 64-bit Wine on machines
# whose kernel cannot run 32-bit programs. The deliverables are always the 32-bit build.
set(VN_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
