# The deleting helper, on images recorded by dskrecord and listed by dskcatalog.
suite_test(dskdelete_test SOURCES dskdelete_test.cc LIBS common PROGRAMS dskdelete dskrecord dskcatalog)
