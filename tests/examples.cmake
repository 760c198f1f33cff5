# The shipped examples: every program run on its example input, and the
# generator of the example capture (examples/transfer.aiff).
add_executable(make_example_capture make_example_capture.cc example_capture.cc aiff_capture.cc)
target_link_libraries(make_example_capture PRIVATE testsupport)

suite_test(examples_test
  SOURCES examples_test.cc example_capture.cc aiff_capture.cc
  PROGRAMS dskblank dskrecord dskputdos asmspacer array2bin mempatch casediff bin2array aiffverify)
target_compile_definitions(examples_test PRIVATE SUITE_EXAMPLES_DIR="${PROJECT_SOURCE_DIR}/examples")
