# The extraction helper: texts recorded by dskrecord got back, and its refusals.
suite_test(dskextract_test SOURCES dskextract_test.cc LIBS common PROGRAMS dskextract dskrecord)
