# Shared build rules for every deliverable, test and benchmark.

# Oldest target: Windows 95 / NT 4.0. Newer APIs are loaded at run time.
set(VN_COMMON_DEFS WINVER=0x0400 _WIN32_WINNT=0x0400 _WIN32_IE=0x0400 NOMINMAX WIN32_LEAN_AND_MEAN STRICT)
set(VN_COMMON_FLAGS -Wall -Wextra -Wno-unused-parameter -Wno-missing-field-initializers -Wno-cast-function-type -fno-strict-aliasing)
# Static C and C++ runtimes; PE hardening (ASLR, NX). No winpthread DLL either.
set(VN_LINK_FLAGS -static -static-libgcc -static-libstdc++ -Wl,--dynamicbase -Wl,--nxcompat -Wl,--enable-stdcall-fixup)

function(vn_compile_settings target)
  target_compile_definitions(${target} PRIVATE ${VN_COMMON_DEFS})
  target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:C,CXX>:${VN_COMMON_FLAGS}>)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
endfunction()

# vn_object_library(NAME SOURCES ... [LIBS ...])
# The code of a module as objects, linked both into the deliverable and into its test program,
# so that tests can reach the internal interfaces (and swap in fake hardware) without extra exports.
function(vn_object_library name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} OBJECT ${A_SOURCES})
  vn_compile_settings(${name})
  if(A_LIBS)
    target_link_libraries(${name} PUBLIC ${A_LIBS})
  endif()
endfunction()

find_program(VN_NM NAMES ${VN_MINGW_TRIPLET}-nm nm REQUIRED)
find_program(VN_DLLTOOL NAMES ${VN_MINGW_TRIPLET}-dlltool dlltool REQUIRED)

# Common to every Windows binary of the tree.
# KIND: SHARED (a DLL or applet: exports from the .def file alone, undecorated), GUI or CONSOLE.
# OUTPUT: exact file name (optional); DIR: output folder.
function(_vn_binary name)
  cmake_parse_arguments(A "" "KIND;OUTPUT;DIR;DEF" "SOURCES;LIBS" ${ARGN})
  if(A_KIND STREQUAL "SHARED")
    add_library(${name} SHARED ${A_SOURCES} ${A_DEF})
    set_target_properties(${name} PROPERTIES PREFIX "" IMPORT_PREFIX "lib")
    target_link_options(${name} PRIVATE -Wl,--kill-at)
    if(A_DEF AND CMAKE_SIZEOF_VOID_P EQUAL 4)
      # Callers name the decorated __stdcall symbols; the exports are undecorated.
      get_filename_component(def ${A_DEF} ABSOLUTE)
      add_custom_command(TARGET ${name} POST_BUILD
        COMMAND ${PROJECT_SOURCE_DIR}/tools/stdcall-implib.sh ${VN_NM} ${VN_DLLTOOL}
                $<TARGET_FILE:${name}> ${def} $<TARGET_LINKER_FILE:${name}>
        VERBATIM)
    endif()
  else()
    add_executable(${name} ${A_SOURCES})
    if(A_KIND STREQUAL "GUI")
      set_target_properties(${name} PROPERTIES WIN32_EXECUTABLE ON)
    endif()
  endif()
  if(A_OUTPUT)
    get_filename_component(stem ${A_OUTPUT} NAME_WE)
    get_filename_component(ext ${A_OUTPUT} EXT)
    set_target_properties(${name} PROPERTIES OUTPUT_NAME ${stem} SUFFIX ${ext})
  endif()
  set_target_properties(${name} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${A_DIR}
    LIBRARY_OUTPUT_DIRECTORY ${A_DIR}
    ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)
  vn_compile_settings(${name})
  target_link_options(${name} PRIVATE ${VN_LINK_FLAGS})
  if(A_LIBS)
    target_link_libraries(${name} PRIVATE ${A_LIBS})
  endif()
endfunction()

# vn_deliverable(NAME OUTPUT file KIND SHARED|GUI|CONSOLE|CPL [DEF file.def] [SOURCES ...] [LIBS ...])
# OUTPUT is the exact file name in the output folder (VNUtil.dll, VnDaemon.exe, Krh3cpl.cpl).
function(vn_deliverable name)
  cmake_parse_arguments(A "" "OUTPUT;KIND;DEF" "SOURCES;LIBS" ${ARGN})
  set(kind ${A_KIND})
  if(kind STREQUAL "CPL")
    set(kind SHARED)
  endif()
  _vn_binary(${name} KIND ${kind} OUTPUT ${A_OUTPUT} DIR ${VN_BIN_DIR} DEF ${A_DEF}
             SOURCES ${A_SOURCES} LIBS ${A_LIBS})
  set_property(GLOBAL APPEND PROPERTY VN_DELIVERABLES ${name})
endfunction()

# vn_helper_program(NAME [GUI] [SHARED] [OUTPUT file] [OUTPUT_DIR dir] [DEF file.def] SOURCES ... [LIBS ...])
# Small Windows programs that tests launch or place beside a program under test (test doubles).
function(vn_helper_program name)
  cmake_parse_arguments(A "GUI;SHARED" "OUTPUT_DIR;OUTPUT;DEF" "SOURCES;LIBS" ${ARGN})
  if(NOT A_OUTPUT_DIR)
    set(A_OUTPUT_DIR ${VN_TEST_DIR})
  endif()
  set(kind CONSOLE)
  if(A_SHARED)
    set(kind SHARED)
  elseif(A_GUI)
    set(kind GUI)
  endif()
  _vn_binary(${name} KIND ${kind} OUTPUT "${A_OUTPUT}" DIR ${A_OUTPUT_DIR} DEF "${A_DEF}"
             SOURCES ${A_SOURCES} LIBS ${A_LIBS})
endfunction()

# CTest's limit on each test program is multiplied by VN_TIME_SCALE, like the tests' own limits
# (tools/run-guest-tests.sh sets both for the slow emulated guest).
set(VN_TIME_SCALE 1 CACHE STRING "Factor for the tests' time limits")

# vn_test(NAME SOURCES ... [LIBS ...])
# One GoogleTest program per module, registered as one CTest entry (one Wine start per module).
function(vn_test name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT VN_BUILD_TESTS)
    return()
  endif()
  _vn_binary(${name} KIND CONSOLE DIR ${VN_TEST_DIR} SOURCES ${A_SOURCES} LIBS ${A_LIBS} vn_testing gtest_main)
  add_test(NAME ${name} COMMAND ${name})
  math(EXPR timeout "600 * ${VN_TIME_SCALE}")
  set_tests_properties(${name} PROPERTIES WORKING_DIRECTORY ${VN_TEST_DIR} TIMEOUT ${timeout})
endfunction()

# vn_test_locale(TEST LANG unix-locale FILTER gtest-filter)
# Runs some tests of a test program once more under a Unix locale, which sets Wine's ANSI code
# page (LoadStringA converts with it). Inside, vntest::TestLocale() names the locale.
function(vn_test_locale test)
  cmake_parse_arguments(A "" "LANG;FILTER" "" ${ARGN})
  if(NOT VN_BUILD_TESTS)
    return()
  endif()
  string(REGEX REPLACE "[^A-Za-z0-9]" "_" tag ${A_LANG})
  add_test(NAME ${test}_${tag} COMMAND ${test} --gtest_filter=${A_FILTER})
  math(EXPR timeout "300 * ${VN_TIME_SCALE}")
  set_tests_properties(${test}_${tag} PROPERTIES WORKING_DIRECTORY ${VN_TEST_DIR} TIMEOUT ${timeout}
    ENVIRONMENT "LANG=${A_LANG};LC_ALL=${A_LANG};VNTEST_LANG=${A_LANG}")
endfunction()

# vn_bench(NAME SOURCES ... [LIBS ...]): a program that prints its figures; not a test.
function(vn_bench name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT VN_BUILD_TESTS)
    return()
  endif()
  _vn_binary(${name} KIND CONSOLE DIR ${CMAKE_BINARY_DIR}/bench SOURCES ${A_SOURCES} LIBS ${A_LIBS})
endfunction()
