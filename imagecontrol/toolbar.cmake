# The image toolbar: its buttons, layout and glyphs. The grid (kvthumbnails)
# serves previous/next and the TIFF page buttons.
target_sources(kvimagecontrol PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ilmultiimagetoolbar.cpp ${CMAKE_CURRENT_LIST_DIR}/ilmultiimagetoolbar.h
  ${CMAKE_CURRENT_LIST_DIR}/ilmultiimagetoolbarpictures.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ilmultiimagetoolbarbutton.cpp ${CMAKE_CURRENT_LIST_DIR}/ilmultiimagetoolbarbutton.h
  ${CMAKE_CURRENT_LIST_DIR}/ilmultiimagetoolbarbtn.cpp ${CMAKE_CURRENT_LIST_DIR}/ilmultiimagetoolbarbtn.h
  ${CMAKE_CURRENT_LIST_DIR}/toolbarlayout.cpp ${CMAKE_CURRENT_LIST_DIR}/toolbarlayout.h
  ${CMAKE_CURRENT_LIST_DIR}/annotationfile.cpp ${CMAKE_CURRENT_LIST_DIR}/annotationfile.h
  ${CMAKE_CURRENT_LIST_DIR}/toolbarglyphs.qrc
)
target_link_libraries(kvimagecontrol PUBLIC kvthumbnails)

# Redraws the glyph pictures: cmake --build . --target kvtoolbarglyphs, then
# run it with imagecontrol/glyphs as its argument.
add_executable(kvtoolbarglyphs EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/glyphs/makeglyphs.cpp)
target_link_libraries(kvtoolbarglyphs PRIVATE Qt6::Gui)
