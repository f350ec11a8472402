#pragma once
// The codec module CRDE2001.so, loaded at the first call: from the library
// folder (when set), the program folder, then the system search path. An
// entry keeps the module loaded while it is in use, so unloading (after a
// failed JPEG decode) never pulls the code from under a running call.

#include <QString>
#include <memory>

class CodecModule {
public:
    struct Loaded;

    // A resolved entry; address is null when the module lacks it.
    struct Entry {
        std::shared_ptr<Loaded> module;
        void* address = nullptr;
        explicit operator bool() const { return address != nullptr; }
        template <typename Fn>
        Fn as() const { return reinterpret_cast<Fn>(address); }
    };

    static constexpr const char* kDefaultName = "CRDE2001.so";

    // Loads the module if needed and resolves entry, calling its "InitDll"
    // and "TInitDLL" first when it exports them. Throws ErrorInvalid with
    // the loading error when no attempt loads the module.
    static Entry resolve(const char* entry);
    // As resolve, but a missing entry throws the procaddress error (used by
    // the annotation layer).
    static Entry resolveAnnotation(const char* entry);

    // Drops the module; the next call loads it again.
    static void unload();
    static bool isLoaded();

    // The library folder tried first; empty (the start value) skips it.
    static QString libraryFolder();
    static void setLibraryFolder(const QString& folder);
    // The module's file name; tests point it elsewhere.
    static QString moduleName();
    static void setModuleName(const QString& name);

    static QString loadErrorText(const QString& name);
    static QString procAddressErrorText(const char* entry, const QString& name);
};
