suite_test(dskputdos_test SOURCES dskputdos_test.cc PROGRAMS dskputdos dskgetdos)
target_compile_definitions(dskputdos_test PRIVATE SUITE_VERSION="${PROJECT_VERSION}")
