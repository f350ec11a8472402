# The open and save dialogs with their preview and save options.
target_sources(kvimagecontrol PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/mmopendialog.cpp ${CMAKE_CURRENT_LIST_DIR}/mmopendialog.h
  ${CMAKE_CURRENT_LIST_DIR}/mmsavedialog.cpp ${CMAKE_CURRENT_LIST_DIR}/mmsavedialog.h
  ${CMAKE_CURRENT_LIST_DIR}/previewpanel.cpp ${CMAKE_CURRENT_LIST_DIR}/previewpanel.h
  ${CMAKE_CURRENT_LIST_DIR}/saveoptionspanel.cpp ${CMAKE_CURRENT_LIST_DIR}/saveoptionspanel.h
  ${CMAKE_CURRENT_LIST_DIR}/tiffpageview.cpp ${CMAKE_CURRENT_LIST_DIR}/tiffpageview.h
  ${CMAKE_CURRENT_LIST_DIR}/mediapreview.cpp ${CMAKE_CURRENT_LIST_DIR}/mediapreview.h
  ${CMAKE_CURRENT_LIST_DIR}/pageglyphs.cpp ${CMAKE_CURRENT_LIST_DIR}/pageglyphs.h
)
target_link_libraries(kvimagecontrol PUBLIC kvthumbnails)
# sound and video preview where Qt Multimedia is installed
find_package(Qt6 QUIET COMPONENTS Multimedia MultimediaWidgets)
if(Qt6Multimedia_FOUND AND Qt6MultimediaWidgets_FOUND)
  target_link_libraries(kvimagecontrol PRIVATE Qt6::Multimedia Qt6::MultimediaWidgets)
  set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/mediapreview.cpp PROPERTIES COMPILE_DEFINITIONS KV_HAVE_MULTIMEDIA=1)
endif()
