# Test doubles and extra test runs of the media key, ASPI, player and catalogue tests of VNUtil.
set(kf_media_helpers ${CMAKE_CURRENT_SOURCE_DIR}/tests/helpers)
vn_helper_program(vnkf_fake_wnaspi32 SHARED SOURCES ${kf_media_helpers}/fake_wnaspi32.cpp
  DEF ${kf_media_helpers}/fake_wnaspi32.def OUTPUT aspi_double.dll)
vn_helper_program(vnkf_player GUI SOURCES ${kf_media_helpers}/vnkf_player.cpp)
vn_helper_program(vnkf_vnmedia SHARED SOURCES ${kf_media_helpers}/vnkf_vnmedia.cpp
  DEF ${CMAKE_SOURCE_DIR}/standins/vnmedia/vnmedia.def OUTPUT vnmedia_double.dll)
add_dependencies(keyfunc_tests vnkf_fake_wnaspi32 vnkf_player vnkf_vnmedia)
vn_test_locale(keyfunc_tests LANG ja_JP.UTF-8 FILTER "CatalogueLocale.*")
