#pragma once
// One use of the SANE library: initialised on construction, closed on
// destruction, with the list of devices it found.

#include <string>
#include <vector>

struct SaneDeviceName {
    std::string name;
    std::string description;
};

class SaneSession
{
public:
    SaneSession();
    ~SaneSession();
    SaneSession(const SaneSession&) = delete;
    SaneSession& operator=(const SaneSession&) = delete;

    bool ready() const { return m_ready; }
    // The devices SANE lists (local and network); empty when none answer.
    const std::vector<SaneDeviceName>& devices() const { return m_devices; }

    // The device chosen for this process; empty until one is chosen.
    static std::string chosenDevice();
    static void choose(const std::string& name);

private:
    bool m_ready = false;
    std::vector<SaneDeviceName> m_devices;
};
