#include "moduleloader.h"

#include "paths.h"

#include <QStringList>
#include <dlfcn.h>

void* ModuleLoader::load(const QString& name, const QString& libraryFolder, QString* error)
{
    QStringList candidates;
    if (!libraryFolder.isEmpty())
        candidates << libraryFolder + "/" + name;
    candidates << paths::programFolder() + name;
    candidates << name;   // bare name: the system's own search path
    QString last;
    for (const QString& c : candidates) {
        if (void* h = dlopen(c.toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL))
            return h;
        if (const char* e = dlerror())
            last = QString::fromLocal8Bit(e);
    }
    if (error)
        *error = last;
    return nullptr;
}

void* ModuleLoader::symbol(void* module, const char* entry)
{
    return module ? dlsym(module, entry) : nullptr;
}

void ModuleLoader::unload(void* module)
{
    if (module)
        dlclose(module);
}
