# Every writer of host files, stopped at each step of its output's writing.
suite_test(outputs_test SOURCES outputs_test.cc
  PROGRAMS mempatch bin2array casediff asmspacer array2bin dskblank dskextract dskrecord)
