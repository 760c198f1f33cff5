# The catalog helper, on images made by dskblank and dskrecord.
suite_test(dskcatalog_test SOURCES dskcatalog_test.cc LIBS common PROGRAMS dskcatalog dskblank dskrecord dskextract bin2array)
