# The blank-image helper.
suite_test(dskblank_test SOURCES dskblank_test.cc PROGRAMS dskblank)
