suite_test(casediff_test SOURCES casediff_condense_test.cc casediff_test.cc LIBS casediff_lib PROGRAMS casediff)
target_compile_definitions(casediff_test PRIVATE SUITE_VERSION="${PROJECT_VERSION}")
