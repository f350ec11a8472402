kv_add_test(scanning SOURCES tst_scanning.cpp LIBS kvenginetestsupport kvcodec)
add_dependencies(tst_scanning CRDE2001)
