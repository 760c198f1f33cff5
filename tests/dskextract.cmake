# The extraction helper: texts recorded by dskrecord and binary files recorded by
# dskputbin got back, and its refusals.
suite_test(dskextract_test SOURCES dskextract_test.cc LIBS common PROGRAMS dskextract dskrecord dskputbin)
