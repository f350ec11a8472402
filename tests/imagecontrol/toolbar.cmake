# The image toolbar's widget tests.
kv_add_test(toolbar SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_toolbar.cpp LIBS kvimagecontroltesthelp)
add_dependencies(tst_toolbar CRDE2001 ISP2000)
