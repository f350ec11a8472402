#include "resampler.h"

#include <algorithm>
#include <cmath>

namespace isp {

AxisWeights::AxisWeights(int sourceSize, int targetSize)
{
    m_taps.reserve(std::size_t(targetSize));
    if (targetSize < sourceSize)
        addArea(sourceSize, targetSize);
    else
        addLinear(sourceSize, targetSize);
}

void AxisWeights::push(int first, const std::vector<double>& w)
{
    // integer weights from rounded running sums: they add up to exactly
    // 1 << kShift and each is off by less than one unit
    AxisTaps t;
    t.first = first;
    t.count = static_cast<int>(w.size());
    t.offset = static_cast<int>(m_weights.size());
    double total = 0.0;
    for (double v : w)
        total += v;
    double running = 0.0;
    long previous = 0;
    for (double v : w) {
        running += v;
        const long edge = std::lround(running / total * (1 << kShift));
        m_weights.push_back(static_cast<std::int16_t>(edge - previous));
        previous = edge;
    }
    m_maxCount = std::max(m_maxCount, t.count);
    m_taps.push_back(t);
}

void AxisWeights::addArea(int sourceSize, int targetSize)
{
    const double scale = double(sourceSize) / targetSize;
    std::vector<double> w;
    for (int o = 0; o < targetSize; ++o) {
        const double from = o * scale;
        const double to = std::min(double(sourceSize), (o + 1) * scale);
        const int first = static_cast<int>(std::floor(from));
        const int last = std::min(sourceSize - 1, static_cast<int>(std::ceil(to)) - 1);
        w.clear();
        for (int i = first; i <= last; ++i) {
            const double cover = std::min(to, i + 1.0) - std::max(from, double(i));
            w.push_back(std::max(0.0, cover) / (to - from));
        }
        push(first, w);
    }
}

void AxisWeights::addLinear(int sourceSize, int targetSize)
{
    const double scale = double(sourceSize) / targetSize;
    for (int o = 0; o < targetSize; ++o) {
        double pos = (o + 0.5) * scale - 0.5;
        pos = std::clamp(pos, 0.0, double(sourceSize - 1));
        const int first = static_cast<int>(pos);
        const double frac = pos - first;
        if (first + 1 >= sourceSize || frac <= 0.0)
            push(first, {1.0});
        else
            push(first, {1.0 - frac, frac});
    }
}

namespace {

// One source row resized horizontally, 4 extra bits kept.
template <int C>
void resizeRow(const std::uint8_t* in, std::uint16_t* out, const AxisWeights& xw, int width)
{
    for (int x = 0; x < width; ++x) {
        const AxisTaps& t = xw.taps(x);
        const std::int16_t* w = xw.weights(t);
        const std::uint8_t* p = in + std::size_t(t.first) * C;
        std::int32_t acc[C] = {};
        for (int i = 0; i < t.count; ++i, p += C)
            for (int k = 0; k < C; ++k)
                acc[k] += w[i] * p[k];
        for (int k = 0; k < C; ++k)
            out[std::size_t(x) * C + k] = static_cast<std::uint16_t>((acc[k] + (1 << 9)) >> 10);
    }
}

template <int C>
bool resampleWith(const RowSource& source, const RowTarget& target, ProgressMeter& meter)
{
    const AxisWeights xw(source.width, target.width);
    const AxisWeights yw(source.height, target.height);
    const std::size_t rowLen = std::size_t(target.width) * C;
    const int ring = yw.maxCount();
    std::vector<std::uint16_t> rows(rowLen * std::size_t(ring));
    std::vector<std::int32_t> acc(rowLen);
    int nextSourceRow = 0;
    for (int y = 0; y < target.height; ++y) {
        if ((y & 31) == 0 && !meter.step(y, target.height))
            return false;
        const AxisTaps& t = yw.taps(y);
        for (; nextSourceRow < t.first + t.count; ++nextSourceRow)
            resizeRow<C>(source.row(source.context, nextSourceRow),
                         rows.data() + rowLen * std::size_t(nextSourceRow % ring), xw, target.width);
        const std::int16_t* w = yw.weights(t);
        std::fill(acc.begin(), acc.end(), 0);
        for (int i = 0; i < t.count; ++i) {
            const std::uint16_t* r = rows.data() + rowLen * std::size_t((t.first + i) % ring);
            const std::int32_t wi = w[i];
            std::int32_t* a = acc.data();
            for (std::size_t j = 0; j < rowLen; ++j)
                a[j] += wi * r[j];
        }
        std::uint8_t* out = target.row(target.context, y);
        for (std::size_t j = 0; j < rowLen; ++j) {
            const std::int32_t v = (acc[j] + (1 << 17)) >> 18;
            out[j] = static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
        }
    }
    return true;
}

}  // namespace

bool resample(const RowSource& source, const RowTarget& target, int channels, ProgressMeter& meter)
{
    if (source.width <= 0 || source.height <= 0 || target.width <= 0 || target.height <= 0)
        return false;
    switch (channels) {
    case 1:
        return resampleWith<1>(source, target, meter);
    case 3:
        return resampleWith<3>(source, target, meter);
    case 4:
        return resampleWith<4>(source, target, meter);
    default:
        return false;
    }
}

}  // namespace isp
