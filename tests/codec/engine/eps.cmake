# EPS reading and writing through the engine (the `gs` program serves as
# the independent renderer)
kv_add_test(epswrite SOURCES tst_epswrite.cpp tst_epshelpers.h LIBS kvenginetestsupport)
add_dependencies(tst_epswrite CRDE2001)
kv_add_test(epsread SOURCES tst_epsread.cpp tst_epshelpers.h LIBS kvenginetestsupport)
add_dependencies(tst_epsread CRDE2001)
