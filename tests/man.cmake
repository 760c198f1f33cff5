# The manual pages: rendering, installing, and every message of the code explained.
suite_test(man_pages_test SOURCES man_pages_test.cc
  PROGRAMS ${SUITE_PROGRAMS} ${SUITE_HELPERS})
target_compile_definitions(man_pages_test PRIVATE
  SUITE_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
  SUITE_BINARY_DIR="${PROJECT_BINARY_DIR}"
  SUITE_CMAKE_COMMAND="${CMAKE_COMMAND}")
