# Programs started by the window, launch and version tests of VNUtil.
set(kf_helpers ${CMAKE_CURRENT_SOURCE_DIR}/tests/helpers)
vn_helper_program(vnkf_window GUI SOURCES ${kf_helpers}/vnkf_window.cpp ${kf_helpers}/vnkf_window.rc
                  LIBS vn_testing)
vn_helper_program(vnkf_ver23 SHARED SOURCES ${kf_helpers}/vnkf_ver23.cpp ${kf_helpers}/vnkf_ver23.rc)
add_dependencies(keyfunc_tests vnkf_window vnkf_ver23)
