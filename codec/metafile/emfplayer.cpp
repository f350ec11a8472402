#include "emfplayer.h"

#include "dibrecord.h"
#include "gdidevice.h"
#include "gditext.h"

#include <QLinearGradient>
#include <QPainter>

#include <cmath>

namespace {

constexpr std::uint32_t kSignature = 0x464D4520;  // " EMF"
constexpr std::size_t kHeaderSize = 88;
constexpr std::uint32_t kMaxHandles = 65536;
constexpr std::uint32_t kMaxRegionRects = 1024;

enum RecordType : std::uint32_t {
    EMR_HEADER = 1, EMR_POLYBEZIER = 2, EMR_POLYGON = 3, EMR_POLYLINE = 4, EMR_POLYBEZIERTO = 5,
    EMR_POLYLINETO = 6, EMR_POLYPOLYLINE = 7, EMR_POLYPOLYGON = 8, EMR_SETWINDOWEXTEX = 9,
    EMR_SETWINDOWORGEX = 10, EMR_SETVIEWPORTEXTEX = 11, EMR_SETVIEWPORTORGEX = 12, EMR_EOF = 14,
    EMR_SETPIXELV = 15, EMR_SETMAPMODE = 17, EMR_SETBKMODE = 18, EMR_SETPOLYFILLMODE = 19, EMR_SETROP2 = 20,
    EMR_SETSTRETCHBLTMODE = 21, EMR_SETTEXTALIGN = 22, EMR_SETTEXTCOLOR = 24, EMR_SETBKCOLOR = 25,
    EMR_OFFSETCLIPRGN = 26, EMR_MOVETOEX = 27, EMR_SETMETARGN = 28, EMR_EXCLUDECLIPRECT = 29,
    EMR_INTERSECTCLIPRECT = 30, EMR_SCALEVIEWPORTEXTEX = 31, EMR_SCALEWINDOWEXTEX = 32, EMR_SAVEDC = 33,
    EMR_RESTOREDC = 34, EMR_SETWORLDTRANSFORM = 35, EMR_MODIFYWORLDTRANSFORM = 36, EMR_SELECTOBJECT = 37,
    EMR_CREATEPEN = 38, EMR_CREATEBRUSHINDIRECT = 39, EMR_DELETEOBJECT = 40, EMR_ANGLEARC = 41,
    EMR_ELLIPSE = 42, EMR_RECTANGLE = 43, EMR_ROUNDRECT = 44, EMR_ARC = 45, EMR_CHORD = 46, EMR_PIE = 47,
    EMR_SELECTPALETTE = 48, EMR_CREATEPALETTE = 49, EMR_SETPALETTEENTRIES = 50, EMR_LINETO = 54,
    EMR_ARCTO = 55, EMR_POLYDRAW = 56, EMR_SETARCDIRECTION = 57, EMR_SETMITERLIMIT = 58, EMR_BEGINPATH = 59,
    EMR_ENDPATH = 60, EMR_CLOSEFIGURE = 61, EMR_FILLPATH = 62, EMR_STROKEANDFILLPATH = 63, EMR_STROKEPATH = 64,
    EMR_FLATTENPATH = 65, EMR_WIDENPATH = 66, EMR_SELECTCLIPPATH = 67, EMR_ABORTPATH = 68,
    EMR_FILLRGN = 71, EMR_FRAMERGN = 72, EMR_INVERTRGN = 73, EMR_PAINTRGN = 74, EMR_EXTSELECTCLIPRGN = 75,
    EMR_BITBLT = 76, EMR_STRETCHBLT = 77, EMR_MASKBLT = 78, EMR_SETDIBITSTODEVICE = 80,
    EMR_STRETCHDIBITS = 81, EMR_EXTCREATEFONTINDIRECTW = 82, EMR_EXTTEXTOUTA = 83, EMR_EXTTEXTOUTW = 84,
    EMR_POLYBEZIER16 = 85, EMR_POLYGON16 = 86, EMR_POLYLINE16 = 87, EMR_POLYBEZIERTO16 = 88,
    EMR_POLYLINETO16 = 89, EMR_POLYPOLYLINE16 = 90, EMR_POLYPOLYGON16 = 91, EMR_POLYDRAW16 = 92,
    EMR_CREATEMONOBRUSH = 93, EMR_CREATEDIBPATTERNBRUSHPT = 94, EMR_EXTCREATEPEN = 95,
    EMR_POLYTEXTOUTA = 96, EMR_POLYTEXTOUTW = 97, EMR_SMALLTEXTOUT = 108, EMR_ALPHABLEND = 114,
    EMR_TRANSPARENTBLT = 116, EMR_GRADIENTFILL = 118,
};

enum PointType { PT_CLOSEFIGURE = 1, PT_LINETO = 2, PT_BEZIERTO = 4, PT_MOVETO = 6 };
enum TextFlags : std::uint32_t { ETO_GLYPH_INDEX = 0x10, ETO_NO_RECT = 0x100, ETO_SMALL_CHARS = 0x200,
                                 ETO_PDY = 0x2000 };

QPointF pointL(const ByteReader& r, std::size_t at)
{
    return QPointF(r.i32(at), r.i32(at + 4));
}

QRectF rectL(const ByteReader& r, std::size_t at)
{
    return QRectF(QPointF(r.i32(at), r.i32(at + 4)), QPointF(r.i32(at + 8), r.i32(at + 12)));
}

bool readPoints(const ByteReader& r, std::size_t at, std::size_t count, bool small, QPolygonF& out)
{
    const std::size_t each = small ? 4 : 8;
    if (count > r.size() / each || !r.has(at, each * count))
        return false;
    out.reserve(qsizetype(count));
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t p = at + each * i;
        out.append(small ? QPointF(r.i16(p), r.i16(p + 2)) : pointL(r, p));
    }
    return true;
}

// A region's rectangles (RGNDATA), in the coordinates they are given in.
std::optional<QPainterPath> regionData(const ByteReader& r, std::size_t at, std::size_t bytes)
{
    const ByteReader d = r.sub(at, bytes);
    if (!d.has(0, 32))
        return std::nullopt;
    const std::uint32_t count = d.u32(8);
    if (count > d.size() / 16 || !d.has(32, 16 * std::size_t(count)))
        return std::nullopt;
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    if (count > kMaxRegionRects) {
        // more rectangles than a clip can be worked with: their bounds
        path.addRect(rectL(d, 16).normalized());
        return path;
    }
    for (std::uint32_t i = 0; i < count; ++i)
        path.addRect(rectL(d, 32 + 16 * std::size_t(i)).normalized());
    return path;
}

// The picture a bitmap record carries: the offsets and sizes of its
// BITMAPINFO and bits sit at fields.
QImage recordImage(const ByteReader& whole, std::size_t fields, std::uint32_t usage, const QList<QRgb>& palette,
                   bool withAlpha, bool* bottomUp = nullptr)
{
    const std::uint32_t offBmi = whole.u32(fields), cbBmi = whole.u32(fields + 4);
    const std::uint32_t offBits = whole.u32(fields + 8), cbBits = whole.u32(fields + 12);
    if (whole.overrun() || cbBmi == 0 || !whole.has(offBmi, cbBmi) || !whole.has(offBits, cbBits))
        return {};
    const ByteReader info = whole.sub(offBmi, cbBmi);
    if (bottomUp)
        *bottomUp = dibrecord::bottomUp(info);
    return dibrecord::image(info, whole.sub(offBits, cbBits), int(usage), palette, withAlpha);
}

QColor vertexColor(const ByteReader& r, std::size_t at)
{
    return QColor(r.u16(at + 8) >> 8, r.u16(at + 10) >> 8, r.u16(at + 12) >> 8);
}

// Bytes of the header's fixed fields: the description and the pixel
// format, when present, start after them.
std::uint32_t headerExtent(const ByteReader& r, std::uint32_t size)
{
    std::uint32_t end = size;
    if (r.u32(60) > 0 && r.u32(64) < end)
        end = r.u32(64);
    if (size >= 100 && r.u32(88) > 0 && r.u32(92) < end)
        end = r.u32(92);
    return end;
}

}  // namespace

// Header -------------------------------------------------------------------

bool EmfPlayer::looksLikeEmf(const QByteArray& data)
{
    const ByteReader r(reinterpret_cast<const std::uint8_t*>(data.constData()), std::size_t(data.size()));
    return r.u32(0) == EMR_HEADER && r.u32(40) == kSignature && !r.overrun();
}

EmfPlayer::EmfPlayer(const QByteArray& data)
    : data_(data)
{
    const ByteReader r(reinterpret_cast<const std::uint8_t*>(data_.constData()), std::size_t(data_.size()));
    if (readHeader(r) && checkRecords())
        valid_ = true;
}

bool EmfPlayer::fail(const QString& why)
{
    error_ = why;
    valid_ = false;
    return false;
}

bool EmfPlayer::readHeader(const ByteReader& r)
{
    if (!r.has(0, kHeaderSize))
        return fail(QStringLiteral("truncated header"));
    const std::uint32_t size = r.u32(4);
    if (r.u32(0) != EMR_HEADER || r.u32(40) != kSignature)
        return fail(QStringLiteral("not an enhanced metafile"));
    if (size < kHeaderSize || size % 4 != 0 || !r.has(0, size))
        return fail(QStringLiteral("bad header size"));
    if (r.u32(48) > r.size())
        return fail(QStringLiteral("truncated: %1 of %2 bytes").arg(r.size()).arg(r.u32(48)));
    handles_ = std::min<std::uint32_t>(r.u16(56), kMaxHandles);
    frame_ = QRect(QPoint(r.i32(24), r.i32(28)), QPoint(r.i32(32), r.i32(36)));
    const double w = std::abs(double(r.i32(32)) - r.i32(24)) * 96 / 2540;
    const double h = std::abs(double(r.i32(36)) - r.i32(28)) * 96 / 2540;
    if (!(w < 1e9 && h < 1e9))
        return fail(QStringLiteral("metafile size out of range"));
    size_ = QSize(int(std::lround(w)), int(std::lround(h)));
    if (size_.isEmpty())
        return fail(QStringLiteral("metafile size is 0"));
    // the reference device's resolution, finer in micrometres when given
    double devW = r.i32(72), devH = r.i32(76), mmW = r.i32(80), mmH = r.i32(84);
    if (headerExtent(r, size) >= 108 && r.i32(100) > 0 && r.i32(104) > 0) {
        const double umW = r.i32(100) / 1000.0, umH = r.i32(104) / 1000.0;
        if (std::abs(umW - mmW) <= 1 && std::abs(umH - mmH) <= 1) {
            mmW = umW;
            mmH = umH;
        }
    }
    if (devW > 0 && devH > 0 && mmW > 0 && mmH > 0)
        pxPerMm_ = QSizeF(devW / mmW, devH / mmH);
    else
        pxPerMm_ = QSizeF(96 / 25.4, 96 / 25.4);
    return true;
}

template <typename F>
void EmfPlayer::forEachRecord(F&& f) const
{
    const ByteReader r(reinterpret_cast<const std::uint8_t*>(data_.constData()), std::size_t(data_.size()));
    std::size_t at = r.u32(4);
    while (r.has(at, 8)) {
        Record rec;
        rec.type = r.u32(at);
        const std::uint32_t size = r.u32(at + 4);
        if (size < 8 || !r.has(at, size))
            return;
        rec.whole = r.sub(at, size);
        rec.params = r.sub(at + 8, size - 8);
        if (rec.type == EMR_EOF || !f(rec))
            return;
        at += size;
    }
}

bool EmfPlayer::checkRecords()
{
    const ByteReader r(reinterpret_cast<const std::uint8_t*>(data_.constData()), std::size_t(data_.size()));
    std::size_t at = r.u32(4);
    while (at < r.size()) {
        if (!r.has(at, 8))
            return fail(QStringLiteral("truncated record"));
        const std::uint32_t type = r.u32(at), size = r.u32(at + 4);
        if (size < 8 || size % 4 != 0)
            return fail(QStringLiteral("record of %1 bytes").arg(size));
        if (!r.has(at, size))
            return fail(QStringLiteral("truncated record"));
        if (type == EMR_EOF)
            return true;
        at += size;
    }
    return true;
}

// Playing --------------------------------------------------------------------

void EmfPlayer::play(QPainter& painter, const QRectF& target) const
{
    if (!valid_ || target.isEmpty())
        return;
    // the frame, in reference-device pixels, is placed on the target
    const double fx = frame_.left() * pxPerMm_.width() / 100, fy = frame_.top() * pxPerMm_.height() / 100;
    const double fw = (double(frame_.right()) - frame_.left()) * pxPerMm_.width() / 100;
    const double fh = (double(frame_.bottom()) - frame_.top()) * pxPerMm_.height() / 100;
    if (fw == 0 || fh == 0)
        return;
    const QTransform toTarget = QTransform::fromTranslate(-fx, -fy) *
                                QTransform::fromScale(target.width() / fw, target.height() / fh) *
                                QTransform::fromTranslate(target.x(), target.y());
    const QRectF painted = playOnce(painter, toTarget);
    // a frame that misses the whole drawing: show the drawing instead
    if (!painted.isEmpty() && !painted.intersects(target))
        playOnce(painter, GdiDevice::fitting(toTarget.inverted().mapRect(painted), target));
}

QRectF EmfPlayer::playOnce(QPainter& painter, const QTransform& toTarget) const
{
    GdiDevice dc(painter, toTarget);
    dc.setObjectTableSize(std::max<std::uint32_t>(handles_, 1));
    dc.mapping().setDeviceResolution(pxPerMm_.width(), pxPerMm_.height());
    forEachRecord([&](const Record& rec) {
        playRecord(dc, rec);
        return true;
    });
    return dc.paintedBounds();
}

void EmfPlayer::playRecord(GdiDevice& dc, const Record& rec) const
{
    // each group answers whether the record was one of its own
    if (playState(dc, rec) || playMapping(dc, rec) || playObject(dc, rec) || playPoly(dc, rec) ||
        playShape(dc, rec) || playPath(dc, rec) || playClip(dc, rec) || playText(dc, rec))
        return;
    playBitmap(dc, rec);
}

bool EmfPlayer::playState(GdiDevice& dc, const Record& rec) const
{
    const ByteReader& p = rec.params;
    GdiState& s = dc.state();
    const std::uint32_t v = p.u32(0);
    const bool has = p.has(0, 4);
    switch (rec.type) {
    case EMR_SAVEDC: dc.saveDC(); break;
    case EMR_RESTOREDC: if (has) dc.restoreDC(p.i32(0)); break;
    case EMR_SETBKMODE: if (has) s.bkMode = int(v); break;
    case EMR_SETPOLYFILLMODE: if (has) s.polyFillMode = int(v); break;
    case EMR_SETROP2: if (has) s.rop2 = int(v); break;
    case EMR_SETSTRETCHBLTMODE: if (has) s.stretchMode = int(v); break;
    case EMR_SETTEXTALIGN: if (has) s.textAlign = v; break;
    case EMR_SETTEXTCOLOR: if (has) s.textColor = dc.color(v); break;
    case EMR_SETBKCOLOR: if (has) s.bkColor = dc.color(v); break;
    case EMR_SETARCDIRECTION: if (has) s.clockwiseArcs = v == 2; break;
    case EMR_SETMITERLIMIT:
        if (has) {
            // written as an integer, by some writers as a float
            const double asFloat = p.f32(0);
            s.miterLimit = v > 0 && v < 1000 ? double(v) : (asFloat >= 1 && asFloat < 1000 ? asFloat : 10.0);
        }
        break;
    default: return false;
    }
    return true;
}

bool EmfPlayer::playMapping(GdiDevice& dc, const Record& rec) const
{
    const ByteReader& p = rec.params;
    GdiMapping& m = dc.mapping();
    switch (rec.type) {
    case EMR_SETMAPMODE: if (p.has(0, 4)) m.setMapMode(p.i32(0)); break;
    case EMR_SETWINDOWEXTEX: if (p.has(0, 8)) m.setWindowExt(QSizeF(p.i32(0), p.i32(4))); break;
    case EMR_SETWINDOWORGEX: if (p.has(0, 8)) m.setWindowOrg(pointL(p, 0)); break;
    case EMR_SETVIEWPORTEXTEX: if (p.has(0, 8)) m.setViewportExt(QSizeF(p.i32(0), p.i32(4))); break;
    case EMR_SETVIEWPORTORGEX: if (p.has(0, 8)) m.setViewportOrg(pointL(p, 0)); break;
    case EMR_SCALEVIEWPORTEXTEX:
        if (p.has(0, 16))
            m.scaleViewportExt(p.i32(0), p.i32(4), p.i32(8), p.i32(12));
        break;
    case EMR_SCALEWINDOWEXTEX:
        if (p.has(0, 16))
            m.scaleWindowExt(p.i32(0), p.i32(4), p.i32(8), p.i32(12));
        break;
    case EMR_SETWORLDTRANSFORM:
    case EMR_MODIFYWORLDTRANSFORM: {
        if (!p.has(0, 24))
            break;
        const QTransform t(p.f32(0), p.f32(4), p.f32(8), p.f32(12), p.f32(16), p.f32(20));
        if (rec.type == EMR_SETWORLDTRANSFORM)
            m.setWorldTransform(t);
        else if (p.has(24, 4))
            m.modifyWorldTransform(t, int(p.u32(24)));
        break;
    }
    default: return false;
    }
    return true;
}

bool EmfPlayer::playObject(GdiDevice& dc, const Record& rec) const
{
    const ByteReader& p = rec.params;
    const std::uint32_t ih = p.u32(0);
    switch (rec.type) {
    case EMR_SELECTOBJECT:
    case EMR_SELECTPALETTE:
        if (p.has(0, 4))
            dc.selectObject(ih);
        return true;
    case EMR_DELETEOBJECT:
        if (p.has(0, 4))
            dc.deleteObject(ih);
        return true;
    case EMR_CREATEPEN: {
        if (!p.has(0, 20))
            return true;
        gdi::Pen pen;
        pen.style = p.u32(4);
        pen.width = std::abs(p.i32(8));
        pen.color = dc.color(p.u32(16));
        dc.setObject(ih, pen);
        return true;
    }
    case EMR_EXTCREATEPEN: {
        if (!p.has(0, 44))
            return true;
        gdi::Pen pen;
        pen.style = p.u32(20);
        pen.geometric = pen.style & gdi::PS_GEOMETRIC;
        pen.width = pen.geometric ? double(p.u32(24)) : 0.0;
        if (p.u32(28) == gdi::BS_NULL)
            pen.style = (pen.style & ~std::uint32_t(gdi::PS_STYLE_MASK)) | gdi::PS_NULL;
        pen.color = dc.color(p.u32(32));
        const std::uint32_t entries = p.u32(40);
        for (std::uint32_t i = 0; i < entries && i < 64 && p.has(44 + 4 * i, 4); ++i)
            pen.dashes.append(p.u32(44 + 4 * i));
        dc.setObject(ih, pen);
        return true;
    }
    case EMR_CREATEBRUSHINDIRECT: {
        if (!p.has(0, 16))
            return true;
        gdi::Brush brush;
        brush.style = p.u32(4);
        brush.color = dc.color(p.u32(8));
        brush.hatch = p.u32(12);
        if (brush.style != gdi::BS_NULL && brush.style != gdi::BS_HATCHED)
            brush.style = gdi::BS_SOLID;
        dc.setObject(ih, brush);
        return true;
    }
    case EMR_CREATEMONOBRUSH:
    case EMR_CREATEDIBPATTERNBRUSHPT: {
        if (!p.has(0, 24))
            return true;
        gdi::Brush brush;
        brush.style = gdi::BS_DIBPATTERNPT;
        brush.pattern = recordImage(rec.whole, 16, p.u32(4), dc.palette(), false);
        brush.monochrome = rec.type == EMR_CREATEMONOBRUSH;
        if (brush.pattern.isNull())
            brush.style = gdi::BS_SOLID, brush.color = Qt::gray;
        dc.setObject(ih, brush);
        return true;
    }
    case EMR_EXTCREATEFONTINDIRECTW: {
        if (!p.has(0, 32))
            return true;
        gdi::Font font;
        font.height = p.i32(4);
        font.width = p.i32(8);
        font.escapement = p.i32(12);
        font.orientation = p.i32(16);
        font.weight = p.i32(20);
        font.italic = p.u8(24);
        font.underline = p.u8(25);
        font.strikeOut = p.u8(26);
        font.charSet = p.u8(27);
        font.pitchAndFamily = p.u8(31);
        for (std::size_t i = 0; i < 32 && p.has(32 + 2 * i, 2); ++i) {
            const char16_t c = p.u16(32 + 2 * i);
            if (c == 0)
                break;
            font.faceName.append(QChar(c));
        }
        dc.setObject(ih, font);
        return true;
    }
    case EMR_CREATEPALETTE: {
        if (!p.has(0, 8))
            return true;
        gdi::Palette pal;
        const std::uint16_t count = p.u16(6);
        for (std::uint32_t i = 0; i < count && p.has(8 + 4 * i, 4); ++i)
            pal.colors.append(qRgb(p.u8(8 + 4 * i), p.u8(9 + 4 * i), p.u8(10 + 4 * i)));
        dc.setObject(ih, pal);
        return true;
    }
    case EMR_SETPALETTEENTRIES: {
        const gdi::Object* o = dc.object(ih);
        const gdi::Palette* old = o ? std::get_if<gdi::Palette>(o) : nullptr;
        if (!old || !p.has(0, 12))
            return true;
        gdi::Palette pal = *old;
        const std::uint32_t start = p.u32(4), count = p.u32(8);
        for (std::uint32_t i = 0; i < count && start + i < 1024 && p.has(12 + 4 * i, 4); ++i) {
            if (pal.colors.size() <= qsizetype(start + i))
                pal.colors.resize(start + i + 1);
            pal.colors[start + i] = qRgb(p.u8(12 + 4 * i), p.u8(13 + 4 * i), p.u8(14 + 4 * i));
        }
        dc.setObject(ih, pal);
        return true;
    }
    default: return false;
    }
}

bool EmfPlayer::playPoly(GdiDevice& dc, const Record& rec) const
{
    const ByteReader& p = rec.params;
    bool small = false;
    switch (rec.type) {
    case EMR_POLYBEZIER16: case EMR_POLYGON16: case EMR_POLYLINE16: case EMR_POLYBEZIERTO16:
    case EMR_POLYLINETO16: case EMR_POLYPOLYLINE16: case EMR_POLYPOLYGON16: case EMR_POLYDRAW16:
        small = true;
        break;
    case EMR_POLYBEZIER: case EMR_POLYGON: case EMR_POLYLINE: case EMR_POLYBEZIERTO: case EMR_POLYLINETO:
    case EMR_POLYPOLYLINE: case EMR_POLYPOLYGON: case EMR_POLYDRAW:
        break;
    default: return false;
    }
    switch (rec.type) {
    case EMR_POLYPOLYLINE: case EMR_POLYPOLYGON: case EMR_POLYPOLYLINE16: case EMR_POLYPOLYGON16: {
        const std::uint32_t n = p.u32(16);
        if (p.overrun() || n > p.size() / 4 || !p.has(24, 4 * std::size_t(n)))
            return true;
        QList<QPolygonF> polys;
        std::size_t at = 24 + 4 * std::size_t(n);
        for (std::uint32_t i = 0; i < n; ++i) {
            QPolygonF poly;
            const std::uint32_t count = p.u32(24 + 4 * std::size_t(i));
            if (!readPoints(p, at, count, small, poly))
                return true;
            polys.append(poly);
            at += (small ? 4 : 8) * std::size_t(count);
        }
        if (rec.type == EMR_POLYPOLYGON || rec.type == EMR_POLYPOLYGON16)
            dc.polyPolygon(polys);
        else
            dc.polyPolyline(polys);
        return true;
    }
    default: break;
    }
    QPolygonF points;
    const std::uint32_t count = p.u32(16);
    if (p.overrun() || !readPoints(p, 20, count, small, points))
        return true;
    switch (rec.type) {
    case EMR_POLYGON: case EMR_POLYGON16: dc.polygon(points); break;
    case EMR_POLYLINE: case EMR_POLYLINE16: dc.polyline(points); break;
    case EMR_POLYBEZIER: case EMR_POLYBEZIER16: dc.polyBezier(points); break;
    case EMR_POLYBEZIERTO: case EMR_POLYBEZIERTO16: dc.polyBezierTo(points); break;
    case EMR_POLYLINETO: case EMR_POLYLINETO16: dc.polylineTo(points); break;
    case EMR_POLYDRAW: case EMR_POLYDRAW16: {
        const std::size_t types = 20 + (small ? 4 : 8) * std::size_t(count);
        if (!p.has(types, count))
            break;
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint8_t t = p.u8(types + i);
            if ((t & ~PT_CLOSEFIGURE) == PT_MOVETO) {
                dc.moveTo(points[i]);
            } else if ((t & ~PT_CLOSEFIGURE) == PT_BEZIERTO && i + 2 < count) {
                dc.polyBezierTo(QPolygonF({points[i], points[i + 1], points[i + 2]}));
                i += 2;
            } else {
                dc.lineTo(points[i]);
            }
        }
        break;
    }
    default: break;
    }
    return true;
}

bool EmfPlayer::playShape(GdiDevice& dc, const Record& rec) const
{
    const ByteReader& p = rec.params;
    switch (rec.type) {
    case EMR_MOVETOEX: if (p.has(0, 8)) dc.moveTo(pointL(p, 0)); break;
    case EMR_LINETO: if (p.has(0, 8)) dc.lineTo(pointL(p, 0)); break;
    case EMR_RECTANGLE: if (p.has(0, 16)) dc.rectangle(rectL(p, 0)); break;
    case EMR_ELLIPSE: if (p.has(0, 16)) dc.ellipse(rectL(p, 0)); break;
    case EMR_ROUNDRECT: if (p.has(0, 24)) dc.roundRect(rectL(p, 0), QSizeF(p.i32(16), p.i32(20))); break;
    case EMR_ARC: case EMR_CHORD: case EMR_PIE: case EMR_ARCTO: {
        if (!p.has(0, 32))
            break;
        const GdiDevice::ArcKind kind = rec.type == EMR_ARC ? GdiDevice::Arc
                                        : rec.type == EMR_CHORD ? GdiDevice::Chord
                                        : rec.type == EMR_PIE   ? GdiDevice::Pie
                                                                : GdiDevice::ArcTo;
        dc.arc(rectL(p, 0), pointL(p, 16), pointL(p, 24), kind);
        break;
    }
    case EMR_ANGLEARC:
        if (p.has(0, 20))
            dc.angleArc(pointL(p, 0), p.u32(8), p.f32(12), p.f32(16));
        break;
    case EMR_SETPIXELV: if (p.has(0, 12)) dc.setPixel(pointL(p, 0), dc.color(p.u32(8))); break;
    case EMR_GRADIENTFILL: playGradient(dc, rec); break;
    default: return false;
    }
    return true;
}

bool EmfPlayer::playPath(GdiDevice& dc, const Record& rec) const
{
    switch (rec.type) {
    case EMR_BEGINPATH: dc.beginPath(); break;
    case EMR_ENDPATH: dc.endPath(); break;
    case EMR_CLOSEFIGURE: dc.closeFigure(); break;
    case EMR_FILLPATH: dc.fillPath(); break;
    case EMR_STROKEPATH: dc.strokePath(); break;
    case EMR_STROKEANDFILLPATH: dc.strokeAndFillPath(); break;
    case EMR_ABORTPATH: dc.abortPath(); break;
    case EMR_FLATTENPATH: break;  // curves are kept; drawing flattens them
    case EMR_WIDENPATH: dc.widenPath(); break;
    case EMR_SELECTCLIPPATH: if (rec.params.has(0, 4)) dc.selectClipPath(int(rec.params.u32(0))); break;
    default: return false;
    }
    return true;
}

bool EmfPlayer::playClip(GdiDevice& dc, const Record& rec) const
{
    const ByteReader& p = rec.params;
    const QTransform& device = dc.deviceToPainter();
    switch (rec.type) {
    case EMR_INTERSECTCLIPRECT: if (p.has(0, 16)) dc.intersectClipRect(rectL(p, 0)); break;
    case EMR_EXCLUDECLIPRECT: if (p.has(0, 16)) dc.excludeClipRect(rectL(p, 0)); break;
    case EMR_OFFSETCLIPRGN: if (p.has(0, 8)) dc.offsetClip(pointL(p, 0)); break;
    case EMR_SETMETARGN: break;
    case EMR_EXTSELECTCLIPRGN: {
        const std::uint32_t bytes = p.u32(0), mode = p.u32(4);
        if (p.overrun())
            break;
        if (bytes == 0) {
            if (mode == GdiDevice::RGN_COPY)
                dc.selectClip(std::nullopt, GdiDevice::RGN_COPY);
            break;
        }
        if (dc.clipFrozen())
            break;
        if (const auto region = regionData(p, 8, bytes))
            dc.selectClip(device.map(*region), int(mode));
        break;
    }
    case EMR_FILLRGN: {
        const gdi::Object* o = dc.object(p.u32(20));
        const gdi::Brush* brush = o ? std::get_if<gdi::Brush>(o) : nullptr;
        if (const auto region = regionData(p, 24, p.u32(16)); region && brush)
            dc.fillRegion(device.map(*region), *brush);
        break;
    }
    case EMR_FRAMERGN: {
        const gdi::Object* o = dc.object(p.u32(20));
        const gdi::Brush* brush = o ? std::get_if<gdi::Brush>(o) : nullptr;
        if (const auto region = regionData(p, 32, p.u32(16)); region && brush)
            dc.frameRegion(device.map(*region), *brush, QSizeF(p.i32(24), p.i32(28)));
        break;
    }
    case EMR_PAINTRGN:
        if (const auto region = regionData(p, 20, p.u32(16)))
            dc.fillRegion(device.map(*region), dc.state().brush);
        break;
    case EMR_INVERTRGN:
        if (const auto region = regionData(p, 20, p.u32(16)))
            dc.invertRegion(device.map(*region));
        break;
    default: return false;
    }
    return true;
}

bool EmfPlayer::playText(GdiDevice& dc, const Record& rec) const
{
    const ByteReader& p = rec.params;
    switch (rec.type) {
    case EMR_EXTTEXTOUTA:
    case EMR_EXTTEXTOUTW:
        playTextRun(dc, rec, 36, rec.type == EMR_EXTTEXTOUTW);
        return true;
    case EMR_POLYTEXTOUTA:
    case EMR_POLYTEXTOUTW: {
        const std::uint32_t strings = p.u32(28);
        for (std::uint32_t i = 0; i < strings && i < 65536 && p.has(32 + 40 * std::size_t(i), 40); ++i)
            playTextRun(dc, rec, 8 + 32 + 40 * std::size_t(i), rec.type == EMR_POLYTEXTOUTW);
        return true;
    }
    case EMR_SMALLTEXTOUT: {
        const std::uint32_t chars = p.u32(8), options = p.u32(12);
        std::size_t at = 28 + ((options & ETO_NO_RECT) ? 0 : 16);
        const bool narrow = options & ETO_SMALL_CHARS;
        if (p.overrun() || chars > p.size() || !p.has(at, std::size_t(chars) * (narrow ? 1 : 2)))
            return true;
        QString text;
        const gdi::Font& font = dc.state().font;
        if (narrow) {
            text = gditext::decode(QByteArray(reinterpret_cast<const char*>(p.data() + at), qsizetype(chars)),
                                   font.charSet, font.faceName);
        } else {
            for (std::uint32_t i = 0; i < chars; ++i)
                text.append(QChar(char16_t(p.u16(at + 2 * std::size_t(i)))));
            text = gditext::mapSymbols(text, font.charSet, font.faceName);
        }
        std::optional<QRectF> rect;
        if (!(options & ETO_NO_RECT))
            rect = rectL(p, 28);
        if (!(options & ETO_GLYPH_INDEX))
            dc.text(pointL(p, 0), text, {}, options, rect);
        return true;
    }
    default: return false;
    }
}

// An EMRTEXT structure at emrText (offset from the record's start).
void EmfPlayer::playTextRun(GdiDevice& dc, const Record& rec, std::size_t emrText, bool wide) const
{
    const ByteReader& w = rec.whole;
    if (!w.has(emrText, 40))
        return;
    const QPointF origin = pointL(w, emrText);
    const std::uint32_t chars = w.u32(emrText + 8), offString = w.u32(emrText + 12);
    const std::uint32_t options = w.u32(emrText + 16), offDx = w.u32(emrText + 36);
    if (options & ETO_GLYPH_INDEX)
        return;  // glyph numbers of a font we do not have
    const std::size_t unit = wide ? 2 : 1;
    if (chars > w.size() || !w.has(offString, std::size_t(chars) * unit))
        return;
    const gdi::Font& font = dc.state().font;
    QString text;
    if (wide) {
        text.reserve(chars);
        for (std::uint32_t i = 0; i < chars; ++i)
            text.append(QChar(char16_t(w.u16(offString + 2 * std::size_t(i)))));
        text = gditext::mapSymbols(text, font.charSet, font.faceName);
    } else {
        text = gditext::decode(QByteArray(reinterpret_cast<const char*>(w.data() + offString), qsizetype(chars)),
                               font.charSet, font.faceName);
    }
    QList<double> dx;
    const std::size_t step = (options & ETO_PDY) ? 8 : 4;
    if (offDx != 0 && std::size_t(text.size()) == chars && w.has(offDx, step * std::size_t(chars))) {
        for (std::uint32_t i = 0; i < chars; ++i)
            dx.append(w.i32(offDx + step * std::size_t(i)));
    }
    std::optional<QRectF> rect;
    const QRectF r = rectL(w, emrText + 20);
    if (!r.normalized().isEmpty())
        rect = r;
    dc.text(origin, text, dx, options, rect);
}

void EmfPlayer::playGradient(GdiDevice& dc, const Record& rec) const
{
    const ByteReader& p = rec.params;
    const std::uint32_t vertices = p.u32(16), meshes = p.u32(20), mode = p.u32(24);
    if (p.overrun() || vertices > p.size() / 16 || !p.has(28, 16 * std::size_t(vertices)))
        return;
    const std::size_t meshAt = 28 + 16 * std::size_t(vertices);
    const std::size_t meshSize = mode == 2 ? 12 : 8;
    if (meshes > p.size() / meshSize || !p.has(meshAt, meshSize * std::size_t(meshes)))
        return;
    auto vertex = [&](std::uint32_t i) { return 28 + 16 * std::size_t(i); };
    GdiState& s = dc.state();
    const gdi::Brush keep = s.brush;
    const gdi::Pen keepPen = s.pen;
    s.pen.style = gdi::PS_NULL;
    for (std::uint32_t m = 0; m < meshes; ++m) {
        const std::size_t at = meshAt + meshSize * std::size_t(m);
        const std::uint32_t a = p.u32(at), b = p.u32(at + 4);
        if (a >= vertices || b >= vertices)
            continue;
        if (mode == 2) {
            // triangles are filled in the mean colour of their corners
            const std::uint32_t c = p.u32(at + 8);
            if (c >= vertices)
                continue;
            const QColor ca = vertexColor(p, vertex(a)), cb = vertexColor(p, vertex(b)), cc = vertexColor(p, vertex(c));
            s.brush = gdi::Brush();
            s.brush.color = QColor((ca.red() + cb.red() + cc.red()) / 3, (ca.green() + cb.green() + cc.green()) / 3,
                                   (ca.blue() + cb.blue() + cc.blue()) / 3);
            dc.polygon(QPolygonF({pointL(p, vertex(a)), pointL(p, vertex(b)), pointL(p, vertex(c))}));
            continue;
        }
        const QRectF box = QRectF(pointL(p, vertex(a)), pointL(p, vertex(b))).normalized();
        const int bands = 64;
        const QColor from = vertexColor(p, vertex(a)), to = vertexColor(p, vertex(b));
        for (int i = 0; i < bands; ++i) {
            const double t0 = double(i) / bands, t1 = double(i + 1) / bands;
            const double t = (t0 + t1) / 2;
            s.brush = gdi::Brush();
            s.brush.color = QColor(int(from.red() + (to.red() - from.red()) * t),
                                   int(from.green() + (to.green() - from.green()) * t),
                                   int(from.blue() + (to.blue() - from.blue()) * t));
            const QRectF band = mode == 0 ? QRectF(box.left() + box.width() * t0, box.top(), box.width() / bands, box.height())
                                          : QRectF(box.left(), box.top() + box.height() * t0, box.width(), box.height() / bands);
            dc.fillRect(band, s.brush);
        }
    }
    s.brush = keep;
    s.pen = keepPen;
}

bool EmfPlayer::playBitmap(GdiDevice& dc, const Record& rec) const
{
    const ByteReader& p = rec.params;
    const ByteReader& w = rec.whole;
    switch (rec.type) {
    case EMR_STRETCHDIBITS: {
        if (!p.has(0, 64))
            return true;
        bool bottomUp = true;
        const QImage img = recordImage(w, 48, p.u32(56), dc.palette(), false, &bottomUp);
        const QRectF src(p.i32(24), p.i32(28), p.i32(32), p.i32(36));
        dc.image(QRectF(pointL(p, 16), QSizeF(p.i32(64), p.i32(68))), img,
                 dibrecord::sourceRect(src, img.height(), bottomUp), p.u32(60));
        return true;
    }
    case EMR_SETDIBITSTODEVICE: {
        if (!p.has(0, 60))
            return true;
        bool bottomUp = true;
        const QImage img = recordImage(w, 48, p.u32(56), dc.palette(), false, &bottomUp);
        const QSizeF size(p.i32(32), p.i32(36));
        const QRectF src(pointL(p, 24), size);
        dc.image(QRectF(pointL(p, 16), size), img, dibrecord::sourceRect(src, img.height(), bottomUp), GdiDevice::SRCCOPY);
        return true;
    }
    case EMR_BITBLT: case EMR_STRETCHBLT: case EMR_MASKBLT: case EMR_ALPHABLEND: case EMR_TRANSPARENTBLT: {
        if (!p.has(0, 84))
            return true;
        const QRectF dest(pointL(p, 16), QSizeF(p.i32(24), p.i32(28)));
        const std::uint32_t rop = p.u32(32);
        if (w.u32(80 + 8) == 0 && rec.type == EMR_BITBLT) {
            dc.patBlt(dest, rop);  // no source bitmap: a pattern operation
            return true;
        }
        const bool alpha = rec.type == EMR_ALPHABLEND && ((rop >> 24) & 0xFF) != 0;
        QImage img = recordImage(w, 84, p.u32(72), dc.palette(), alpha);
        QSizeF srcSize = dest.size();
        if (rec.type != EMR_BITBLT && rec.type != EMR_MASKBLT && p.has(92, 8))
            srcSize = QSizeF(p.i32(92), p.i32(96));
        const QRectF src(pointL(p, 36), srcSize);
        if (rec.type == EMR_ALPHABLEND) {
            // constant alpha applies to the whole picture
            const int constant = (rop >> 16) & 0xFF;
            if (!img.isNull() && constant < 255) {
                img = img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
                QImage faded(img.size(), QImage::Format_ARGB32_Premultiplied);
                faded.fill(Qt::transparent);
                QPainter fp(&faded);
                fp.setOpacity(constant / 255.0);
                fp.drawImage(0, 0, img);
                fp.end();
                img = faded;
            }
            dc.image(dest, img, src, GdiDevice::SRCCOPY);
        } else if (rec.type == EMR_TRANSPARENTBLT) {
            if (!img.isNull()) {
                img = img.convertToFormat(QImage::Format_ARGB32);
                const QRgb key = dc.color(rop).rgb() & 0xFFFFFF;
                for (int y = 0; y < img.height(); ++y) {
                    auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
                    for (int x = 0; x < img.width(); ++x)
                        if ((line[x] & 0xFFFFFF) == key)
                            line[x] = 0;
                }
            }
            dc.image(dest, img, src, GdiDevice::SRCCOPY);
        } else {
            dc.image(dest, img, src, rec.type == EMR_MASKBLT ? std::uint32_t(GdiDevice::SRCCOPY) : rop);
        }
        return true;
    }
    default: return false;
    }
}
