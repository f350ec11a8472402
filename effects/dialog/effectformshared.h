#pragma once
// What the files of TEffectForm share: the process-wide flags and the
// picture helpers.

#include "platform/globalmem.h"

#include <QImage>
#include <QSize>

#include <atomic>
#include <cmath>

namespace effectformshared {

extern std::atomic<bool> changedFlag;
extern std::atomic<bool> shownFlag;

QImage imageOf(GlobalHandle dib);

// The preview picture of a master: scaled to the preview's size at the
// master's own depth.
GlobalHandle previewOf(GlobalHandle master, QSize size);

inline int scaled(int v, int to, int from)
{
    return from > 0 ? int(std::lround(double(v) * to / from)) : v;
}

}  // namespace effectformshared
