#pragma once
// Bilinear reading of a working picture at fractional positions (pixel
// centres at whole numbers), with a rule for positions outside it.

#include <cmath>

#include "rgbimage.h"

namespace isp {

enum class OutsideRule {
    Clamp,   // the nearest edge pixel
    Mirror,  // reflected at the edges
    Skip,    // no sample
};

class Sampler
{
public:
    Sampler(const RgbImage& source, OutsideRule rule)
        : m_src(source)
        , m_rule(rule)
    {
    }

    // Writes blue, green, red of position (x, y) to out; false (out left
    // alone) when the position is outside and the rule is Skip.
    bool sample(double x, double y, std::uint8_t* out) const
    {
        const int w = m_src.width();
        const int h = m_src.height();
        if (!std::isfinite(x) || !std::isfinite(y))
            return false;
        if (x < -0.5 || y < -0.5 || x > w - 0.5 || y > h - 0.5) {
            if (m_rule == OutsideRule::Skip)
                return false;
            if (m_rule == OutsideRule::Mirror) {
                x = reflect(x, w);
                y = reflect(y, h);
            }
        }
        x = x < 0 ? 0 : (x > w - 1 ? w - 1 : x);
        y = y < 0 ? 0 : (y > h - 1 ? h - 1 : y);
        const int x0 = static_cast<int>(x);
        const int y0 = static_cast<int>(y);
        const int x1 = x0 + 1 < w ? x0 + 1 : x0;
        const int y1 = y0 + 1 < h ? y0 + 1 : y0;
        const int fx = static_cast<int>((x - x0) * 256.0);
        const int fy = static_cast<int>((y - y0) * 256.0);
        const std::uint8_t* a = m_src.pixel(x0, y0);
        const std::uint8_t* b = m_src.pixel(x1, y0);
        const std::uint8_t* c = m_src.pixel(x0, y1);
        const std::uint8_t* d = m_src.pixel(x1, y1);
        for (int k = 0; k < 3; ++k) {
            const int top = a[k] * (256 - fx) + b[k] * fx;
            const int bottom = c[k] * (256 - fx) + d[k] * fx;
            out[k] = static_cast<std::uint8_t>((top * (256 - fy) + bottom * fy + 32768) >> 16);
        }
        return true;
    }

private:
    static double reflect(double v, int n)
    {
        const double period = 2.0 * n;
        double m = std::fmod(v + 0.5, period);
        if (m < 0)
            m += period;
        return (m < n ? m : period - m) - 0.5;
    }

    const RgbImage& m_src;
    OutsideRule m_rule;
};

}  // namespace isp
