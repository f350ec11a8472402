#include "filters.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "boxblur.h"
#include "random.h"
#include "sampler.h"

namespace isp {

namespace {

// Luminance of every pixel, row by row.
std::vector<int> luminancePlane(const RgbImage& image)
{
    std::vector<int> lum(std::size_t(image.width()) * std::size_t(image.height()));
    std::size_t i = 0;
    for (int y = 0; y < image.height(); ++y) {
        const std::uint8_t* p = image.row(y);
        for (int x = 0; x < image.width(); ++x, p += 3)
            lum[i++] = luminance(p[0], p[1], p[2]);
    }
    return lum;
}

// Median of nine values (exchange network).
int median9(std::array<int, 9> p)
{
    const auto sort2 = [&p](int a, int b) {
        if (p[std::size_t(a)] > p[std::size_t(b)])
            std::swap(p[std::size_t(a)], p[std::size_t(b)]);
    };
    sort2(1, 2); sort2(4, 5); sort2(7, 8); sort2(0, 1); sort2(3, 4); sort2(6, 7);
    sort2(1, 2); sort2(4, 5); sort2(7, 8); sort2(0, 3); sort2(5, 8); sort2(4, 7);
    sort2(3, 6); sort2(1, 4); sort2(2, 5); sort2(4, 7); sort2(4, 2); sort2(6, 4);
    sort2(4, 2);
    return p[4];
}

}  // namespace

bool blur(RgbImage& image, int amount, ProgressMeter& meter)
{
    return amount <= 0 || gaussianBlur(image, amount / 2.0, &meter);
}

bool sharpen(RgbImage& image, int amount, ProgressMeter& meter)
{
    amount = std::clamp(amount, -9, 9);
    if (amount == 0)
        return true;
    RgbImage soft = image;
    boxBlur(soft, 1);
    // positive: unsharp mask of strength amount / 3; negative: blend
    const int num = amount;
    const int den = amount > 0 ? 3 : 9;
    for (int y = 0; y < image.height(); ++y) {
        if (!meter.row(y, image.height()))
            return false;
        std::uint8_t* p = image.row(y);
        const std::uint8_t* s = soft.row(y);
        for (std::size_t j = 0; j < image.stride(); ++j) {
            const int diff = p[j] - s[j];
            const int t = num * diff;
            p[j] = clampByte(p[j] + (t >= 0 ? (t + den / 2) / den : -((-t + den / 2) / den)));
        }
    }
    return true;
}

bool findEdges(RgbImage& image, int amount, ProgressMeter& meter)
{
    const RgbImage src = image;
    for (int y = 0; y < image.height(); ++y) {
        if (!meter.row(y, image.height()))
            return false;
        std::uint8_t* out = image.row(y);
        for (int x = 0; x < image.width(); ++x) {
            const std::uint8_t* n[3][3];
            for (int j = -1; j <= 1; ++j)
                for (int i = -1; i <= 1; ++i)
                    n[j + 1][i + 1] = src.clampedPixel(x + i, y + j);
            for (int k = 0; k < 3; ++k) {
                const int gx = (n[0][2][k] + 2 * n[1][2][k] + n[2][2][k]) - (n[0][0][k] + 2 * n[1][0][k] + n[2][0][k]);
                const int gy = (n[2][0][k] + 2 * n[2][1][k] + n[2][2][k]) - (n[0][0][k] + 2 * n[0][1][k] + n[0][2][k]);
                out[3 * x + k] = clampByte(std::sqrt(double(gx * gx + gy * gy)) * amount / 8.0);
            }
        }
    }
    return true;
}

bool engrave(RgbImage& image, int amount, ProgressMeter& meter)
{
    const int w = image.width();
    const int h = image.height();
    const std::vector<int> lum = luminancePlane(image);
    const auto at = [&](int x, int y) {
        return lum[std::size_t(std::clamp(y, 0, h - 1)) * w + std::clamp(x, 0, w - 1)];
    };
    for (int y = 0; y < h; ++y) {
        if (!meter.row(y, h))
            return false;
        std::uint8_t* p = image.row(y);
        for (int x = 0; x < w; ++x, p += 3)
            p[0] = p[1] = p[2] = clampByte(128 + amount * (at(x + 1, y + 1) - at(x - 1, y - 1)));
    }
    return true;
}

bool bleed(RgbImage& image, int amount, ProgressMeter& meter)
{
    amount = std::clamp(amount, -255, 255);
    if (amount == 0)
        return true;
    RgbImage glow = image;
    meter.phase(0, 50);
    if (!gaussianBlur(glow, 4.0, &meter))
        return false;
    meter.phase(50, 100);
    const int strength = std::abs(amount);
    for (int y = 0; y < image.height(); ++y) {
        if (!meter.row(y, image.height()))
            return false;
        std::uint8_t* p = image.row(y);
        const std::uint8_t* g = glow.row(y);
        for (std::size_t j = 0; j < image.stride(); ++j) {
            const int v = p[j];
            const int mixed = amount > 0 ? 255 - (255 - v) * (255 - g[j]) / 255 : v * g[j] / 255;
            p[j] = clampByte(v + (mixed - v) * strength / 255);
        }
    }
    return true;
}

bool despeckle(RgbImage& image, int amount, ProgressMeter& meter)
{
    const int limit = (100 - std::clamp(amount, 0, 100)) * 255 / 100;
    if (limit >= 255)
        return true;
    const RgbImage src = image;
    for (int y = 0; y < image.height(); ++y) {
        if (!meter.row(y, image.height()))
            return false;
        std::uint8_t* out = image.row(y);
        for (int x = 0; x < image.width(); ++x) {
            for (int k = 0; k < 3; ++k) {
                std::array<int, 9> n{};
                int i = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        n[std::size_t(i++)] = src.clampedPixel(x + dx, y + dy)[k];
                const int med = median9(n);
                if (std::abs(out[3 * x + k] - med) > limit)
                    out[3 * x + k] = static_cast<std::uint8_t>(med);
            }
        }
    }
    return true;
}

namespace {

constexpr int kOilLevels = 20;

// Per level: pixel count and blue, green, red sums.
struct LevelSums {
    std::array<std::int32_t, kOilLevels * 4> v{};
    void add(const LevelSums& o, int sign)
    {
        for (std::size_t i = 0; i < v.size(); ++i)
            v[i] += sign * o.v[i];
    }
};

int oilLevel(const std::uint8_t* p)
{
    return luminance(p[0], p[1], p[2]) * kOilLevels / 256;
}

void addPixel(LevelSums& s, const std::uint8_t* p, int sign)
{
    const std::size_t l = std::size_t(oilLevel(p)) * 4;
    s.v[l] += sign;
    s.v[l + 1] += sign * p[0];
    s.v[l + 2] += sign * p[1];
    s.v[l + 3] += sign * p[2];
}

void paintMostFrequent(const LevelSums& s, std::uint8_t* out)
{
    std::size_t best = 0;
    for (std::size_t l = 1; l < kOilLevels; ++l)
        if (s.v[l * 4] > s.v[best * 4])
            best = l;
    const std::int32_t n = std::max(1, s.v[best * 4]);
    for (int k = 0; k < 3; ++k)
        out[k] = static_cast<std::uint8_t>((s.v[best * 4 + 1 + std::size_t(k)] + n / 2) / n);
}

}  // namespace

bool oilPaint(RgbImage& image, int radius, ProgressMeter& meter)
{
    const int w = image.width();
    const int h = image.height();
    radius = std::clamp(radius, 0, std::max(w, h));
    if (radius == 0)
        return true;
    const RgbImage src = image;
    // sums of each column over the rows y - radius .. y + radius
    std::vector<LevelSums> columns(static_cast<std::size_t>(w));
    const auto addRow = [&](int row, int sign) {
        if (row < 0 || row >= h)
            return;
        const std::uint8_t* p = src.row(row);
        for (int x = 0; x < w; ++x, p += 3)
            addPixel(columns[std::size_t(x)], p, sign);
    };
    for (int row = 0; row < radius; ++row)
        addRow(row, 1);
    for (int y = 0; y < h; ++y) {
        if (!meter.row(y, h))
            return false;
        addRow(y + radius, 1);
        addRow(y - radius - 1, -1);
        LevelSums window;
        for (int x = 0; x <= std::min(radius, w - 1); ++x)
            window.add(columns[std::size_t(x)], 1);
        std::uint8_t* out = image.row(y);
        for (int x = 0; x < w; ++x) {
            paintMostFrequent(window, out + 3 * x);
            if (x + radius + 1 < w)
                window.add(columns[std::size_t(x + radius + 1)], 1);
            if (x - radius >= 0)
                window.add(columns[std::size_t(x - radius)], -1);
        }
    }
    return true;
}

namespace {

// Order in which a halftone cell fills with ink: 0 first, 1 last.
double spotOrder(int shape, double u, double v)
{
    const double au = std::abs(u), av = std::abs(v);
    switch (shape) {
    case 0:  // circle
        return std::min(1.0, (u * u + v * v) * M_PI);
    case 1:  // ellipse
        return std::min(1.0, (u * u + 2.25 * v * v) * M_PI / 1.5);
    case 2:  // square
        return std::pow(2.0 * std::max(au, av), 2.0);
    case 3:  // diamond
        return std::min(1.0, 2.0 * (au + av) * (au + av));
    case 4:  // line
        return 2.0 * av;
    default:  // cross
        return 1.0 - (1.0 - 2.0 * au) * (1.0 - 2.0 * av);
    }
}

}  // namespace

bool halftone(RgbImage& image, int cellSize, double angle, int shape, ProgressMeter& meter)
{
    const double cell = std::clamp(cellSize, 1, 10000);
    const double rad = (std::isfinite(angle) ? angle : 0.0) * M_PI / 180.0;
    const double c = std::cos(rad) / cell;
    const double s = std::sin(rad) / cell;
    for (int y = 0; y < image.height(); ++y) {
        if (!meter.row(y, image.height()))
            return false;
        std::uint8_t* p = image.row(y);
        for (int x = 0; x < image.width(); ++x, p += 3) {
            const double u0 = (x + 0.5) * c + (y + 0.5) * s;
            const double v0 = -(x + 0.5) * s + (y + 0.5) * c;
            const double order = spotOrder(shape, u0 - std::floor(u0) - 0.5, v0 - std::floor(v0) - 0.5);
            for (int k = 0; k < 3; ++k) {
                const double ink = 1.0 - p[k] / 255.0;
                p[k] = order < ink ? 0 : 255;
            }
        }
    }
    return true;
}

bool addNoise(RgbImage& image, bool gaussian, bool grey, int red, int green, int blue, ProgressMeter& meter)
{
    Random random(0x4E6F697365ULL);
    const int amounts[3] = {std::max(0, blue), std::max(0, green), std::max(0, red)};
    const auto draw = [&]() { return gaussian ? random.gaussian() * 0.5 : random.symmetric(); };
    for (int y = 0; y < image.height(); ++y) {
        if (!meter.row(y, image.height()))
            return false;
        std::uint8_t* p = image.row(y);
        for (int x = 0; x < image.width(); ++x, p += 3) {
            const double shared = grey ? draw() : 0.0;
            for (int k = 0; k < 3; ++k) {
                const double n = grey ? shared : draw();
                p[k] = clampByte(p[k] + n * amounts[k]);
            }
        }
    }
    return true;
}

namespace {

// Averages count samples of src along the positions given by `at`.
template <typename At>
void averageAlong(const Sampler& sampler, int count, At at, std::uint8_t* out)
{
    int acc[3] = {0, 0, 0};
    std::uint8_t s[3];
    for (int i = 0; i < count; ++i) {
        double sx, sy;
        at(count > 1 ? double(i) / (count - 1) : 0.0, sx, sy);
        sampler.sample(sx, sy, s);
        for (int k = 0; k < 3; ++k)
            acc[k] += s[k];
    }
    for (int k = 0; k < 3; ++k)
        out[k] = static_cast<std::uint8_t>((acc[k] + count / 2) / count);
}

int samplesFor(double pathLength)
{
    return std::clamp(static_cast<int>(std::ceil(pathLength)) + 1, 1, 48);
}

}  // namespace

bool motionBlur(RgbImage& image, int amount, int angle, int kind, ProgressMeter& meter)
{
    amount = std::clamp(amount, 0, 10000);
    if (amount == 0)
        return true;
    const RgbImage src = image;
    const Sampler sampler(src, OutsideRule::Clamp);
    const double cx = (image.width() - 1) / 2.0;
    const double cy = (image.height() - 1) / 2.0;
    const double rad = angle * M_PI / 180.0;
    const double dirX = std::cos(rad), dirY = -std::sin(rad);
    const double zoom = amount / 1000.0;
    const double span = angle * std::min(amount, 100) / 100.0 * M_PI / 180.0;
    for (int y = 0; y < image.height(); ++y) {
        if (!meter.row(y, image.height()))
            return false;
        std::uint8_t* out = image.row(y);
        for (int x = 0; x < image.width(); ++x) {
            const double dx = x - cx, dy = y - cy;
            if (kind == 1) {  // zoom: towards the centre
                const double len = std::hypot(dx, dy) * zoom;
                averageAlong(sampler, samplesFor(len), [&](double t, double& sx, double& sy) {
                    sx = x - dx * zoom * t;
                    sy = y - dy * zoom * t;
                }, out + 3 * x);
            } else if (kind == 2) {  // rotate: along the arc about the centre
                const double len = std::hypot(dx, dy) * std::abs(span);
                averageAlong(sampler, samplesFor(len), [&](double t, double& sx, double& sy) {
                    const double a = span * (t - 0.5);
                    sx = cx + dx * std::cos(a) - dy * std::sin(a);
                    sy = cy + dx * std::sin(a) + dy * std::cos(a);
                }, out + 3 * x);
            } else {  // line
                averageAlong(sampler, samplesFor(amount), [&](double t, double& sx, double& sy) {
                    sx = x + dirX * amount * (t - 0.5);
                    sy = y + dirY * amount * (t - 0.5);
                }, out + 3 * x);
            }
        }
    }
    return true;
}

bool spray(RgbImage& image, int amount, int seed, ProgressMeter& meter)
{
    amount = std::clamp(amount, 0, 10000);
    if (amount == 0)
        return true;
    const RgbImage src = image;
    Random random(static_cast<std::uint64_t>(static_cast<std::int64_t>(seed)));
    for (int y = 0; y < image.height(); ++y) {
        if (!meter.row(y, image.height()))
            return false;
        std::uint8_t* out = image.row(y);
        for (int x = 0; x < image.width(); ++x) {
            const std::uint8_t* s = src.clampedPixel(x + random.within(amount), y + random.within(amount));
            out[3 * x] = s[0];
            out[3 * x + 1] = s[1];
            out[3 * x + 2] = s[2];
        }
    }
    return true;
}

bool fadeBorder(RgbImage& image, int border, int red, int green, int blue, ProgressMeter& meter)
{
    if (border <= 0)
        return true;
    const int colour[3] = {std::clamp(blue, 0, 255), std::clamp(green, 0, 255), std::clamp(red, 0, 255)};
    const int w = image.width(), h = image.height();
    for (int y = 0; y < h; ++y) {
        if (!meter.row(y, h))
            return false;
        std::uint8_t* p = image.row(y);
        for (int x = 0; x < w; ++x, p += 3) {
            const int d = std::min({x, y, w - 1 - x, h - 1 - y});
            if (d >= border)
                continue;
            const int t = border - d;  // of border
            for (int k = 0; k < 3; ++k)
                p[k] = static_cast<std::uint8_t>(p[k] + (colour[k] - p[k]) * t / border);
        }
    }
    return true;
}

}  // namespace isp
