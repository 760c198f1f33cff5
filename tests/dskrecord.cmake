suite_test(dskrecord_test
  SOURCES dskrecord_test.cc dskrecord_encoder_test.cc dskrecord_recorder_test.cc dskrecord_fill_test.cc
          dskrecord_save_test.cc
  LIBS dskrecord_lib
  PROGRAMS dskrecord dskputdos dskcatalog dskextract)
target_compile_definitions(dskrecord_test PRIVATE SUITE_VERSION="${PROJECT_VERSION}")
