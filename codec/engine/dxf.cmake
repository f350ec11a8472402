# sources and libraries the engine needs for this part
list(APPEND KV_ENGINE_SOURCES
  dxfdrawing.h
  dxfreader.cpp dxfreader.h
  dxfplacement.cpp dxfplacement.h
  dxffont.cpp dxffont.h
  dxfrenderer.cpp dxfrenderer.h
  dxfcodec.cpp dxfcodec.h
  dxfentries.cpp)
