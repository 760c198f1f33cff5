suite_test(asmspacer_test
  SOURCES asmspacer_rules_test.cc asmspacer_file_test.cc asmspacer_dialogue_test.cc
  LIBS asmspacer_lib
  PROGRAMS asmspacer)
