#include "boxblur.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace isp {

namespace {

// Radii of three boxes whose sequence approximates a Gaussian of sigma.
std::vector<int> boxRadii(double sigma)
{
    constexpr int n = 3;
    const double ideal = std::sqrt(12.0 * sigma * sigma / n + 1.0);
    int lower = static_cast<int>(std::floor(ideal));
    if (lower % 2 == 0)
        --lower;
    const int upper = lower + 2;
    const double m = (12.0 * sigma * sigma - n * lower * lower - 4.0 * n * lower - 3.0 * n) / (-4.0 * lower - 4.0);
    const int wide = static_cast<int>(std::lround(m));
    std::vector<int> radii;
    for (int i = 0; i < n; ++i)
        radii.push_back(((i < wide ? lower : upper) - 1) / 2);
    return radii;
}

// 2^24 / (2r + 1), rounded: sum * inv >> 24 divides by the box width.
std::uint32_t reciprocal(int radius)
{
    return static_cast<std::uint32_t>(((1u << 24) + radius) / (2u * radius + 1));
}

// Box passes along one row, in place; pad holds w + 2r + 1 pixels.
void blurRow(std::uint8_t* row, int w, const std::vector<int>& radii, std::vector<std::uint8_t>& pad)
{
    for (int r : radii) {
        if (r <= 0)
            continue;
        const std::uint32_t inv = reciprocal(r);
        std::uint8_t* p = pad.data();
        for (int i = 0; i < r; ++i)
            std::memcpy(p + 3 * i, row, 3);
        std::memcpy(p + 3 * std::size_t(r), row, std::size_t(w) * 3);
        for (int i = 0; i <= r; ++i)
            std::memcpy(p + 3 * (std::size_t(r) + w + i), row + 3 * (std::size_t(w) - 1), 3);
        std::uint32_t sum[3] = {0, 0, 0};
        for (int i = 0; i < 2 * r + 1; ++i)
            for (int k = 0; k < 3; ++k)
                sum[k] += p[3 * i + k];
        for (int x = 0; x < w; ++x) {
            for (int k = 0; k < 3; ++k) {
                row[3 * x + k] = static_cast<std::uint8_t>((sum[k] * inv + (1u << 23)) >> 24);
                sum[k] += p[3 * (x + 2 * r + 1) + k];
                sum[k] -= p[3 * x + k];
            }
        }
    }
}

// One vertical box pass over a strip of n bytes per row and h rows, held
// contiguously: from src into dst.
void blurStrip(const std::uint8_t* src, std::uint8_t* dst, int h, std::size_t n, int r, std::uint32_t* sum)
{
    const std::uint32_t inv = reciprocal(r);
    std::fill(sum, sum + n, 0u);
    for (int i = -r; i <= r; ++i) {
        const std::uint8_t* in = src + std::size_t(std::clamp(i, 0, h - 1)) * n;
        for (std::size_t j = 0; j < n; ++j)
            sum[j] += in[j];
    }
    for (int y = 0; y < h; ++y) {
        std::uint8_t* out = dst + std::size_t(y) * n;
        for (std::size_t j = 0; j < n; ++j)
            out[j] = static_cast<std::uint8_t>((sum[j] * inv + (1u << 23)) >> 24);
        const std::uint8_t* add = src + std::size_t(std::min(y + r + 1, h - 1)) * n;
        const std::uint8_t* sub = src + std::size_t(std::max(y - r, 0)) * n;
        for (std::size_t j = 0; j < n; ++j)
            sum[j] += std::uint32_t(add[j]) - std::uint32_t(sub[j]);
    }
}

bool blurRows(RgbImage& image, const std::vector<int>& radii, ProgressMeter* meter)
{
    const int maxR = *std::max_element(radii.begin(), radii.end());
    std::vector<std::uint8_t> pad((std::size_t(image.width()) + 2 * std::size_t(maxR) + 2) * 3);
    for (int y = 0; y < image.height(); ++y) {
        if (meter && (y & 63) == 0 && !meter->step(y, 2 * std::int64_t(image.height())))
            return false;
        blurRow(image.row(y), image.width(), radii, pad);
    }
    return true;
}

// The vertical passes, a strip of columns at a time so that every pass
// works in the cache.
bool blurAllColumns(RgbImage& image, const std::vector<int>& radii, ProgressMeter* meter)
{
    constexpr std::size_t kStrip = 96 * 3;
    const int h = image.height();
    const std::size_t stride = image.stride();
    std::vector<std::uint8_t> a(std::size_t(h) * kStrip), b(a.size());
    std::vector<std::uint32_t> sums(kStrip);
    for (std::size_t j0 = 0; j0 < stride; j0 += kStrip) {
        if (meter && !meter->step(std::int64_t(stride + j0), 2 * std::int64_t(stride)))
            return false;
        const std::size_t n = std::min(kStrip, stride - j0);
        for (int y = 0; y < h; ++y)
            std::memcpy(a.data() + std::size_t(y) * n, image.row(y) + j0, n);
        std::uint8_t* from = a.data();
        std::uint8_t* to = b.data();
        for (int r : radii) {
            if (r <= 0)
                continue;
            blurStrip(from, to, h, n, r, sums.data());
            std::swap(from, to);
        }
        for (int y = 0; y < h; ++y)
            std::memcpy(image.row(y) + j0, from + std::size_t(y) * n, n);
    }
    return true;
}

}  // namespace

bool gaussianBlur(RgbImage& image, double sigma, ProgressMeter* meter)
{
    if (image.empty() || !(sigma > 0.0))
        return true;
    std::vector<int> radii = boxRadii(std::min(sigma, 2000.0));
    const int limit = std::max(image.width(), image.height());
    for (int& r : radii)
        r = std::clamp(r, 0, limit);
    return blurRows(image, radii, meter) && blurAllColumns(image, radii, meter);
}

void boxBlur(RgbImage& image, int radius)
{
    if (image.empty() || radius <= 0)
        return;
    const std::vector<int> radii{radius};
    blurRows(image, radii, nullptr);
    blurAllColumns(image, radii, nullptr);
}

}  // namespace isp
