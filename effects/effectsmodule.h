#pragma once
// The effects module ISP2000.so, loaded at the first call from the binding's
// library folder (when set), the program folder, then the system search
// path, and kept until Unload.

#include <QString>

class EffectsModule {
public:
    static constexpr const char* kDefaultName = "ISP2000.so";

    // Loads the module if needed and resolves entry, calling its "DllInit"
    // first when it exports one. Null when the module lacks the entry;
    // throws ErrorInvalid with the loading error when no attempt loads it.
    static void* resolve(const char* entry);
    template <typename Fn>
    static Fn entry(const char* name)
    {
        return reinterpret_cast<Fn>(resolve(name));
    }

    static void unload();
    static bool isLoaded();

    // The module's file name; tests point it elsewhere.
    static QString moduleName();
    static void setModuleName(const QString& name);
};
