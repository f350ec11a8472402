#include "effectsmodule.h"

#include "codec/binding/codecmodule.h"
#include "codec/binding/errorinvalid.h"
#include "effects/engine/isp2000.h"
#include "platform/moduleloader.h"

#include <QGuiApplication>
#include <QThread>
#include <QWindow>
#include <mutex>

namespace {

struct ModuleState {
    std::mutex lock;
    void* handle = nullptr;
    QString name = QString::fromLatin1(EffectsModule::kDefaultName);
};

ModuleState& moduleState()
{
    static ModuleState s;
    return s;
}

void* activeWindowHandle()
{
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app || QThread::currentThread() != app->thread())
        return nullptr;
    QWindow* w = QGuiApplication::focusWindow();
    return w ? reinterpret_cast<void*>(w->winId()) : nullptr;
}

void* loadedModule()
{
    ModuleState& s = moduleState();
    std::lock_guard g(s.lock);
    if (!s.handle) {
        // the library folder is the binding's, shared with the codec module
        s.handle = ModuleLoader::load(s.name, CodecModule::libraryFolder());
        if (!s.handle)
            throw ErrorInvalid(CodecModule::loadErrorText(s.name));
    }
    return s.handle;
}

}  // namespace

void* EffectsModule::resolve(const char* entry)
{
    void* handle = loadedModule();
    if (auto init = reinterpret_cast<DllInit_fn>(ModuleLoader::symbol(handle, "DllInit")))
        init(activeWindowHandle());
    return ModuleLoader::symbol(handle, entry);
}

void EffectsModule::unload()
{
    ModuleState& s = moduleState();
    std::lock_guard g(s.lock);
    ModuleLoader::unload(s.handle);
    s.handle = nullptr;
}

bool EffectsModule::isLoaded()
{
    std::lock_guard g(moduleState().lock);
    return moduleState().handle != nullptr;
}

QString EffectsModule::moduleName()
{
    std::lock_guard g(moduleState().lock);
    return moduleState().name;
}

void EffectsModule::setModuleName(const QString& name)
{
    std::lock_guard g(moduleState().lock);
    moduleState().name = name;
}
