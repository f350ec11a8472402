#pragma once
// The quickest of several runs of one piece of work, for the benchmarks.

#include <QElapsedTimer>

#include <functional>

// Milliseconds of the quickest of runs runs of once; -1 when a run fails.
inline double fastest(int runs, const std::function<bool()>& once)
{
    double best = -1;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        if (!once())
            return -1;
        const double ms = t.nsecsElapsed() / 1e6;
        if (best < 0 || ms < best)
            best = ms;
    }
    return best;
}
