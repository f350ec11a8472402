#include "sanesession.h"

#include <sane/sane.h>

#include <dlfcn.h>

#include <mutex>

namespace {

std::mutex g_choiceLock;
std::string g_chosen;

std::string textOf(SANE_String_Const text)
{
    return text ? std::string(text) : std::string();
}

}  // namespace

SaneSession::SaneSession()
{
    // SANE stays mapped once used: its backends may leave threads and cached
    // configuration behind that must not outlive their code when this
    // module is unloaded.
    static void* const pinned = dlopen("libsane.so.1", RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    (void)pinned;
    SANE_Int version = 0;
    m_ready = sane_init(&version, nullptr) == SANE_STATUS_GOOD;
    if (!m_ready)
        return;
    const SANE_Device** list = nullptr;
    if (sane_get_devices(&list, SANE_FALSE) != SANE_STATUS_GOOD || !list)
        return;
    for (const SANE_Device** d = list; *d; ++d) {
        const std::string name = textOf((*d)->name);
        if (name.empty())
            continue;
        std::string description = textOf((*d)->vendor);
        if (!textOf((*d)->model).empty())
            description += (description.empty() ? "" : " ") + textOf((*d)->model);
        m_devices.push_back({name, description});
    }
}

SaneSession::~SaneSession()
{
    if (m_ready)
        sane_exit();
}

std::string SaneSession::chosenDevice()
{
    std::lock_guard<std::mutex> lock(g_choiceLock);
    return g_chosen;
}

void SaneSession::choose(const std::string& name)
{
    std::lock_guard<std::mutex> lock(g_choiceLock);
    g_chosen = name;
}
