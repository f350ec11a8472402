#pragma once
// Loads our run-time modules (the codec and effects engines) by name, trying
// the library folder, the program folder, and the system search path in turn.

#include <QString>

class ModuleLoader {
public:
    // Null when no attempt succeeds; then *error holds dlerror()'s last text.
    static void* load(const QString& name, const QString& libraryFolder, QString* error = nullptr);
    static void* symbol(void* module, const char* entry);
    static void unload(void* module);
};
