suite_test(bin2array_test SOURCES bin2array_test.cc LIBS bin2array_lib PROGRAMS bin2array)
