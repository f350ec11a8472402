kv_add_test(dxf SOURCES tst_dxf.cpp LIBS kvenginetestsupport)
add_dependencies(tst_dxf CRDE2001)
