#include "warp.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "sampler.h"

namespace isp {

namespace {

struct Field {
    int w = 0, h = 0;
    std::vector<float> x, y;
};

// Hue in degrees and saturation (0..1) of one pixel.
void hueAndSaturation(const std::uint8_t* p, double& hue, double& sat)
{
    const int b = p[0], g = p[1], r = p[2];
    const int mx = std::max({r, g, b}), mn = std::min({r, g, b});
    const double d = mx - mn;
    sat = mx > 0 ? d / mx : 0.0;
    hue = 0.0;
    if (d <= 0)
        return;
    if (mx == r)
        hue = 60.0 * std::fmod((g - b) / d + 6.0, 6.0);
    else if (mx == g)
        hue = 60.0 * ((b - r) / d + 2.0);
    else
        hue = 60.0 * ((r - g) / d + 4.0);
}

Field vectorField(const RgbImage& image, const WarpStyle& style)
{
    Field f;
    f.w = image.width();
    f.h = image.height();
    f.x.resize(std::size_t(f.w) * std::size_t(f.h));
    f.y.resize(f.x.size());
    const double turn = style.rotation * M_PI / 180.0;
    std::size_t i = 0;
    for (int y = 0; y < f.h; ++y) {
        const std::uint8_t* p = image.row(y);
        for (int x = 0; x < f.w; ++x, p += 3, ++i) {
            double hue, sat;
            hueAndSaturation(p, hue, sat);
            const double angle = (style.hueDirection ? hue : luminance(p[0], p[1], p[2]) * 360.0 / 255.0) * M_PI / 180.0;
            const double length = style.saturationLength ? sat : 1.0;
            f.x[i] = static_cast<float>(std::cos(angle + turn) * length);
            f.y[i] = static_cast<float>(-std::sin(angle + turn) * length);
        }
    }
    return f;
}

// Box average of one component over (2r+1)^2, edges extended.
void smooth(std::vector<float>& v, int w, int h, int r)
{
    std::vector<float> tmp(v.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double s = 0;
            for (int i = -r; i <= r; ++i)
                s += v[std::size_t(y) * w + std::clamp(x + i, 0, w - 1)];
            tmp[std::size_t(y) * w + x] = static_cast<float>(s / (2 * r + 1));
        }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double s = 0;
            for (int j = -r; j <= r; ++j)
                s += tmp[std::size_t(std::clamp(y + j, 0, h - 1)) * w + x];
            v[std::size_t(y) * w + x] = static_cast<float>(s / (2 * r + 1));
        }
}

}  // namespace

bool warp(RgbImage& image, const WarpStyle& style, const WarpFrame& frame, ProgressMeter& meter)
{
    const int steps = std::clamp(style.steps, 1, 1000);
    const double reach = std::clamp(style.displacement, 0, 10000) * std::clamp(style.scale, 0, 10000) / 10.0;
    if (reach == 0.0)
        return true;
    Field field = vectorField(image, style);
    if (style.convolve) {
        smooth(field.x, field.w, field.h, 4);
        smooth(field.y, field.w, field.h, 4);
    }
    const RgbImage src = image;
    const Sampler sampler(src, OutsideRule::Clamp);
    for (int s = 1; s <= steps; ++s) {
        const double k = reach * s / steps;
        for (int y = 0; y < image.height(); ++y) {
            if ((y & 63) == 0 && !meter.step(std::int64_t(s - 1) * image.height() + y, std::int64_t(steps) * image.height()))
                return false;
            std::uint8_t* out = image.row(y);
            const std::size_t base = std::size_t(y) * field.w;
            for (int x = 0; x < image.width(); ++x)
                sampler.sample(x + field.x[base + x] * k, y + field.y[base + x] * k, out + 3 * x);
        }
        if (s < steps && frame && !frame(image))
            return false;
    }
    return true;
}

}  // namespace isp
