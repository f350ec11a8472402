# the control's link to the annotation layer; fixtures written with the
# module's own annotation file code
kv_add_test(imageannotations SOURCES tst_imageannotations.cpp
  ${CMAKE_SOURCE_DIR}/codec/engine/annotationformat.cpp ${CMAKE_SOURCE_DIR}/codec/engine/annotationobject.cpp
  LIBS kvimagecontroltesthelp)
add_dependencies(tst_imageannotations CRDE2001 ISP2000)
