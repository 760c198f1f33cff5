# The checking helper, on images recorded by dskrecord and then damaged.
suite_test(dskcheck_test SOURCES dskcheck_test.cc LIBS common PROGRAMS dskcheck dskrecord)
