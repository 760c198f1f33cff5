# The binary-file recorder: files recorded where the allocator says and read
# back by dskextract, its refusals, and replacing a binary file.
suite_test(dskputbin_test SOURCES dskputbin_test.cc LIBS common PROGRAMS dskputbin dskextract)
