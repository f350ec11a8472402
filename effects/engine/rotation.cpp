#include "rotation.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "dibcore/dibcore.h"
#include "dibcore/dibguard.h"
#include "freshblock.h"
#include "lockeddib.h"
#include "regionframe.h"

namespace isp {

namespace {

// The rows of a DIB, top first, for fast indexed access.
std::vector<std::uint8_t*> rowTable(const dibcore::DibView& v)
{
    std::vector<std::uint8_t*> rows(std::size_t(v.height()));
    for (int y = 0; y < v.height(); ++y)
        rows[std::size_t(y)] = v.mutableRow(y);
    return rows;
}

// Where the turned picture comes from: output (X, Y) reads source
// (x0 + X * cos - ... ) in 16.16 fixed point.
struct Mapping {
    double cosA;
    double sinA;
    double srcCx;  // centre of the source area, source pixels
    double srcCy;
    double dstCx;  // centre of the output area, output pixels
    double dstCy;
};

// Exact cosine and sine for multiples of 90 degrees.
void angleTerms(double angle, double& c, double& s)
{
    const double quarter = angle / 90.0;
    if (std::abs(quarter - std::round(quarter)) < 1e-9) {
        const int k = ((static_cast<int>(std::llround(quarter)) % 4) + 4) % 4;
        static const double cs[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
        c = cs[k][0];
        s = cs[k][1];
        return;
    }
    const double rad = angle * M_PI / 180.0;
    c = std::cos(rad);
    s = std::sin(rad);
}

// Bilinear sample with taps outside [0,w) x [0,h) taking the fill colour.
template <int C>
void edgeSample(const std::vector<std::uint8_t*>& rows, int srcX, int srcY, int w, int h, std::int64_t fx,
                std::int64_t fy, const std::uint8_t* fill, std::uint8_t* out)
{
    const int x0 = static_cast<int>(fx >> 16);
    const int y0 = static_cast<int>(fy >> 16);
    const int ax = static_cast<int>((fx >> 8) & 0xFF);
    const int ay = static_cast<int>((fy >> 8) & 0xFF);
    const int wx[2] = {256 - ax, ax};
    const int wy[2] = {256 - ay, ay};
    int acc[C] = {};
    for (int j = 0; j < 2; ++j) {
        for (int i = 0; i < 2; ++i) {
            const int x = x0 + i;
            const int y = y0 + j;
            const bool inside = x >= 0 && y >= 0 && x < w && y < h;
            const std::uint8_t* p = inside ? rows[std::size_t(srcY + y)] + std::size_t(srcX + x) * C : fill;
            const int weight = wx[i] * wy[j];
            for (int k = 0; k < C; ++k)
                acc[k] += weight * p[k];
        }
    }
    for (int k = 0; k < C; ++k)
        out[k] = static_cast<std::uint8_t>((acc[k] + 32768) >> 16);
}

// Turns the source area (srcX, srcY, w, h) of `from` into the output area
// (dstX, dstY, dw, dh) of `to`.
template <int C>
void turnArea(const std::vector<std::uint8_t*>& from, int srcX, int srcY, int w, int h,
              const std::vector<std::uint8_t*>& to, int dstX, int dstY, int dw, int dh, const Mapping& m,
              const std::uint8_t* fill)
{
    const std::int64_t one = 1 << 16;
    const auto fixed = [](double v) { return static_cast<std::int64_t>(std::llround(v * 65536.0)); };
    const std::int64_t stepX = fixed(m.cosA);
    const std::int64_t stepY = fixed(m.sinA);
    const std::int64_t maxX = std::int64_t(w - 1) * one;
    const std::int64_t maxY = std::int64_t(h - 1) * one;
    for (int Y = 0; Y < dh; ++Y) {
        const double v = Y - m.dstCy;
        const double u = -m.dstCx;
        std::int64_t fx = fixed(u * m.cosA - v * m.sinA + m.srcCx);
        std::int64_t fy = fixed(u * m.sinA + v * m.cosA + m.srcCy);
        std::uint8_t* out = to[std::size_t(dstY + Y)] + std::size_t(dstX) * C;
        for (int X = 0; X < dw; ++X, fx += stepX, fy += stepY, out += C) {
            if (fx >= 0 && fy >= 0 && fx < maxX && fy < maxY) {
                const int x0 = static_cast<int>(fx >> 16);
                const int y0 = static_cast<int>(fy >> 16);
                const int ax = static_cast<int>((fx >> 8) & 0xFF);
                const int ay = static_cast<int>((fy >> 8) & 0xFF);
                const std::uint8_t* a = from[std::size_t(srcY + y0)] + std::size_t(srcX + x0) * C;
                const std::uint8_t* c = from[std::size_t(srcY + y0 + 1)] + std::size_t(srcX + x0) * C;
                for (int k = 0; k < C; ++k) {
                    const int top = (a[k] << 8) + (a[k + C] - a[k]) * ax;
                    const int bottom = (c[k] << 8) + (c[k + C] - c[k]) * ax;
                    out[k] = static_cast<std::uint8_t>(((top << 8) + (bottom - top) * ay + 32768) >> 16);
                }
            } else if (fx <= -one || fy <= -one || fx >= maxX + one || fy >= maxY + one) {
                std::memcpy(out, fill, C);
            } else {
                edgeSample<C>(from, srcX, srcY, w, h, fx, fy, fill, out);
            }
        }
    }
}

// Exact turn of the whole picture by k quarter turns.
template <int C>
void quarterTurn(const std::vector<std::uint8_t*>& from, int w, int h, const std::vector<std::uint8_t*>& to, int k)
{
    const int dw = (k % 2) ? h : w;
    const int dh = (k % 2) ? w : h;
    for (int Y = 0; Y < dh; ++Y) {
        std::uint8_t* out = to[std::size_t(Y)];
        for (int X = 0; X < dw; ++X, out += C) {
            int x = X;
            int y = Y;
            if (k == 1) {
                x = w - 1 - Y;
                y = X;
            } else if (k == 2) {
                x = w - 1 - X;
                y = h - 1 - Y;
            } else if (k == 3) {
                x = Y;
                y = h - 1 - X;
            }
            std::memcpy(out, from[std::size_t(y)] + std::size_t(x) * C, C);
        }
    }
}

template <int C>
void turn(const std::vector<std::uint8_t*>& from, int srcX, int srcY, int w, int h,
          const std::vector<std::uint8_t*>& to, int dstX, int dstY, int dw, int dh, const Mapping& m,
          const std::uint8_t* fill, bool whole)
{
    const bool square = (m.cosA == 0.0 || m.sinA == 0.0);
    if (whole && square) {
        const int k = m.cosA == 1.0 ? 0 : (m.sinA == 1.0 ? 1 : (m.cosA == -1.0 ? 2 : 3));
        quarterTurn<C>(from, w, h, to, k);
        return;
    }
    turnArea<C>(from, srcX, srcY, w, h, to, dstX, dstY, dw, dh, m, fill);
}

int turnedExtent(double a, double b)
{
    return std::max(1, static_cast<int>(std::ceil(std::abs(a) + std::abs(b) - 1e-6)));
}

}  // namespace

GlobalHandle rotateDib(GlobalHandle dib, double angle, const IspRect* rect, std::uint32_t fill)
{
    if (!std::isfinite(angle))
        return nullptr;
    LockedDib in(dib);
    if (!in.trueColour())
        return nullptr;
    const int w = in.width();
    const int h = in.height();
    const int bpp = in.bytesPerPixel();
    const std::uint8_t fillBytes[4] = {static_cast<std::uint8_t>(fill >> 16), static_cast<std::uint8_t>(fill >> 8),
                                       static_cast<std::uint8_t>(fill), 0};
    const PixelRect r = clipRect(rect, w, h);
    const bool whole = r.left == 0 && r.top == 0 && r.right == w && r.bottom == h;
    Mapping m{};
    angleTerms(angle, m.cosA, m.sinA);

    dibcore::DibGuard out;
    int dw = r.width();
    int dh = r.height();
    if (whole) {
        dw = turnedExtent(w * m.cosA, h * m.sinA);
        dh = turnedExtent(w * m.sinA, h * m.cosA);
        out.reset(dibcore::allocDib(dw, dh, in.view().bitCount()));
        adviseHugePages(out.get());
    } else {
        out.reset(copyForWriting(dib));
    }
    if (!out.get())
        return nullptr;
    LockedDib target(out.get());
    if (!target.valid())
        return nullptr;
    if (r.empty())
        return out.release();
    m.srcCx = (r.width() - 1) / 2.0;
    m.srcCy = (r.height() - 1) / 2.0;
    m.dstCx = (dw - 1) / 2.0;
    m.dstCy = (dh - 1) / 2.0;
    const std::vector<std::uint8_t*> from = rowTable(in.view());
    const std::vector<std::uint8_t*> to = rowTable(target.view());
    const int dstX = whole ? 0 : r.left;
    const int dstY = whole ? 0 : r.top;
    if (bpp == 4)
        turn<4>(from, r.left, r.top, r.width(), r.height(), to, dstX, dstY, dw, dh, m, fillBytes, whole);
    else
        turn<3>(from, r.left, r.top, r.width(), r.height(), to, dstX, dstY, dw, dh, m, fillBytes, whole);
    return out.release();
}

namespace {

// Reverses the pixel order of one row of a palette picture.
void mirrorIndexRow(std::uint8_t* row, int width, int bits)
{
    for (int x = 0; x < width / 2; ++x) {
        const unsigned a = dibcore::DibView::indexAt(row, x, bits);
        const unsigned b = dibcore::DibView::indexAt(row, width - 1 - x, bits);
        dibcore::setIndex(row, x, bits, b);
        dibcore::setIndex(row, width - 1 - x, bits, a);
    }
}

void mirrorByteRow(std::uint8_t* row, int width, int bytes)
{
    for (int x = 0; x < width / 2; ++x)
        std::swap_ranges(row + std::size_t(x) * bytes, row + std::size_t(x + 1) * bytes,
                         row + std::size_t(width - 1 - x) * bytes);
}

}  // namespace

bool mirrorDib(GlobalHandle dib, bool vertical, bool horizontal)
{
    LockedDib in(dib);
    const dibcore::DibView& v = in.view();
    if (!v.valid() || v.isRle())
        return false;
    const int bits = v.bitCount();
    const std::size_t rowBytes = v.rowStride();
    if (vertical) {
        std::vector<std::uint8_t> spare(rowBytes);
        for (int y = 0; y < v.height() / 2; ++y) {
            std::uint8_t* a = v.mutableRow(y);
            std::uint8_t* b = v.mutableRow(v.height() - 1 - y);
            std::memcpy(spare.data(), a, rowBytes);
            std::memcpy(a, b, rowBytes);
            std::memcpy(b, spare.data(), rowBytes);
        }
    }
    if (horizontal) {
        for (int y = 0; y < v.height(); ++y) {
            if (bits < 8)
                mirrorIndexRow(v.mutableRow(y), v.width(), bits);
            else
                mirrorByteRow(v.mutableRow(y), v.width(), bits / 8);
        }
    }
    return true;
}

}  // namespace isp
