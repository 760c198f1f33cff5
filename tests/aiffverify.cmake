suite_test(aiffverify_test
  SOURCES aiffverify_verify_test.cc aiffverify_dialogue_test.cc aiff_capture.cc
  LIBS aiffverify_lib
  PROGRAMS aiffverify)
