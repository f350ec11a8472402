#pragma once
// Reports an effect's progress to the caller's callback, at most once per
// percent, and remembers a stop answer.

#include <cstdint>

#include "isp2000.h"

namespace isp {

class ProgressMeter
{
public:
    ProgressMeter(IspProgress callback = nullptr, void* owner = nullptr);

    // The next reports cover the percentages from..to of the whole run.
    void phase(int from, int to);
    // done of total units of the current phase; false once a stop came.
    bool step(std::int64_t done, std::int64_t total);
    // Row y of h: reports every 32 rows; false once a stop came.
    bool row(int y, int h) { return (y & 31) != 0 ? !m_stopped : step(y, h); }
    // Reports 100; false when stopped.
    bool finish();
    bool stopped() const { return m_stopped; }

private:
    bool report(int percent);

    IspProgress m_callback;
    void* m_owner;
    int m_from = 0;
    int m_to = 100;
    int m_last = -1;
    bool m_stopped = false;
};

}  // namespace isp
