suite_test(dskputdos_test SOURCES dskputdos_test.cc PROGRAMS dskputdos)
