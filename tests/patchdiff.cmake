# The memory image patcher and the case-difference extractor.
suite_test(mempatch_test SOURCES mempatch_change_test.cc mempatch_dialogue_test.cc LIBS mempatch_lib PROGRAMS mempatch)
suite_test(casediff_test SOURCES casediff_condense_test.cc casediff_dialogue_test.cc LIBS casediff_lib PROGRAMS casediff)
