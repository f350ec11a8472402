// Scanning through SANE: choosing the device and reading one picture.

#include "crde2001.h"

#include <vector>

#include "decoderequest.h"
#include "entryframe.h"
#include "sanescan.h"
#include "sanesession.h"

namespace {

// The index window's chooser picks, the only or first device without one,
// -1 when cancelled.
int chooseDevice(const std::vector<SaneDeviceName>& devices, const ScanWindow* window)
{
    if (!window || !window->choose)
        return 0;
    std::vector<const char*> names;
    std::vector<const char*> descriptions;
    for (const SaneDeviceName& d : devices) {
        names.push_back(d.name.c_str());
        descriptions.push_back(d.description.c_str());
    }
    const int index = window->choose(window->context, names.data(), descriptions.data(), int(devices.size()));
    return index >= 0 && index < int(devices.size()) ? index : -1;
}

std::string deviceToScan(const SaneSession& session)
{
    const std::string chosen = SaneSession::chosenDevice();
    for (const SaneDeviceName& d : session.devices())
        if (d.name == chosen)
            return chosen;
    return session.devices().empty() ? std::string() : session.devices().front().name;
}

}  // namespace

short selectsource(void* window)
{
    try {
        SaneSession session;
        if (!session.ready() || session.devices().empty())
            return -1;
        const int index = chooseDevice(session.devices(), static_cast<const ScanWindow*>(window));
        if (index < 0)
            return 0;
        SaneSession::choose(session.devices()[std::size_t(index)].name);
        return 1;
    } catch (...) {
        return -1;
    }
}

short aquiredibimage(void*, short bits, short dither, GlobalHandle* dib, void* sender, ProgressCallback cb, int)
{
    DecodeRequest request(bits, dither, cb, sender);
    const short ok = entryframe::deliver(dib, request, [&]() -> GlobalHandle {
        SaneSession session;
        if (!session.ready())
            return nullptr;
        const std::string device = deviceToScan(session);
        if (device.empty())
            return nullptr;
        SaneScan scan(request);
        return scan.acquire(device, request.bits());
    });
    return ok > 0 ? 1 : -1;
}
