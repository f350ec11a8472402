#include "dxfrenderer.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "dibcore/dibcore.h"
#include "dxffont.h"

namespace dxfrenderer {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kMinCurveSegments = 8;
constexpr int kMaxCurveSegments = 1024;
constexpr double kCurveSegmentPixels = 8;
constexpr double kSmallestTextPixels = 2;
constexpr std::size_t kProgressElements = 4096;

DxfBox extentsOf(const DxfDrawing& d)
{
    DxfBox box = d.entityExtents;
    if (box.valid && d.headerExtents.intersects(box)) {
        box.add(d.headerExtents.minX, d.headerExtents.minY);
        box.add(d.headerExtents.maxX, d.headerExtents.maxY);
    }
    return box;
}

// Drawing units to pixel positions (row 0 at the top).
struct Mapping {
    double minX = 0, minY = 0, scale = 0, offsetX = 0, offsetY = 0, bottom = 0;

    Mapping(const DxfBox& box, int width, int height)
    {
        const int margin = std::min(std::max(1, int(std::lround(0.02 * std::max(width, height)))),
                                    std::min(width, height) / 4);
        const double areaW = std::max(0, width - 2 * margin - 1);
        const double areaH = std::max(0, height - 2 * margin - 1);
        const double ew = box.maxX - box.minX, eh = box.maxY - box.minY;
        double s = -1;
        if (ew > 0)
            s = areaW / ew;
        if (eh > 0)
            s = s < 0 ? areaH / eh : std::min(s, areaH / eh);
        scale = s < 0 ? 0 : s;
        minX = box.minX, minY = box.minY;
        offsetX = margin + (areaW - ew * scale) / 2;
        offsetY = margin + (areaH - eh * scale) / 2;
        bottom = height - 1;
    }
    double px(double x) const { return offsetX + (x - minX) * scale; }
    double py(double y) const { return bottom - (offsetY + (y - minY) * scale); }
};

class Canvas
{
public:
    Canvas(const dibcore::DibView& dib, std::uint64_t budget) : m_w(dib.width()), m_h(dib.height()), m_left(budget)
    {
        m_rows.reserve(std::size_t(m_h));
        for (int y = 0; y < m_h; ++y)
            m_rows.push_back(dib.mutableRow(y));
    }

    bool exhausted() const { return m_exhausted; }

    // False when the text's box lies wholly outside the picture.
    bool mayTouch(const Mapping& m, const DxfText& t, double cs, double sn) const
    {
        const double width = double(t.text.size()) * dxffont::kAdvance * t.height / dxffont::kCapHeight *
                             t.widthFactor;
        const double corners[4][2] = {{0, 0}, {width, 0}, {width, t.height}, {0, t.height}};
        double minX = 0, maxX = 0, minY = 0, maxY = 0;
        for (int i = 0; i < 4; ++i) {
            const double x = m.px(t.x + corners[i][0] * cs - corners[i][1] * sn);
            const double y = m.py(t.y + corners[i][0] * sn + corners[i][1] * cs);
            minX = i == 0 ? x : std::min(minX, x), maxX = i == 0 ? x : std::max(maxX, x);
            minY = i == 0 ? y : std::min(minY, y), maxY = i == 0 ? y : std::max(maxY, y);
        }
        return maxX >= -1 && minX <= m_w && maxY >= -1 && minY <= m_h;
    }

    void fillWhite()
    {
        for (std::uint8_t* row : m_rows)
            std::fill(row, row + 3 * std::size_t(m_w), std::uint8_t(255));
    }

    void plot(int x, int y, std::uint32_t rgb)
    {
        if (x < 0 || y < 0 || x >= m_w || y >= m_h)
            return;
        std::uint8_t* p = m_rows[std::size_t(y)] + 3 * std::size_t(x);
        p[0] = std::uint8_t(rgb), p[1] = std::uint8_t(rgb >> 8), p[2] = std::uint8_t(rgb >> 16);
    }

    // A line between pixel positions, clipped to the picture.
    void line(double x0, double y0, double x1, double y1, std::uint32_t rgb)
    {
        if (!spend(kStepsPerLine) || !clip(x0, y0, x1, y1))
            return;
        int ax = int(std::floor(x0 + 0.5)), ay = int(std::floor(y0 + 0.5));
        const int bx = int(std::floor(x1 + 0.5)), by = int(std::floor(y1 + 0.5));
        const int dx = std::abs(bx - ax), dy = -std::abs(by - ay);
        const int sx = ax < bx ? 1 : -1, sy = ay < by ? 1 : -1;
        if (!spend(std::uint64_t(std::max(dx, -dy))))
            return;
        int err = dx + dy;
        for (;;) {
            plot(ax, ay, rgb);
            if (ax == bx && ay == by)
                break;
            const int e2 = 2 * err;
            if (e2 >= dy)
                err += dy, ax += sx;
            if (e2 <= dx)
                err += dx, ay += sy;
        }
    }

private:
    bool spend(std::uint64_t steps)
    {
        if (m_exhausted || steps > m_left) {
            m_exhausted = true;
            return false;
        }
        m_left -= steps;
        return true;
    }

    // Liang-Barsky against [-1, w] x [-1, h]; false when nothing is left.
    bool clip(double& x0, double& y0, double& x1, double& y1) const
    {
        if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1))
            return false;
        const double dx = x1 - x0, dy = y1 - y0;
        double t0 = 0, t1 = 1;
        const double p[4] = {-dx, dx, -dy, dy};
        const double q[4] = {x0 + 1, m_w - x0, y0 + 1, m_h - y0};
        for (int i = 0; i < 4; ++i) {
            if (p[i] == 0) {
                if (q[i] < 0)
                    return false;
                continue;
            }
            const double t = q[i] / p[i];
            if (p[i] < 0)
                t0 = std::max(t0, t);
            else
                t1 = std::min(t1, t);
            if (t0 > t1)
                return false;
        }
        const double nx0 = x0 + t0 * dx, ny0 = y0 + t0 * dy;
        x1 = x0 + t1 * dx, y1 = y0 + t1 * dy;
        x0 = nx0, y0 = ny0;
        return true;
    }

    int m_w, m_h;
    std::vector<std::uint8_t*> m_rows;
    std::uint64_t m_left;
    bool m_exhausted = false;
};

void drawSegment(Canvas& c, const Mapping& m, const DxfSegment& s)
{
    c.line(m.px(s.x0), m.py(s.y0), m.px(s.x1), m.py(s.y1), s.rgb);
}

void drawCurve(Canvas& c, const Mapping& m, const DxfCurve& k)
{
    const double major = std::max(std::hypot(k.ux, k.uy), std::hypot(k.vx, k.vy)) * m.scale;
    const double sweep = k.end - k.start;
    double wanted = std::ceil(sweep * major / kCurveSegmentPixels);
    if (!std::isfinite(wanted))
        wanted = kMaxCurveSegments;
    const int n = int(std::clamp(wanted, double(kMinCurveSegments), double(kMaxCurveSegments)));
    auto at = [&](int i, double& x, double& y) {
        const double t = k.start + sweep * i / n, ct = std::cos(t), st = std::sin(t);
        x = m.px(k.cx + k.ux * ct + k.vx * st);
        y = m.py(k.cy + k.uy * ct + k.vy * st);
    };
    double x0 = 0, y0 = 0;
    at(0, x0, y0);
    for (int i = 1; i <= n && !c.exhausted(); ++i) {
        double x1 = 0, y1 = 0;
        at(i, x1, y1);
        c.line(x0, y0, x1, y1, k.rgb);
        x0 = x1, y0 = y1;
    }
}

void drawText(Canvas& c, const Mapping& m, const DxfText& t)
{
    const double unit = t.height / dxffont::kCapHeight;
    const double cs = std::cos(t.rotation * kPi / 180), sn = std::sin(t.rotation * kPi / 180);
    if (!c.mayTouch(m, t, cs, sn))
        return;
    if (t.height * m.scale < kSmallestTextPixels) {
        // too small to read: a stroke along the middle of the line
        const double length = double(t.text.size()) * dxffont::kAdvance * unit * t.widthFactor;
        const double mx = -sn * t.height / 2, my = cs * t.height / 2;
        c.line(m.px(t.x + mx), m.py(t.y + my), m.px(t.x + mx + length * cs), m.py(t.y + my + length * sn), t.rgb);
        return;
    }
    for (std::size_t i = 0; i < t.text.size() && !c.exhausted(); ++i) {
        const double left = double(i) * dxffont::kAdvance;
        for (const dxffont::Stroke& stroke : dxffont::glyph(static_cast<unsigned char>(t.text[i]))) {
            double px = 0, py = 0;
            for (std::size_t j = 0; j < stroke.size(); ++j) {
                const double lx = (left + stroke[j].x) * unit * t.widthFactor, ly = stroke[j].y * unit;
                const double x = m.px(t.x + lx * cs - ly * sn), y = m.py(t.y + lx * sn + ly * cs);
                if (j > 0)
                    c.line(px, py, x, y, t.rgb);
                px = x, py = y;
            }
        }
    }
}

}  // namespace

bool pictureSize(const DxfDrawing& drawing, int requestedWidth, int requestedHeight, int& width, int& height)
{
    const DxfBox box = extentsOf(drawing);
    if (!box.valid || requestedWidth < 0 || requestedHeight < 0)
        return false;
    const double ew = box.maxX - box.minX, eh = box.maxY - box.minY;
    int ownW = kOwnLongSide, ownH = kOwnLongSide;
    if (ew > eh)
        ownH = int(std::clamp(std::round(kOwnLongSide * eh / ew), double(kOwnShortSide), double(kOwnLongSide)));
    else if (eh > ew)
        ownW = int(std::clamp(std::round(kOwnLongSide * ew / eh), double(kOwnShortSide), double(kOwnLongSide)));
    else if (ew == 0)
        ownW = ownH = kOwnShortSide;
    if (requestedWidth == 0 && requestedHeight == 0) {
        width = ownW, height = ownH;
    } else if (requestedHeight == 0) {
        width = requestedWidth;
        height = int(std::max(1.0, std::round(double(requestedWidth) * ownH / ownW)));
    } else if (requestedWidth == 0) {
        height = requestedHeight;
        width = int(std::max(1.0, std::round(double(requestedHeight) * ownW / ownH)));
    } else {
        width = requestedWidth, height = requestedHeight;
    }
    return dibcore::fitsLimit(width, height, 24);
}

GlobalHandle render(const DxfDrawing& drawing, int width, int height, const Progress& progress)
{
    const DxfBox box = extentsOf(drawing);
    if (!box.valid || width <= 0 || height <= 0)
        return nullptr;
    dibcore::DibGuard out(dibcore::allocDib(width, height, 24));
    if (!out.get())
        return nullptr;
    dibcore::DibView dib = dibcore::lockView(out.get());
    if (!dib.valid())
        return nullptr;
    Canvas canvas(dib, kMaxSteps);
    canvas.fillWhite();
    const Mapping mapping(box, width, height);
    const std::size_t total = std::max<std::size_t>(1, drawing.elementCount());
    std::size_t done = 0;
    auto step = [&]() {
        if (++done % kProgressElements != 0 || !progress)
            return true;
        return progress(int(done * 100 / total));
    };
    for (const DxfSegment& s : drawing.segments) {
        drawSegment(canvas, mapping, s);
        if (!step() || canvas.exhausted())
            return nullptr;
    }
    for (const DxfCurve& k : drawing.curves) {
        drawCurve(canvas, mapping, k);
        if (!step() || canvas.exhausted())
            return nullptr;
    }
    for (const DxfText& t : drawing.texts) {
        drawText(canvas, mapping, t);
        if (!step() || canvas.exhausted())
            return nullptr;
    }
    for (const DxfPoint& p : drawing.points) {
        canvas.line(mapping.px(p.x), mapping.py(p.y), mapping.px(p.x), mapping.py(p.y), p.rgb);
        if (!step() || canvas.exhausted())
            return nullptr;
    }
    return out.release();
}

}  // namespace dxfrenderer
