#include "mosaic.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "random.h"

namespace isp {

namespace {

// Where a pixel lies in the tiling: its tile, how far the tile's edge is
// and which way that edge faces.
struct TileHit {
    int tile = 0;
    double edgeDistance = 0.0;
    double normalX = 0.0;  // outward, towards the nearest edge
    double normalY = 0.0;
};

class Tiling
{
public:
    Tiling(int width, int height, const MosaicStyle& style)
        : m_size(std::max(2, style.tileSize))
        , m_cols((width + m_size - 1) / m_size)
        , m_rows((height + m_size - 1) / m_size)
        , m_squares(style.squares)
    {
        Random random(0x4D6F73616963ULL);
        const double jitter = std::clamp(style.randomness, 0, 5) / 5.0 * 0.45 * m_size;
        m_seeds.resize(std::size_t(m_cols) * std::size_t(m_rows) * 2);
        for (int j = 0; j < m_rows; ++j)
            for (int i = 0; i < m_cols; ++i) {
                const std::size_t k = (std::size_t(j) * m_cols + i) * 2;
                m_seeds[k] = (i + 0.5) * m_size + (m_squares ? 0.0 : random.symmetric() * jitter);
                m_seeds[k + 1] = (j + 0.5) * m_size + (m_squares ? 0.0 : random.symmetric() * jitter);
            }
    }

    int tileCount() const { return m_cols * m_rows; }
    double seedX(int t) const { return m_seeds[std::size_t(t) * 2]; }
    double seedY(int t) const { return m_seeds[std::size_t(t) * 2 + 1]; }

    TileHit hit(double x, double y) const
    {
        const int ci = std::clamp(static_cast<int>(x / m_size), 0, m_cols - 1);
        const int cj = std::clamp(static_cast<int>(y / m_size), 0, m_rows - 1);
        return m_squares ? squareHit(x, y, ci, cj) : cellHit(x, y, ci, cj);
    }

private:
    TileHit squareHit(double x, double y, int ci, int cj) const
    {
        TileHit h;
        h.tile = cj * m_cols + ci;
        const double left = x - ci * m_size, right = (ci + 1) * m_size - x;
        const double top = y - cj * m_size, bottom = (cj + 1) * m_size - y;
        h.edgeDistance = std::min({left, right, top, bottom});
        if (h.edgeDistance == left)
            h.normalX = -1;
        else if (h.edgeDistance == right)
            h.normalX = 1;
        else if (h.edgeDistance == top)
            h.normalY = -1;
        else
            h.normalY = 1;
        return h;
    }

    // Nearest seed among the neighbouring cells; the edge is the bisector
    // with the second nearest.
    TileHit cellHit(double x, double y, int ci, int cj) const
    {
        int best = -1, second = -1;
        double d1 = 1e300, d2 = 1e300;
        for (int j = std::max(0, cj - 2); j <= std::min(m_rows - 1, cj + 2); ++j)
            for (int i = std::max(0, ci - 2); i <= std::min(m_cols - 1, ci + 2); ++i) {
                const int t = j * m_cols + i;
                const double d = (seedX(t) - x) * (seedX(t) - x) + (seedY(t) - y) * (seedY(t) - y);
                if (d < d1) {
                    d2 = d1, second = best;
                    d1 = d, best = t;
                } else if (d < d2) {
                    d2 = d, second = t;
                }
            }
        TileHit h;
        h.tile = best;
        if (second < 0) {
            h.edgeDistance = 1e9;
            return h;
        }
        const double nx = seedX(second) - seedX(best), ny = seedY(second) - seedY(best);
        const double len = std::max(1e-9, std::hypot(nx, ny));
        h.edgeDistance = (d2 - d1) / (2.0 * len);
        h.normalX = nx / len;
        h.normalY = ny / len;
        return h;
    }

    int m_size;
    int m_cols;
    int m_rows;
    bool m_squares;
    std::vector<double> m_seeds;
};

}  // namespace

bool mosaic(RgbImage& image, const MosaicStyle& style, ProgressMeter& meter)
{
    const int w = image.width(), h = image.height();
    const Tiling tiling(w, h, style);
    std::vector<TileHit> hits(std::size_t(w) * std::size_t(h));
    std::vector<std::int64_t> sums(std::size_t(tiling.tileCount()) * 4, 0);
    meter.phase(0, 50);
    for (int y = 0; y < h; ++y) {
        if (!meter.row(y, h))
            return false;
        const std::uint8_t* p = image.row(y);
        for (int x = 0; x < w; ++x, p += 3) {
            TileHit& hit = hits[std::size_t(y) * w + x];
            hit = tiling.hit(x + 0.5, y + 0.5);
            std::int64_t* s = &sums[std::size_t(hit.tile) * 4];
            s[0] += p[0], s[1] += p[1], s[2] += p[2], s[3] += 1;
        }
    }
    const RgbImage src = image;
    std::vector<std::uint8_t> colours(std::size_t(tiling.tileCount()) * 3);
    for (int t = 0; t < tiling.tileCount(); ++t) {
        const std::int64_t* s = &sums[std::size_t(t) * 4];
        std::uint8_t* c = &colours[std::size_t(t) * 3];
        if (style.smoothing && s[3] > 0) {
            for (int k = 0; k < 3; ++k)
                c[k] = static_cast<std::uint8_t>((s[k] + s[3] / 2) / s[3]);
        } else {
            const std::uint8_t* seed = src.clampedPixel(static_cast<int>(tiling.seedX(t)), static_cast<int>(tiling.seedY(t)));
            std::copy(seed, seed + 3, c);
        }
    }
    const double grout = std::max(0, style.spacing) / 2.0;
    const double bevel = std::max(0, style.tileHeight) / 10.0;
    const double la = style.lightAngle * M_PI / 180.0;
    const double lightX = std::cos(la), lightY = -std::sin(la);
    static const std::uint8_t black[3] = {0, 0, 0};
    meter.phase(50, 100);
    for (int y = 0; y < h; ++y) {
        if (!meter.row(y, h))
            return false;
        std::uint8_t* p = image.row(y);
        for (int x = 0; x < w; ++x, p += 3) {
            const TileHit& hit = hits[std::size_t(y) * w + x];
            std::copy_n(&colours[std::size_t(hit.tile) * 3], 3, p);
            const double inside = hit.edgeDistance - grout;
            if (bevel > 0.0 && inside < bevel) {
                const double facing = hit.normalX * lightX + hit.normalY * lightY;
                const double strength = 0.6 * std::abs(facing) * (1.0 - std::max(0.0, inside) / bevel);
                blendTowards(p, facing > 0 ? style.fore : black, strength);
            }
            const double cover = style.antiAlias ? std::clamp(inside + 0.5, 0.0, 1.0) : (inside >= 0 ? 1.0 : 0.0);
            if (cover < 1.0)
                blendTowards(p, style.back, 1.0 - cover);
        }
    }
    return true;
}

bool extrude(RgbImage& image, bool levels, int depth, ProgressMeter& meter)
{
    const int w = image.width(), h = image.height();
    const int block = std::clamp(depth, 1, 1000) * 4;
    const int cols = (w + block - 1) / block, rows = (h + block - 1) / block;
    static const std::uint8_t white[3] = {255, 255, 255};
    static const std::uint8_t black[3] = {0, 0, 0};
    for (int bj = 0; bj < rows; ++bj) {
        if (!meter.step(bj, rows))
            return false;
        for (int bi = 0; bi < cols; ++bi) {
            const int x0 = bi * block, y0 = bj * block;
            const int x1 = std::min(w, x0 + block), y1 = std::min(h, y0 + block);
            std::int64_t s[3] = {0, 0, 0};
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x)
                    for (int k = 0; k < 3; ++k)
                        s[k] += image.pixel(x, y)[k];
            const std::int64_t n = std::int64_t(x1 - x0) * (y1 - y0);
            std::uint8_t face[3];
            for (int k = 0; k < 3; ++k)
                face[k] = static_cast<std::uint8_t>((s[k] + n / 2) / n);
            const int bright = luminance(face[0], face[1], face[2]);
            const int side = levels ? std::max(1, block * bright / 510) : std::max(1, block / 4);
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x) {
                    std::uint8_t* p = image.pixel(x, y);
                    std::copy(face, face + 3, p);
                    const int dl = x - x0, dt = y - y0, dr = x1 - 1 - x, db = y1 - 1 - y;
                    const int nearest = std::min({dl, dt, dr, db});
                    if (nearest >= side)
                        continue;
                    const bool lit = nearest == dl || nearest == dt;
                    blendTowards(p, lit ? white : black, 0.45);
                }
        }
    }
    return true;
}

}  // namespace isp
