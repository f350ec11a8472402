#include "enginemodule.h"

#include <dlfcn.h>

#include <QCoreApplication>

EngineModule::EngineModule()
{
    const QByteArray path = (QCoreApplication::applicationDirPath() + "/CRDE2001.so").toLocal8Bit();
    m_handle = dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
    if (!m_handle)
        m_error = QString::fromLocal8Bit(dlerror());
}

EngineModule::~EngineModule()
{
    if (m_handle)
        dlclose(m_handle);
}

void* EngineModule::symbol(const char* name) const
{
    return m_handle ? dlsym(m_handle, name) : nullptr;
}
