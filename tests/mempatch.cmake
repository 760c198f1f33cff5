suite_test(mempatch_test SOURCES mempatch_changes_test.cc mempatch_dialogue_test.cc LIBS mempatch_lib PROGRAMS mempatch)
target_compile_definitions(mempatch_test PRIVATE SUITE_VERSION="${PROJECT_VERSION}")
