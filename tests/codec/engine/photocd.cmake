kv_add_test(photocd SOURCES tst_photocd.cpp LIBS kvenginetestsupport)
add_dependencies(tst_photocd CRDE2001)
