suite_test(bin2array_test SOURCES bin2array_test.cc PROGRAMS bin2array)
target_compile_definitions(bin2array_test PRIVATE SUITE_VERSION="${PROJECT_VERSION}")
