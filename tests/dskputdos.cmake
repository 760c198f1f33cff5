suite_test(dskputdos_test
  SOURCES dskputdos_test.cc
  LIBS dskputdos_lib
  PROGRAMS dskputdos)
