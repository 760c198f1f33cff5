# The common library: console routines, files, numbers, the program's command
# line and the diskette image.
suite_test(common_test
  SOURCES console_test.cc files_test.cc numbers_test.cc program_test.cc disk_image_test.cc
  LIBS common)
target_compile_definitions(common_test PRIVATE SUITE_VERSION="${PROJECT_VERSION}")
