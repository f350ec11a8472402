# The open and save dialogs: preview, TIFF pages, file types and save options.
kv_add_test(filedialog SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_filedialog.cpp LIBS kvimagecontroltesthelp)
add_dependencies(tst_filedialog CRDE2001 ISP2000)
