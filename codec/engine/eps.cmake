# EPS: reading through Ghostscript's library (loaded at run time with dlopen,
# so only its header is needed here) and our own writer.
find_path(KV_GHOSTSCRIPT_INCLUDE ghostscript/iapi.h REQUIRED)
list(APPEND KV_ENGINE_SOURCES
  epsboundingbox.cpp epsboundingbox.h
  epscodec.cpp epscodec.h
  epsentries.cpp
  epsfilters.cpp epsfilters.h
  epsipreview.cpp epsipreview.h
  epslines.h
  epsrender.cpp epsrender.h
  epsstructure.cpp epsstructure.h
  epswriter.cpp epswriter.h
)
if(NOT TARGET kv_ghostscript_headers)
  add_library(kv_ghostscript_headers INTERFACE IMPORTED GLOBAL)
  set_target_properties(kv_ghostscript_headers PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES ${KV_GHOSTSCRIPT_INCLUDE}
    INTERFACE_LINK_LIBRARIES "${CMAKE_DL_LIBS}")
endif()
list(APPEND KV_ENGINE_LIBS kv_ghostscript_headers)
