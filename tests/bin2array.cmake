suite_test(bin2array_test SOURCES bin2array_test.cc PROGRAMS bin2array)
