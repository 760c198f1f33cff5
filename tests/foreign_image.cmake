# Images the suite does not take as they come: other file systems of the
# same size, refused by every writer, and ProDOS-order (.po) images.
suite_test(foreign_image_test SOURCES foreign_image_test.cc LIBS common
  PROGRAMS dskblank dskcatalog dskextract dskrecord dskputdos dskputbin dskdelete dskcheck
           dskgetdos)
