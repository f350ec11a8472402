#include "dxfreader.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <string>
#include <string_view>

#include "dxffont.h"
#include "dxfplacement.h"

namespace dxfreader {

namespace {

constexpr char kBinarySignature[] = "AutoCAD Binary DXF";
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kPi = 3.14159265358979323846;
constexpr std::size_t kMaxLayers = 65536;
constexpr int kMaxInsertDepth = 16;
constexpr std::size_t kMaxNameBytes = 255;
// characters of all texts together, placed copies included
constexpr std::size_t kMaxTextBytes = std::size_t(64) << 20;
constexpr std::size_t kProgressPairs = 65536;

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

double number(std::string_view s)
{
    s = trimmed(s);
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    double v = kNaN;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    return r.ec == std::errc() && r.ptr == s.data() + s.size() ? v : kNaN;
}

bool integer(std::string_view s, int& out)
{
    s = trimmed(s);
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    int v = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size() || s.empty())
        return false;
    out = v;
    return true;
}

bool usable(double v)
{
    return std::isfinite(v) && std::fabs(v) <= kMaxCoordinate;
}

// Group code and value lines.
class PairReader
{
public:
    enum class Next { Pair, End, Bad };

    explicit PairReader(ByteSpan b) : m_b(b)
    {
        if (m_b.size >= 3 && std::memcmp(m_b.data, "\xEF\xBB\xBF", 3) == 0)
            m_pos = 3;
    }

    Next next(int& code, std::string_view& value)
    {
        std::string_view codeLine;
        bool bad = false;
        if (!line(codeLine, bad))
            return bad ? Next::Bad : Next::End;
        if (!integer(codeLine, code))
            return Next::Bad;
        if (!line(value, bad))
            return Next::Bad;  // a code without its value: cut off
        return Next::Pair;
    }

    std::size_t position() const { return m_pos; }

private:
    bool line(std::string_view& out, bool& bad)
    {
        if (m_pos >= m_b.size)
            return false;
        const std::size_t window = std::min(m_b.size - m_pos, kMaxLineBytes + 2);
        const auto* start = m_b.data + m_pos;
        const auto* nl = static_cast<const std::uint8_t*>(std::memchr(start, '\n', window));
        std::size_t length = nl ? std::size_t(nl - start) : window;
        if (!nl && window < m_b.size - m_pos) {
            bad = true;
            return false;
        }
        m_pos += nl ? length + 1 : length;
        if (length > 0 && start[length - 1] == '\r')
            --length;
        if (length > kMaxLineBytes) {
            bad = true;
            return false;
        }
        out = std::string_view(reinterpret_cast<const char*>(start), length);
        return true;
    }

    ByteSpan m_b;
    std::size_t m_pos = 0;
};

// The groups of one entity or table record.
struct Record {
    std::string type;
    std::string name;   // 2
    std::string layer;  // 8
    std::string text;   // 1
    int colour = 256;   // 62, 256 = by layer
    int flags = 0;      // 70
    int alignH = 0;     // 72
    int alignV = 0;     // 73
    double x[4] = {kNaN, kNaN, kNaN, kNaN};
    double y[4] = {kNaN, kNaN, kNaN, kNaN};
    double v40 = kNaN, v41 = kNaN, v42 = kNaN, v50 = kNaN, v51 = kNaN;
    std::vector<std::pair<double, double>> points;  // LWPOLYLINE

    void reset(std::string_view t)
    {
        *this = Record();
        type.assign(t);
    }
};

std::uint32_t aciColour(int aci)
{
    switch (aci) {
    case 1: return 0xFF0000;
    case 2: return 0xFFFF00;
    case 3: return 0x00FF00;
    case 4: return 0x00FFFF;
    case 5: return 0x0000FF;
    case 6: return 0xFF00FF;
    case 8: return 0x808080;
    case 9: return 0xC0C0C0;
    default: return 0x000000;
    }
}

double normalisedDegrees(double a)
{
    if (!std::isfinite(a))
        return 0;
    a = std::fmod(a, 360.0);
    return a < 0 ? a + 360.0 : a;
}

bool inSweep(double t, double start, double end)
{
    double d = std::fmod(t - start, 2 * kPi);
    if (d < 0)
        d += 2 * kPi;
    return start + d <= end;
}

// Width of a text line in drawing units.
double textWidth(std::size_t chars, double height, double widthFactor)
{
    return (double(chars) * dxffont::kAdvance - (dxffont::kAdvance - 4)) * height / dxffont::kCapHeight *
           widthFactor;
}

class Builder
{
public:
    explicit Builder(DxfDrawing& out) : m_out(out) {}

    // Entities go into the block named (BLOCK) until endBlock (ENDBLK).
    bool beginBlock(const std::string& name, double baseX, double baseY)
    {
        if (!room(1))
            return false;
        ++m_count;
        m_block = &m_blocks[name];
        *m_block = DxfBlock();
        m_block->baseX = usable(baseX) ? baseX : 0;
        m_block->baseY = usable(baseY) ? baseY : 0;
        return true;
    }
    bool inBlock() const { return m_block != nullptr; }
    bool endBlock()
    {
        const bool ok = finish();
        m_block = nullptr;
        return ok;
    }

    void setLayer(const std::string& name, int colour)
    {
        if (m_layers.size() < kMaxLayers || m_layers.count(name))
            m_layers[name] = colour;
    }

    // false when the drawing grew past the limit
    bool entity(const Record& r)
    {
        if (r.type != "VERTEX" && r.type != "SEQEND" && m_polylineOpen && !finishPolyline())
            return false;
        std::uint32_t rgb = 0;
        const bool visible = colourOf(r, rgb);
        if (r.type == "LINE")
            return !visible || segment(r.x[0], r.y[0], r.x[1], r.y[1], rgb);
        if (r.type == "POLYLINE") {
            m_polylineOpen = true;
            m_polylineVisible = visible;
            m_polylineClosed = (r.flags & 1) != 0;
            m_polylineRgb = rgb;
            m_polyline.clear();
            return true;
        }
        if (r.type == "VERTEX")
            return vertex(r);
        if (r.type == "SEQEND")
            return !m_polylineOpen || finishPolyline();
        if (!visible)
            return true;
        if (r.type == "LWPOLYLINE")
            return polyline(r.points, (r.flags & 1) != 0, rgb);
        if (r.type == "CIRCLE")
            return circle(r, 0, 360, rgb);
        if (r.type == "ARC")
            return circle(r, r.v50, r.v51, rgb);
        if (r.type == "ELLIPSE")
            return ellipse(r, rgb);
        if (r.type == "POINT")
            return point(r.x[0], r.y[0], rgb);
        if (r.type == "SOLID" || r.type == "3DFACE")
            return face(r, rgb);
        if (r.type == "TEXT")
            return text(r, rgb);
        if (r.type == "INSERT")
            return insert(r);
        return true;
    }

    bool finish() { return !m_polylineOpen || finishPolyline(); }

private:
    bool room(std::size_t more) const { return m_count + more <= kMaxElements; }

    // Counts the element and keeps it in the open block or else in the
    // drawing; false at the limit. Every element, in the drawing or a block,
    // and every placed block counts towards kMaxElements.
    template <typename T>
    bool store(const T& item, std::vector<T> DxfBlock::*inBlock, std::vector<T> DxfDrawing::*inDrawing,
               bool& inDrawingNow)
    {
        if (!room(1))
            return false;
        ++m_count;
        inDrawingNow = m_block == nullptr;
        if (m_block)
            (m_block->*inBlock).push_back(item);
        else
            (m_out.*inDrawing).push_back(item);
        return true;
    }

    bool addSegment(const DxfSegment& s)
    {
        if (!usable(s.x0) || !usable(s.y0) || !usable(s.x1) || !usable(s.y1))
            return true;
        bool drawn = false;
        if (!store(s, &DxfBlock::segments, &DxfDrawing::segments, drawn))
            return false;
        if (drawn) {
            m_out.entityExtents.add(s.x0, s.y0);
            m_out.entityExtents.add(s.x1, s.y1);
        }
        return true;
    }

    bool addPoint(const DxfPoint& p)
    {
        if (!usable(p.x) || !usable(p.y))
            return true;
        bool drawn = false;
        if (!store(p, &DxfBlock::points, &DxfDrawing::points, drawn))
            return false;
        if (drawn)
            m_out.entityExtents.add(p.x, p.y);
        return true;
    }

    bool addCurve(const DxfCurve& c)
    {
        if (!usable(c.cx) || !usable(c.cy) || !usable(c.ux) || !usable(c.uy) || !usable(c.vx) || !usable(c.vy))
            return true;
        bool drawn = false;
        if (!store(c, &DxfBlock::curves, &DxfDrawing::curves, drawn))
            return false;
        if (!drawn)
            return true;
        // extremes of x and y, plus the two ends
        const double xt = std::atan2(c.vx, c.ux), yt = std::atan2(c.vy, c.uy);
        const double candidates[] = {c.start, c.end, xt, xt + kPi, yt, yt + kPi};
        for (double t : candidates) {
            if (!inSweep(t, c.start, c.end) && t != c.end)
                continue;
            const double ct = std::cos(t), st = std::sin(t);
            m_out.entityExtents.add(c.cx + c.ux * ct + c.vx * st, c.cy + c.uy * ct + c.vy * st);
        }
        return true;
    }

    bool addText(const DxfText& t)
    {
        const double width = textWidth(t.text.size(), t.height, t.widthFactor);
        if (!usable(t.x) || !usable(t.y) || !usable(t.height) || !usable(width) || !(t.height > 0) ||
            !(t.widthFactor > 0) || t.widthFactor > 100)
            return true;
        bool drawn = false;
        if (m_textBytes + t.text.size() > kMaxTextBytes || !store(t, &DxfBlock::texts, &DxfDrawing::texts, drawn))
            return false;
        m_textBytes += t.text.size();
        if (!drawn)
            return true;
        const double c = std::cos(t.rotation * kPi / 180), s = std::sin(t.rotation * kPi / 180);
        const double corners[4][2] = {{0, 0}, {width, 0}, {width, t.height}, {0, t.height}};
        for (const auto& p : corners)
            m_out.entityExtents.add(t.x + p[0] * c - p[1] * s, t.y + p[0] * s + p[1] * c);
        return true;
    }

    bool insert(const Record& r)
    {
        auto factor = [](double v) { return usable(v) ? v : 1.0; };
        const DxfInsert in{r.name, r.x[0], r.y[0], factor(r.v41), factor(r.v42),
                           normalisedDegrees(std::isfinite(r.v50) ? r.v50 : 0)};
        if (!usable(in.x) || !usable(in.y))
            return true;
        if (m_block) {
            if (!room(1))
                return false;
            ++m_count;
            m_block->inserts.push_back(in);
            return true;
        }
        return place(in, dxfplacement::Affine(), 0);
    }

    // The block's elements through the insert's map; nested inserts to
    // kMaxInsertDepth (deeper ones, and a block placing itself beyond
    // that, are left out).
    bool place(const DxfInsert& in, const dxfplacement::Affine& outer, int depth)
    {
        const auto it = m_blocks.find(in.name);
        if (depth > kMaxInsertDepth || it == m_blocks.end() || &it->second == m_block)
            return true;
        if (!room(1))
            return false;
        ++m_count;
        const DxfBlock& b = it->second;
        const dxfplacement::Affine m = outer.after(dxfplacement::insertMap(in, b.baseX, b.baseY));
        for (const DxfSegment& s : b.segments)
            if (!addSegment(dxfplacement::placed(s, m)))
                return false;
        for (const DxfCurve& k : b.curves)
            if (!addCurve(dxfplacement::placed(k, m)))
                return false;
        for (const DxfText& t : b.texts)
            if (!addText(dxfplacement::placed(t, m)))
                return false;
        for (const DxfPoint& p : b.points)
            if (!addPoint(dxfplacement::placed(p, m)))
                return false;
        for (const DxfInsert& nested : b.inserts)
            if (!place(nested, m, depth + 1))
                return false;
        return true;
    }

    bool colourOf(const Record& r, std::uint32_t& rgb) const
    {
        int aci = r.colour;
        if (aci == 256) {
            const auto it = m_layers.find(r.layer);
            aci = it == m_layers.end() ? 7 : it->second;
            if (aci < 0)
                return false;  // the layer is switched off
        }
        rgb = aciColour(aci < 0 ? -aci : aci);
        return true;
    }

    bool segment(double x0, double y0, double x1, double y1, std::uint32_t rgb)
    {
        return addSegment({x0, y0, x1, y1, rgb});
    }

    bool point(double x, double y, std::uint32_t rgb) { return addPoint({x, y, rgb}); }

    bool polyline(const std::vector<std::pair<double, double>>& pts, bool closed, std::uint32_t rgb)
    {
        std::vector<std::pair<double, double>> good;
        for (const auto& p : pts)
            if (usable(p.first) && usable(p.second))
                good.push_back(p);
        if (good.size() == 1)
            return point(good[0].first, good[0].second, rgb);
        for (std::size_t i = 1; i < good.size(); ++i)
            if (!segment(good[i - 1].first, good[i - 1].second, good[i].first, good[i].second, rgb))
                return false;
        if (closed && good.size() > 2)
            return segment(good.back().first, good.back().second, good[0].first, good[0].second, rgb);
        return true;
    }

    bool vertex(const Record& r)
    {
        const bool faceRecord = (r.flags & 128) != 0 && (r.flags & 64) == 0;
        if (!m_polylineOpen || faceRecord)
            return true;
        if (!room(m_polyline.size() + 1))
            return false;
        m_polyline.emplace_back(r.x[0], r.y[0]);
        return true;
    }

    bool finishPolyline()
    {
        m_polylineOpen = false;
        const bool ok = !m_polylineVisible || polyline(m_polyline, m_polylineClosed, m_polylineRgb);
        m_polyline.clear();
        return ok;
    }

    bool circle(const Record& r, double startDeg, double endDeg, std::uint32_t rgb)
    {
        const double radius = r.v40;
        if (!usable(r.x[0]) || !usable(r.y[0]) || !usable(radius) || radius <= 0 || !std::isfinite(startDeg) ||
            !std::isfinite(endDeg))
            return true;
        double start = 0, sweep = 360;
        if (!(startDeg == 0 && endDeg == 360)) {
            start = normalisedDegrees(startDeg);
            sweep = normalisedDegrees(normalisedDegrees(endDeg) - start);
            if (sweep == 0)
                sweep = 360;
        }
        const double a = start * kPi / 180;
        return addCurve({r.x[0], r.y[0], radius, 0, 0, radius, a, a + sweep * kPi / 180, rgb});
    }

    bool ellipse(const Record& r, std::uint32_t rgb)
    {
        const double ratio = r.v40;
        if (!usable(r.x[0]) || !usable(r.y[0]) || !usable(r.x[1]) || !usable(r.y[1]) || !(ratio > 0) ||
            ratio > 1 || (r.x[1] == 0 && r.y[1] == 0))
            return true;
        double start = std::isfinite(r.v41) ? std::fmod(r.v41, 2 * kPi) : 0;
        double end = std::isfinite(r.v42) ? std::fmod(r.v42, 2 * kPi) : 2 * kPi;
        double sweep = std::fmod(end - start, 2 * kPi);
        if (sweep <= 0)
            sweep += 2 * kPi;
        const double mx = r.x[1], my = r.y[1];
        return addCurve({r.x[0], r.y[0], mx, my, -ratio * my, ratio * mx, start, start + sweep, rgb});
    }

    bool face(const Record& r, std::uint32_t rgb)
    {
        double x[4], y[4];
        for (int i = 0; i < 4; ++i)
            x[i] = r.x[i], y[i] = r.y[i];
        if (!usable(x[3]) || !usable(y[3]))
            x[3] = x[2], y[3] = y[2];
        // SOLID corners run in a zigzag: 1, 2, 4, 3
        const int order[4] = {0, 1, r.type == "SOLID" ? 3 : 2, r.type == "SOLID" ? 2 : 3};
        std::vector<std::pair<double, double>> pts;
        for (int i : order)
            pts.emplace_back(x[i], y[i]);
        return polyline(pts, true, rgb);
    }

    bool text(const Record& r, std::uint32_t rgb)
    {
        if (r.text.empty())
            return true;
        const double height = usable(r.v40) && r.v40 > 0 ? r.v40 : 1.0;
        const double widthFactor = std::isfinite(r.v41) && r.v41 > 0 && r.v41 <= 100 ? r.v41 : 1.0;
        const double rotation = normalisedDegrees(std::isfinite(r.v50) ? r.v50 : 0);
        const double width = textWidth(r.text.size(), height, widthFactor);
        double ax = r.x[0], ay = r.y[0], dx = 0, dy = 0;
        const bool aligned = r.alignH != 0 || r.alignV != 0;
        if (aligned && usable(r.x[1]) && usable(r.y[1]) && r.alignH != 3 && r.alignH != 5) {
            ax = r.x[1], ay = r.y[1];
            dx = r.alignH == 1 || r.alignH == 4 ? -width / 2 : r.alignH == 2 ? -width : 0;
            dy = r.alignV == 2 || r.alignH == 4 ? -height / 2 : r.alignV == 3 ? -height : 0;
        }
        if (!usable(ax) || !usable(ay))
            return true;
        const double c = std::cos(rotation * kPi / 180), s = std::sin(rotation * kPi / 180);
        return addText({ax + dx * c - dy * s, ay + dx * s + dy * c, height, widthFactor, rotation, r.text, rgb});
    }

    DxfDrawing& m_out;
    std::map<std::string, int> m_layers;
    std::map<std::string, DxfBlock> m_blocks;
    DxfBlock* m_block = nullptr;
    std::size_t m_count = 0;
    std::size_t m_textBytes = 0;
    bool m_polylineOpen = false;
    bool m_polylineVisible = true;
    bool m_polylineClosed = false;
    std::uint32_t m_polylineRgb = 0;
    std::vector<std::pair<double, double>> m_polyline;
};

enum class Section { None, Header, Tables, Blocks, Entities, Other };

Section sectionNamed(std::string_view name)
{
    if (name == "HEADER")
        return Section::Header;
    if (name == "TABLES")
        return Section::Tables;
    if (name == "BLOCKS")
        return Section::Blocks;
    if (name == "ENTITIES")
        return Section::Entities;
    return Section::Other;
}

void storeGroup(Record& r, int code, std::string_view value)
{
    switch (code) {
    case 1: r.text.assign(value.data(), value.size()); break;
    case 2: r.name.assign(trimmed(value).substr(0, kMaxNameBytes)); break;
    case 8: r.layer.assign(trimmed(value).substr(0, kMaxNameBytes)); break;
    case 10:
        if (r.type == "LWPOLYLINE") {
            if (r.points.size() <= kMaxElements)
                r.points.emplace_back(number(value), kNaN);
            break;
        }
        [[fallthrough]];
    case 11:
    case 12:
    case 13: r.x[code - 10] = number(value); break;
    case 20:
        if (r.type == "LWPOLYLINE") {
            if (!r.points.empty())
                r.points.back().second = number(value);
            break;
        }
        [[fallthrough]];
    case 21:
    case 22:
    case 23: r.y[code - 20] = number(value); break;
    case 40: r.v40 = number(value); break;
    case 41: r.v41 = number(value); break;
    case 42: r.v42 = number(value); break;
    case 50: r.v50 = number(value); break;
    case 51: r.v51 = number(value); break;
    case 62: integer(value, r.colour); break;
    case 70: integer(value, r.flags); break;
    case 72: integer(value, r.alignH); break;
    case 73: integer(value, r.alignV); break;
    default: break;
    }
}

class Reader
{
public:
    Reader(ByteSpan b, DxfDrawing& out, const Progress& progress)
        : m_bytes(b), m_pairs(b), m_out(out), m_builder(out), m_progress(progress)
    {
    }

    bool run()
    {
        int code = 0;
        std::string_view value;
        bool first = true;
        std::size_t count = 0;
        for (;;) {
            const PairReader::Next next = m_pairs.next(code, value);
            if (next == PairReader::Next::Bad)
                return false;
            if (next == PairReader::Next::End)
                break;
            if (++count % kProgressPairs == 0 && m_progress &&
                !m_progress(int(m_pairs.position() * 100 / m_bytes.size)))
                return false;
            if (code == 999)
                continue;
            if (first && (code != 0 || trimmed(value) != "SECTION"))
                return false;
            first = false;
            if (code == 0) {
                if (!endRecord())
                    return false;
                if (!startRecord(trimmed(value)))
                    break;
                if (m_polylineFailed)
                    return false;
                continue;
            }
            group(code, value);
        }
        if (first || (m_sawEntities && !m_entitiesClosed))
            return false;
        headerExtents();
        return true;
    }

private:
    // false at the end of the file
    bool startRecord(std::string_view type)
    {
        if (type == "EOF")
            return false;
        if (type == "SECTION") {
            m_section = Section::Other;
            m_expectName = true;
            m_inRecord = false;
            return true;
        }
        if (type == "ENDSEC") {
            if (m_section == Section::Entities) {
                m_entitiesClosed = true;
                m_polylineFailed = !m_builder.finish();
            }
            if (m_section == Section::Blocks)
                m_polylineFailed = !m_builder.endBlock();
            m_section = Section::None;
            m_inRecord = false;
            return true;
        }
        m_record.reset(type);
        m_inRecord = true;
        return true;
    }

    bool endRecord()
    {
        if (!m_inRecord)
            return true;
        m_inRecord = false;
        if (m_section == Section::Tables && m_record.type == "LAYER" && !m_record.name.empty())
            m_builder.setLayer(m_record.name, m_record.colour);
        if (m_section == Section::Entities)
            return m_builder.entity(m_record);
        if (m_section == Section::Blocks) {
            if (m_record.type == "BLOCK")
                return m_builder.endBlock() && m_builder.beginBlock(m_record.name, m_record.x[0], m_record.y[0]);
            if (m_record.type == "ENDBLK")
                return m_builder.endBlock();
            return !m_builder.inBlock() || m_builder.entity(m_record);
        }
        return true;
    }

    void group(int code, std::string_view value)
    {
        if (m_expectName && code == 2) {
            m_expectName = false;
            m_section = sectionNamed(trimmed(value));
            if (m_section == Section::Entities)
                m_sawEntities = true;
            return;
        }
        if (m_section == Section::Header) {
            headerGroup(code, value);
            return;
        }
        if (m_inRecord)
            storeGroup(m_record, code, value);
    }

    void headerGroup(int code, std::string_view value)
    {
        if (code == 9) {
            m_variable.assign(trimmed(value));
            return;
        }
        double* target = nullptr;
        if (m_variable == "$EXTMIN")
            target = code == 10 ? &m_extMin[0] : code == 20 ? &m_extMin[1] : nullptr;
        else if (m_variable == "$EXTMAX")
            target = code == 10 ? &m_extMax[0] : code == 20 ? &m_extMax[1] : nullptr;
        if (target)
            *target = number(value);
    }

    void headerExtents()
    {
        for (int i = 0; i < 2; ++i)
            if (!usable(m_extMin[i]) || !usable(m_extMax[i]) || m_extMin[i] > m_extMax[i])
                return;
        m_out.headerExtents.add(m_extMin[0], m_extMin[1]);
        m_out.headerExtents.add(m_extMax[0], m_extMax[1]);
    }

    ByteSpan m_bytes;
    PairReader m_pairs;
    DxfDrawing& m_out;
    Builder m_builder;
    const Progress& m_progress;
    Record m_record;
    bool m_inRecord = false;
    bool m_expectName = false;
    bool m_sawEntities = false;
    bool m_entitiesClosed = false;
    bool m_polylineFailed = false;
    Section m_section = Section::None;
    std::string m_variable;
    double m_extMin[2] = {kNaN, kNaN};
    double m_extMax[2] = {kNaN, kNaN};
};

}  // namespace

bool read(ByteSpan bytes, DxfDrawing& out, const Progress& progress)
{
    out = DxfDrawing();
    if (!bytes.data || bytes.size == 0)
        return false;
    if (bytes.size >= sizeof kBinarySignature - 1 &&
        std::memcmp(bytes.data, kBinarySignature, sizeof kBinarySignature - 1) == 0)
        return false;
    Reader reader(bytes, out, progress);
    if (!reader.run()) {
        out = DxfDrawing();
        return false;
    }
    return true;
}

}  // namespace dxfreader
