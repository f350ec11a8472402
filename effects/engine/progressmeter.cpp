#include "progressmeter.h"

namespace isp {

ProgressMeter::ProgressMeter(IspProgress callback, void* owner)
    : m_callback(callback)
    , m_owner(owner)
{
}

void ProgressMeter::phase(int from, int to)
{
    m_from = from;
    m_to = to;
}

bool ProgressMeter::step(std::int64_t done, std::int64_t total)
{
    if (m_stopped)
        return false;
    if (!m_callback)
        return true;
    const std::int64_t span = m_to - m_from;
    const int percent = total > 0 ? m_from + static_cast<int>(span * done / total) : m_from;
    return report(percent);
}

bool ProgressMeter::finish()
{
    if (m_stopped)
        return false;
    return m_callback ? report(100) : true;
}

bool ProgressMeter::report(int percent)
{
    if (percent == m_last)
        return true;
    m_last = percent;
    if (m_callback(static_cast<short>(percent), m_owner) == 0)
        m_stopped = true;
    return !m_stopped;
}

}  // namespace isp
