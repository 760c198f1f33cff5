suite_test(array2bin_test SOURCES array2bin_test.cc LIBS array2bin_lib PROGRAMS array2bin)
