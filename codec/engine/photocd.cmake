# sources and libraries the engine needs for this part
list(APPEND KV_ENGINE_SOURCES photocdcodec.cpp photocdcodec.h photocdentries.cpp)
