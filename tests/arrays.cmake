# The two array-text converters: bin2array writes array text, array2bin reads it.
suite_test(bin2array_test SOURCES bin2array_test.cc LIBS bin2array_lib PROGRAMS bin2array)
suite_test(array2bin_test SOURCES array2bin_test.cc LIBS array2bin_lib PROGRAMS array2bin)
