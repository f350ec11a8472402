#include "distortions.h"

#include <algorithm>
#include <cmath>

#include "sampler.h"

namespace isp {

namespace {

// Every pixel (x, y) for which `from` gives a source position reads the
// original picture there; the others keep their value.
template <typename From>
bool remap(RgbImage& image, OutsideRule rule, ProgressMeter& meter, From from)
{
    const RgbImage src = image;
    const Sampler sampler(src, rule);
    for (int y = 0; y < image.height(); ++y) {
        if (!meter.row(y, image.height()))
            return false;
        std::uint8_t* out = image.row(y);
        for (int x = 0; x < image.width(); ++x) {
            double sx, sy;
            if (from(x, y, sx, sy))
                sampler.sample(sx, sy, out + 3 * x);
        }
    }
    return true;
}

// Position relative to the centre, scaled so the inscribed ellipse is the
// unit circle.
struct Ellipse {
    double cx, cy, rx, ry;
    explicit Ellipse(const RgbImage& image)
        : cx((image.width() - 1) / 2.0)
        , cy((image.height() - 1) / 2.0)
        , rx(std::max(0.5, image.width() / 2.0))
        , ry(std::max(0.5, image.height() / 2.0))
    {
    }
};

}  // namespace

bool pinchHole(RgbImage& image, double amount, ProgressMeter& meter)
{
    if (!std::isfinite(amount) || amount == 0.0)
        return true;
    const double exponent = std::pow(2.0, std::clamp(amount, -200.0, 200.0) / 20.0);
    const Ellipse e(image);
    return remap(image, OutsideRule::Clamp, meter, [&](int x, int y, double& sx, double& sy) {
        const double dx = (x - e.cx) / e.rx, dy = (y - e.cy) / e.ry;
        const double r = std::hypot(dx, dy);
        if (r >= 1.0 || r == 0.0)
            return false;
        const double scale = std::pow(r, exponent) / r;
        sx = e.cx + dx * scale * e.rx;
        sy = e.cy + dy * scale * e.ry;
        return true;
    });
}

bool whirl(RgbImage& image, double angle, ProgressMeter& meter)
{
    if (!std::isfinite(angle) || angle == 0.0)
        return true;
    const double turn = std::clamp(angle, -36000.0, 36000.0) * M_PI / 180.0;
    const Ellipse e(image);
    return remap(image, OutsideRule::Clamp, meter, [&](int x, int y, double& sx, double& sy) {
        const double dx = (x - e.cx) / e.rx, dy = (y - e.cy) / e.ry;
        const double r = std::hypot(dx, dy);
        if (r >= 1.0)
            return false;
        const double a = turn * (1.0 - r) * (1.0 - r);
        const double c = std::cos(a), s = std::sin(a);
        sx = e.cx + (dx * c - dy * s) * e.rx;
        sy = e.cy + (dx * s + dy * c) * e.ry;
        return true;
    });
}

bool wave(RgbImage& image, double amplitude, int waveLength, double phase, bool smear, bool reflection,
          ProgressMeter& meter)
{
    if (!std::isfinite(amplitude) || !std::isfinite(phase))
        return false;
    const double a = std::clamp(amplitude, -100000.0, 100000.0) / 10.0;
    if (a == 0.0)
        return true;
    const double k = 2.0 * M_PI / std::max(1, waveLength);
    const double p = phase / 10.0 * M_PI / 180.0;
    const OutsideRule rule = reflection ? OutsideRule::Mirror : (smear ? OutsideRule::Clamp : OutsideRule::Skip);
    return remap(image, rule, meter, [&](int x, int y, double& sx, double& sy) {
        sx = x + a * std::sin(k * y + p);
        sy = y + a * std::sin(k * x + p);
        return true;
    });
}

namespace {

// Sine or triangle of period 1, from -1 to 1.
double waveForm(double t, bool triangle)
{
    if (!triangle)
        return std::sin(2.0 * M_PI * t);
    const double f = t - std::floor(t);
    return f < 0.25 ? 4 * f : (f < 0.75 ? 2 - 4 * f : 4 * f - 4);
}

}  // namespace

bool jiggle(RgbImage& image, int period, int amplitude, bool triangle, ProgressMeter& meter)
{
    if (amplitude == 0)
        return true;
    const double p = std::max(1, period);
    return remap(image, OutsideRule::Clamp, meter, [&](int x, int y, double& sx, double& sy) {
        sx = x + amplitude * waveForm(y / p, triangle);
        sy = y;
        return true;
    });
}

bool rectToPolar(RgbImage& image, int value, int angle, bool invert, bool backwards, ProgressMeter& meter)
{
    const int w = image.width(), h = image.height();
    const double cx = (w - 1) / 2.0, cy = (h - 1) / 2.0;
    const double zoom = (value > 0 ? value : 100) / 100.0;
    const double rmax = std::max(0.5, std::hypot(w, h) / 2.0 / zoom);
    const double turn = angle;
    const double dir = backwards ? -1.0 : 1.0;
    if (!invert) {
        // rows become rings about the centre, columns become angles
        return remap(image, OutsideRule::Clamp, meter, [&](int x, int y, double& sx, double& sy) {
            const double dx = x - cx, dy = cy - y;
            double a = dir * std::atan2(dy, dx) * 180.0 / M_PI - turn;
            a = std::fmod(a + 720.0, 360.0);
            sx = a / 360.0 * w - 0.5;
            sy = std::hypot(dx, dy) / rmax * h - 0.5;
            return true;
        });
    }
    return remap(image, OutsideRule::Clamp, meter, [&](int x, int y, double& sx, double& sy) {
        const double a = (dir * ((x + 0.5) / w * 360.0 + turn)) * M_PI / 180.0;
        const double r = (y + 0.5) / h * rmax;
        sx = cx + r * std::cos(a);
        sy = cy - r * std::sin(a);
        return true;
    });
}

}  // namespace isp
