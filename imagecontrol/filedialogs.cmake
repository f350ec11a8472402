# The open and save dialogs with their preview and save options.
target_sources(kvimagecontrol PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/mmopendialog.cpp ${CMAKE_CURRENT_LIST_DIR}/mmopendialog.h
  ${CMAKE_CURRENT_LIST_DIR}/mmsavedialog.cpp ${CMAKE_CURRENT_LIST_DIR}/mmsavedialog.h
)
target_link_libraries(kvimagecontrol PUBLIC kvthumbnails)
