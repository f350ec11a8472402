#pragma once
// Separable resizing with fixed-point weights: the area average on an axis
// that shrinks, bilinear on one that grows. Rows are streamed: each source
// row is resized horizontally once and kept in a small ring while the
// output rows that need it are made.

#include <cstdint>
#include <vector>

#include "progressmeter.h"

namespace isp {

// Taps of one output position along an axis.
struct AxisTaps {
    int first = 0;
    int count = 0;
    int offset = 0;  // into the weight list
};

class AxisWeights
{
public:
    static constexpr int kShift = 14;  // weights sum to 1 << kShift

    AxisWeights(int sourceSize, int targetSize);

    const AxisTaps& taps(int i) const { return m_taps[std::size_t(i)]; }
    const std::int16_t* weights(const AxisTaps& t) const { return m_weights.data() + t.offset; }
    int maxCount() const { return m_maxCount; }

private:
    void addArea(int sourceSize, int targetSize);
    void addLinear(int sourceSize, int targetSize);
    void push(int first, const std::vector<double>& w);

    std::vector<AxisTaps> m_taps;
    std::vector<std::int16_t> m_weights;
    int m_maxCount = 0;
};

// Rows of a picture with `channels` bytes per pixel (1, 3 or 4).
struct RowSource {
    const std::uint8_t* (*row)(const void* context, int y);
    const void* context;
    int width;
    int height;
};
struct RowTarget {
    std::uint8_t* (*row)(const void* context, int y);
    const void* context;
    int width;
    int height;
};

// Resizes source into target (both with the given channels); false when
// stopped through the meter.
bool resample(const RowSource& source, const RowTarget& target, int channels, ProgressMeter& meter);

}  // namespace isp
