#include "codecmodule.h"

#include "annotationcalls.h"
#include "display.h"
#include "engine/crde2001.h"
#include "errorinvalid.h"
#include "platform/moduleloader.h"

#include <mutex>

struct CodecModule::Loaded {
    void* handle = nullptr;
    ~Loaded() { ModuleLoader::unload(handle); }
};

namespace {

struct ModuleState {
    std::mutex lock;
    std::shared_ptr<CodecModule::Loaded> module;
    QString libraryFolder;
    QString name = QString::fromLatin1(CodecModule::kDefaultName);
};

ModuleState& moduleState()
{
    static ModuleState s;
    return s;
}

void registerAnnotationHost(void* handle)
{
    if (auto set = reinterpret_cast<SetAnnotationHost_fn>(ModuleLoader::symbol(handle, "SetAnnotationHost")))
        set(&annotationcalls::HostTable());
}

std::shared_ptr<CodecModule::Loaded> loadedModule()
{
    ModuleState& s = moduleState();
    std::lock_guard g(s.lock);
    if (!s.module) {
        void* handle = ModuleLoader::load(s.name, s.libraryFolder);
        if (!handle)
            throw ErrorInvalid(CodecModule::loadErrorText(s.name));
        registerAnnotationHost(handle);
        auto loaded = std::make_shared<CodecModule::Loaded>();
        loaded->handle = handle;
        s.module = std::move(loaded);
    }
    return s.module;
}

void initialise(void* handle)
{
    void* window = ActiveWindowHandle();
    if (auto init = reinterpret_cast<InitDll_fn>(ModuleLoader::symbol(handle, "InitDll")))
        init(window);
    if (auto init = reinterpret_cast<TInitDLL_fn>(ModuleLoader::symbol(handle, "TInitDLL")))
        init(window);
}

}  // namespace

CodecModule::Entry CodecModule::resolve(const char* entry)
{
    Entry e;
    e.module = loadedModule();
    initialise(e.module->handle);
    e.address = ModuleLoader::symbol(e.module->handle, entry);
    return e;
}

CodecModule::Entry CodecModule::resolveAnnotation(const char* entry)
{
    Entry e = resolve(entry);
    if (!e)
        throw ErrorInvalid(procAddressErrorText(entry, moduleName()));
    return e;
}

void CodecModule::unload()
{
    std::shared_ptr<Loaded> dropped;
    {
        std::lock_guard g(moduleState().lock);
        dropped.swap(moduleState().module);
    }
}

bool CodecModule::isLoaded()
{
    std::lock_guard g(moduleState().lock);
    return moduleState().module != nullptr;
}

QString CodecModule::libraryFolder()
{
    std::lock_guard g(moduleState().lock);
    return moduleState().libraryFolder;
}

void CodecModule::setLibraryFolder(const QString& folder)
{
    std::lock_guard g(moduleState().lock);
    moduleState().libraryFolder = folder;
}

QString CodecModule::moduleName()
{
    std::lock_guard g(moduleState().lock);
    return moduleState().name;
}

void CodecModule::setModuleName(const QString& name)
{
    std::lock_guard g(moduleState().lock);
    moduleState().name = name;
}

QString CodecModule::loadErrorText(const QString& name)
{
    return QStringLiteral("Can't load ") + name + QStringLiteral(". Make sure its located in the application's searchpath.");
}

QString CodecModule::procAddressErrorText(const char* entry, const QString& name)
{
    return QStringLiteral("Error. Could not get a procaddress for ") + QLatin1String(entry) +
           QStringLiteral(". This could be") + QStringLiteral("related to a dll name or version missmatch of ") + name;
}
