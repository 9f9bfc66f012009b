# GoogleTest from Debian's sources, built with the cross compiler.
set(VN_GTEST_SRC /usr/src/googletest CACHE PATH "GoogleTest sources")
if(NOT EXISTS ${VN_GTEST_SRC}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest sources not found in ${VN_GTEST_SRC}: run tools/install-deps.sh")
endif()
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${VN_GTEST_SRC} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
