suite_test(aiffverify_test
  SOURCES aiffverify_decoder_test.cc aiffverify_compare_test.cc aiffverify_dialogue_test.cc aiff_capture.cc
  LIBS aiffverify_lib
  PROGRAMS aiffverify)
