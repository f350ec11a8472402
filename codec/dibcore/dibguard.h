#pragma once
// Owns a GlobalHandle until released; frees it (fully unlocked) otherwise.

#include "platform/globalmem.h"

namespace dibcore {

class DibGuard
{
public:
    explicit DibGuard(GlobalHandle h = nullptr) : m_h(h) {}
    ~DibGuard() { reset(); }
    DibGuard(const DibGuard&) = delete;
    DibGuard& operator=(const DibGuard&) = delete;

    GlobalHandle get() const { return m_h; }
    void reset(GlobalHandle h = nullptr)
    {
        if (m_h && m_h != h) {
            while (globalmem::unlock(m_h)) {
            }
            globalmem::free(m_h);
        }
        m_h = h;
    }
    // Gives the handle up, with its lock count back at zero.
    GlobalHandle release()
    {
        if (m_h)
            while (globalmem::unlock(m_h)) {
            }
        GlobalHandle h = m_h;
        m_h = nullptr;
        return h;
    }

private:
    GlobalHandle m_h;
};

}  // namespace dibcore
