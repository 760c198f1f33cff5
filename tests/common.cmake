suite_test(common_test
  SOURCES console_test.cc ask_test.cc config_line_test.cc clock_info_paths_test.cc scan_number_test.cc disk_image_test.cc blank_image_test.cc
  LIBS common
  PROGRAMS dskblank)
