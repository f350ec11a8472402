# scanning through SANE
pkg_check_modules(SANE REQUIRED IMPORTED_TARGET GLOBAL sane-backends)
list(APPEND KV_ENGINE_SOURCES scanentries.cpp sanesession.cpp sanesession.h sanescan.cpp sanescan.h)
list(APPEND KV_ENGINE_LIBS PkgConfig::SANE)
