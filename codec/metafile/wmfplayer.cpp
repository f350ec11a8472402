#include "wmfplayer.h"

#include "dibrecord.h"
#include "gdidevice.h"
#include "gditext.h"

#include <QPainter>

#include <cmath>
#include <cstring>

namespace {

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::size_t kPlaceableSize = 22;
constexpr std::size_t kHeaderSize = 18;
// Nominal size of a picture without a placeable header whose window is
// larger: its units are then taken as finer than pixels.
constexpr int kLargestPlainSide = 2048;
constexpr int kMaxRegionRects = 1024;

enum Function : std::uint16_t {
    META_EOF = 0x0000, META_REALIZEPALETTE = 0x0035, META_SETPALENTRIES = 0x0037,
    META_SETBKMODE = 0x0102, META_SETMAPMODE = 0x0103, META_SETROP2 = 0x0104,
    META_SETPOLYFILLMODE = 0x0106, META_SETSTRETCHBLTMODE = 0x0107, META_SETTEXTCHAREXTRA = 0x0108,
    META_SAVEDC = 0x001E, META_RESTOREDC = 0x0127, META_INVERTREGION = 0x012A, META_PAINTREGION = 0x012B,
    META_SELECTCLIPREGION = 0x012C, META_SELECTOBJECT = 0x012D, META_SETTEXTALIGN = 0x012E,
    META_DIBCREATEPATTERNBRUSH = 0x0142, META_DELETEOBJECT = 0x01F0, META_CREATEPATTERNBRUSH = 0x01F9,
    META_SETBKCOLOR = 0x0201, META_SETTEXTCOLOR = 0x0209, META_SETWINDOWORG = 0x020B,
    META_SETWINDOWEXT = 0x020C, META_OFFSETWINDOWORG = 0x020F, META_LINETO = 0x0213, META_MOVETO = 0x0214,
    META_OFFSETCLIPRGN = 0x0220, META_FILLREGION = 0x0228, META_SELECTPALETTE = 0x0234,
    META_CREATEPENINDIRECT = 0x02FA, META_CREATEFONTINDIRECT = 0x02FB, META_CREATEBRUSHINDIRECT = 0x02FC,
    META_CREATEPALETTE = 0x00F7, META_POLYGON = 0x0324, META_POLYLINE = 0x0325, META_SCALEWINDOWEXT = 0x0410,
    META_EXCLUDECLIPRECT = 0x0415, META_INTERSECTCLIPRECT = 0x0416, META_ELLIPSE = 0x0418,
    META_RECTANGLE = 0x041B, META_SETPIXEL = 0x041F, META_FRAMEREGION = 0x0429, META_TEXTOUT = 0x0521,
    META_POLYPOLYGON = 0x0538, META_ROUNDRECT = 0x061C, META_PATBLT = 0x061D, META_CREATEREGION = 0x06FF,
    META_ARC = 0x0817, META_PIE = 0x081A, META_CHORD = 0x0830, META_BITBLT = 0x0922, META_DIBBITBLT = 0x0940,
    META_EXTTEXTOUT = 0x0A32, META_STRETCHBLT = 0x0B23, META_DIBSTRETCHBLT = 0x0B41,
    META_SETDIBTODEV = 0x0D33, META_STRETCHDIB = 0x0F43,
};

QPointF pointXY(const ByteReader& r, std::size_t at)
{
    return QPointF(r.i16(at), r.i16(at + 2));
}

// Most records store y before x.
QPointF pointYX(const ByteReader& r, std::size_t at)
{
    return QPointF(r.i16(at + 2), r.i16(at));
}

// Bottom, right, top, left.
QRectF boxBRTL(const ByteReader& r, std::size_t at)
{
    return QRectF(QPointF(r.i16(at + 6), r.i16(at + 4)), QPointF(r.i16(at + 2), r.i16(at)));
}

bool readPoints(const ByteReader& r, std::size_t at, std::size_t count, QPolygonF& out)
{
    if (!r.has(at, 4 * count))
        return false;
    out.reserve(qsizetype(count));
    for (std::size_t i = 0; i < count; ++i)
        out.append(pointXY(r, at + 4 * i));
    return true;
}

QByteArray bytesAt(const ByteReader& r, std::size_t at, std::size_t count)
{
    if (!r.has(at, count))
        return {};
    return QByteArray(reinterpret_cast<const char*>(r.data() + at), qsizetype(count));
}

QString faceName(const ByteReader& r, std::size_t at, int charSet)
{
    QByteArray name = bytesAt(r, at, std::min<std::size_t>(32, r.size() > at ? r.size() - at : 0));
    const qsizetype end = name.indexOf('\0');
    if (end >= 0)
        name.truncate(end);
    return charSet == gditext::SYMBOL_CHARSET ? QString::fromLatin1(name) : gditext::decode(name, charSet, QString());
}

// A monochrome or true-colour device bitmap of the old records: its header
// at at, its rows at bitsAt (top row first).
QImage bitmap16(const ByteReader& r, std::size_t at, std::size_t bitsAt)
{
    const int width = r.i16(at + 2), height = r.i16(at + 4), widthBytes = r.i16(at + 6);
    const int planes = r.u8(at + 8), bits = r.u8(at + 9);
    if (r.overrun() || width <= 0 || height <= 0 || planes != 1 || widthBytes <= 0)
        return {};
    if (std::int64_t(widthBytes) * 8 < std::int64_t(width) * bits)
        return {};
    const std::size_t rows = std::size_t(widthBytes) * std::size_t(height);
    if (!r.has(bitsAt, rows) || (bits != 1 && bits != 24 && bits != 32))
        return {};
    QImage img(width, height, bits == 1 ? QImage::Format_Mono : QImage::Format_RGB32);
    if (img.isNull())
        return img;
    if (bits == 1)
        img.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* src = r.data() + bitsAt + std::size_t(y) * std::size_t(widthBytes);
        if (bits == 1) {
            std::memcpy(img.scanLine(y), src, std::size_t(width + 7) / 8);
            continue;
        }
        auto* dst = reinterpret_cast<QRgb*>(img.scanLine(y));
        const int step = bits / 8;
        for (int x = 0; x < width; ++x)
            dst[x] = qRgb(src[step * x + 2], src[step * x + 1], src[step * x]);
    }
    return img;
}

// The rectangles of a region object; its bounds when it has none or more
// than a clip can be worked with.
QPainterPath regionPath(const ByteReader& p)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    const int scans = p.i16(10);
    std::size_t at = 22;
    int rects = 0;
    for (int s = 0; s < scans && p.has(at, 6) && rects <= kMaxRegionRects; ++s) {
        const std::uint16_t count = p.u16(at);
        const int top = p.i16(at + 2), bottom = p.i16(at + 4);
        for (std::size_t k = 0; k + 1 < count && p.has(at + 6 + 2 * k, 4) && rects <= kMaxRegionRects; k += 2) {
            const int left = p.i16(at + 6 + 2 * k), right = p.i16(at + 8 + 2 * k);
            path.addRect(QRectF(QPointF(left, top), QPointF(right, bottom)).normalized());
            ++rects;
        }
        at += 6 + 2 * std::size_t(count) + 2;
    }
    if (rects > 0 && rects <= kMaxRegionRects)
        return path;
    QPainterPath bounds;
    if (p.has(14, 8))
        bounds.addRect(QRectF(QPointF(p.i16(14), p.i16(16)), QPointF(p.i16(18), p.i16(20))).normalized());
    return bounds;
}

}  // namespace

// Header -------------------------------------------------------------------

bool WmfPlayer::looksLikeWmf(const QByteArray& data)
{
    const ByteReader r(reinterpret_cast<const std::uint8_t*>(data.constData()), std::size_t(data.size()));
    if (r.u32(0) == kPlaceableKey)
        return true;
    const std::uint16_t type = r.u16(0), headerWords = r.u16(2), version = r.u16(4);
    return !r.overrun() && (type == 1 || type == 2) && headerWords == 9 && (version == 0x0100 || version == 0x0300);
}

WmfPlayer::WmfPlayer(const QByteArray& data)
    : data_(data)
{
    const ByteReader r(reinterpret_cast<const std::uint8_t*>(data_.constData()), std::size_t(data_.size()));
    std::size_t at = 0;
    if (r.u32(0) == kPlaceableKey) {
        if (!readPlaceableHeader(r))
            return;
        at = kPlaceableSize;
    }
    if (!readHeader(r.sub(at, r.size() - std::min(at, r.size()))))
        return;
    recordsAt_ += at;
    if (!checkRecords())
        return;
    if (!placeable_ && !sizeFromWindow())
        return;
    valid_ = true;
}

bool WmfPlayer::fail(const QString& why)
{
    error_ = why;
    valid_ = false;
    return false;
}

bool WmfPlayer::readPlaceableHeader(const ByteReader& r)
{
    if (!r.has(0, kPlaceableSize))
        return fail(QStringLiteral("truncated placeable header"));
    placeable_ = true;
    const int left = r.i16(6), top = r.i16(8), right = r.i16(10), bottom = r.i16(12);
    inch_ = r.u16(14);
    if (inch_ == 0)
        return fail(QStringLiteral("placeable header with 0 units per inch"));
    box_ = QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
    const double w = std::abs(double(right) - left) * 96 / inch_;
    const double h = std::abs(double(bottom) - top) * 96 / inch_;
    size_ = QSize(int(std::lround(w)), int(std::lround(h)));
    if (size_.isEmpty())
        return fail(QStringLiteral("metafile size is 0"));
    return true;
}

bool WmfPlayer::readHeader(const ByteReader& r)
{
    if (!r.has(0, kHeaderSize))
        return fail(QStringLiteral("truncated header"));
    const std::uint16_t type = r.u16(0), headerWords = r.u16(2), version = r.u16(4);
    if ((type != 1 && type != 2) || headerWords < 9 || (version != 0x0100 && version != 0x0300))
        return fail(QStringLiteral("not a Windows metafile"));
    objects_ = r.u16(10);
    recordsAt_ = std::size_t(headerWords) * 2;
    if (recordsAt_ > r.size())
        return fail(QStringLiteral("truncated header"));
    return true;
}

template <typename F>
void WmfPlayer::forEachRecord(F&& f) const
{
    const ByteReader r(reinterpret_cast<const std::uint8_t*>(data_.constData()), std::size_t(data_.size()));
    std::size_t at = recordsAt_;
    while (r.has(at, 6)) {
        Record rec;
        rec.words = r.u32(at);
        rec.function = r.u16(at + 4);
        if (rec.words < 3 || !r.has(at, std::size_t(rec.words) * 2))
            return;
        rec.params = r.sub(at + 6, std::size_t(rec.words) * 2 - 6);
        if (rec.function == META_EOF || !f(rec))
            return;
        at += std::size_t(rec.words) * 2;
    }
}

bool WmfPlayer::checkRecords()
{
    const ByteReader r(reinterpret_cast<const std::uint8_t*>(data_.constData()), std::size_t(data_.size()));
    std::size_t at = recordsAt_;
    while (at < r.size()) {
        if (!r.has(at, 6))
            return fail(QStringLiteral("truncated record"));
        const std::uint32_t words = r.u32(at);
        if (words < 3)
            return fail(QStringLiteral("record of %1 words").arg(words));
        if (!r.has(at, std::size_t(words) * 2))
            return fail(QStringLiteral("truncated record"));
        if (r.u16(at + 4) == META_EOF)
            return true;
        at += std::size_t(words) * 2;
    }
    if (at == recordsAt_)
        return fail(QStringLiteral("no records"));
    return true;
}

// Without a placeable header the window the records set gives the size.
bool WmfPlayer::sizeFromWindow()
{
    QPoint org;
    QSize ext;
    forEachRecord([&](const Record& rec) {
        if (rec.function == META_SETWINDOWORG && org.isNull())
            org = pointYX(rec.params, 0).toPoint();
        if (rec.function == META_SETWINDOWEXT) {
            ext = QSize(rec.params.i16(2), rec.params.i16(0));
            return false;
        }
        return true;
    });
    if (ext.width() == 0 || ext.height() == 0)
        return fail(QStringLiteral("metafile size is 0"));
    box_ = QRect(org, ext);
    double w = std::abs(ext.width()), h = std::abs(ext.height());
    const double largest = std::max(w, h);
    if (largest > kLargestPlainSide) {
        w = w * kLargestPlainSide / largest;
        h = h * kLargestPlainSide / largest;
    }
    size_ = QSize(std::max(1, int(std::lround(w))), std::max(1, int(std::lround(h))));
    return true;
}

// Playing --------------------------------------------------------------------

void WmfPlayer::play(QPainter& painter, const QRectF& target) const
{
    if (!valid_ || target.isEmpty())
        return;
    // the device is the picture at its nominal size, placed on the target
    const QTransform toTarget = QTransform::fromScale(target.width() / size_.width(), target.height() / size_.height()) *
                                QTransform::fromTranslate(target.x(), target.y());
    const QRectF painted = playOnce(painter, toTarget);
    // a header whose box misses the whole drawing: show the drawing instead
    if (!painted.isEmpty() && !painted.intersects(target))
        playOnce(painter, GdiDevice::fitting(toTarget.inverted().mapRect(painted), target));
}

QRectF WmfPlayer::playOnce(QPainter& painter, const QTransform& toTarget) const
{
    GdiDevice dc(painter, toTarget);
    dc.setObjectTableSize(objects_);
    GdiMapping& m = dc.mapping();
    m.setMapMode(GdiMapping::MM_ANISOTROPIC);
    m.setWindowOrg(box_.topLeft());
    m.setWindowExt(QSizeF(box_.width(), box_.height()));
    m.setViewportExt(QSizeF(size_.width(), size_.height()));
    forEachRecord([&](const Record& rec) {
        playRecord(dc, rec);
        return true;
    });
    return dc.paintedBounds();
}

void WmfPlayer::playRecord(GdiDevice& dc, const Record& rec) const
{
    switch (rec.function) {
    case META_SAVEDC: case META_RESTOREDC: case META_SETBKMODE: case META_SETROP2: case META_SETPOLYFILLMODE:
    case META_SETSTRETCHBLTMODE: case META_SETTEXTCHAREXTRA: case META_SETTEXTALIGN: case META_SETBKCOLOR:
    case META_SETTEXTCOLOR:
        playState(dc, rec);
        break;
    case META_SETMAPMODE: case META_SETWINDOWORG: case META_SETWINDOWEXT: case META_OFFSETWINDOWORG:
    case META_SCALEWINDOWEXT:
        playMapping(dc, rec);
        break;
    case META_SELECTOBJECT: case META_DELETEOBJECT: case META_CREATEPENINDIRECT: case META_CREATEBRUSHINDIRECT:
    case META_CREATEFONTINDIRECT: case META_DIBCREATEPATTERNBRUSH: case META_CREATEPATTERNBRUSH:
    case META_CREATEPALETTE: case META_SELECTPALETTE: case META_SETPALENTRIES: case META_CREATEREGION:
        playObject(dc, rec);
        break;
    case META_LINETO: case META_MOVETO: case META_POLYGON: case META_POLYLINE: case META_POLYPOLYGON:
    case META_RECTANGLE: case META_ELLIPSE: case META_ROUNDRECT: case META_ARC: case META_PIE: case META_CHORD:
    case META_SETPIXEL:
        playShape(dc, rec);
        break;
    case META_TEXTOUT: case META_EXTTEXTOUT:
        playText(dc, rec);
        break;
    case META_PATBLT: case META_BITBLT: case META_STRETCHBLT: case META_DIBBITBLT: case META_DIBSTRETCHBLT:
    case META_STRETCHDIB: case META_SETDIBTODEV:
        playBitmap(dc, rec);
        break;
    case META_SELECTCLIPREGION: case META_EXCLUDECLIPRECT: case META_INTERSECTCLIPRECT: case META_OFFSETCLIPRGN:
    case META_FILLREGION: case META_FRAMEREGION: case META_PAINTREGION: case META_INVERTREGION:
        playRegion(dc, rec);
        break;
    default:
        break;  // escapes, palette animation, flood fills: nothing to draw
    }
}

void WmfPlayer::playState(GdiDevice& dc, const Record& rec) const
{
    const ByteReader& p = rec.params;
    GdiState& s = dc.state();
    if (rec.function == META_SAVEDC) {
        dc.saveDC();
        return;
    }
    if (!p.has(0, 2))
        return;
    switch (rec.function) {
    case META_RESTOREDC: dc.restoreDC(p.i16(0)); break;
    case META_SETBKMODE: s.bkMode = p.u16(0); break;
    case META_SETROP2: s.rop2 = p.u16(0); break;
    case META_SETPOLYFILLMODE: s.polyFillMode = p.u16(0); break;
    case META_SETSTRETCHBLTMODE: s.stretchMode = p.u16(0); break;
    case META_SETTEXTCHAREXTRA: s.charExtra = p.i16(0); break;
    case META_SETTEXTALIGN: s.textAlign = p.u16(0); break;
    case META_SETBKCOLOR:
        if (p.has(0, 4))
            s.bkColor = dc.color(p.u32(0));
        break;
    case META_SETTEXTCOLOR:
        if (p.has(0, 4))
            s.textColor = dc.color(p.u32(0));
        break;
    default: break;
    }
}

void WmfPlayer::playMapping(GdiDevice& dc, const Record& rec) const
{
    const ByteReader& p = rec.params;
    GdiMapping& m = dc.mapping();
    switch (rec.function) {
    case META_SETMAPMODE:
        // the viewport is the target: only the isotropic choice counts
        if (p.has(0, 2))
            m.setMapMode(p.u16(0) == GdiMapping::MM_ISOTROPIC ? GdiMapping::MM_ISOTROPIC : GdiMapping::MM_ANISOTROPIC);
        break;
    case META_SETWINDOWORG:
        if (p.has(0, 4))
            m.setWindowOrg(pointYX(p, 0));
        break;
    case META_SETWINDOWEXT:
        if (p.has(0, 4))
            m.setWindowExt(QSizeF(p.i16(2), p.i16(0)));
        break;
    case META_OFFSETWINDOWORG:
        if (p.has(0, 4))
            m.offsetWindowOrg(pointYX(p, 0));
        break;
    case META_SCALEWINDOWEXT:
        if (p.has(0, 8))
            m.scaleWindowExt(p.i16(6), p.i16(4), p.i16(2), p.i16(0));
        break;
    default: break;
    }
}

void WmfPlayer::playObject(GdiDevice& dc, const Record& rec) const
{
    const ByteReader& p = rec.params;
    switch (rec.function) {
    case META_SELECTOBJECT:
    case META_SELECTPALETTE:
        if (p.has(0, 2))
            dc.selectObject(p.u16(0));
        return;
    case META_DELETEOBJECT:
        if (p.has(0, 2))
            dc.deleteObject(p.u16(0));
        return;
    case META_SETPALENTRIES: {
        const std::uint16_t start = p.u16(0), count = p.u16(2);
        QList<QRgb>& pal = dc.state().palette;
        for (std::uint32_t i = 0; i < count && p.has(4 + 4 * i, 4) && start + i < 1024; ++i) {
            if (pal.size() <= qsizetype(start + i))
                pal.resize(start + i + 1);
            pal[start + i] = qRgb(p.u8(4 + 4 * i), p.u8(5 + 4 * i), p.u8(6 + 4 * i));
        }
        return;
    }
    default: break;
    }

    // Creating records take the lowest free slot even when their contents
    // are unusable, so later indices stay right.
    gdi::Object object;
    switch (rec.function) {
    case META_CREATEPENINDIRECT: {
        gdi::Pen pen;
        pen.style = p.u16(0);
        pen.width = std::abs(p.i16(2));
        pen.color = dc.color(p.u32(6));
        object = pen;
        break;
    }
    case META_CREATEBRUSHINDIRECT: {
        gdi::Brush brush;
        brush.style = p.u16(0);
        brush.color = dc.color(p.u32(2));
        brush.hatch = p.u16(6);
        if (brush.style != gdi::BS_NULL && brush.style != gdi::BS_HATCHED)
            brush.style = gdi::BS_SOLID;
        object = brush;
        break;
    }
    case META_CREATEFONTINDIRECT: {
        gdi::Font font;
        font.height = p.i16(0);
        font.width = p.i16(2);
        font.escapement = p.i16(4);
        font.orientation = p.i16(6);
        font.weight = p.i16(8);
        font.italic = p.u8(10);
        font.underline = p.u8(11);
        font.strikeOut = p.u8(12);
        font.charSet = p.u8(13);
        font.pitchAndFamily = p.u8(17);
        font.faceName = faceName(p, 18, font.charSet);
        object = font;
        break;
    }
    case META_DIBCREATEPATTERNBRUSH: {
        gdi::Brush brush;
        brush.style = gdi::BS_DIBPATTERN;
        brush.pattern = dibrecord::packedImage(p.sub(4, p.size() - std::min<std::size_t>(4, p.size())), p.u16(2),
                                               dc.palette());
        brush.monochrome = p.u16(0) == gdi::BS_PATTERN && brush.pattern.depth() == 1;
        if (brush.pattern.isNull())
            brush.style = gdi::BS_SOLID, brush.color = Qt::gray;
        object = brush;
        break;
    }
    case META_CREATEPATTERNBRUSH: {
        gdi::Brush brush;
        brush.style = gdi::BS_PATTERN;
        // a 14-byte bitmap header, 18 reserved bytes, then the rows
        const QImage bits = bitmap16(p, 0, 32);
        brush.pattern = bits;
        brush.monochrome = bits.depth() == 1;
        if (bits.isNull())
            brush.style = gdi::BS_SOLID, brush.color = Qt::gray;
        object = brush;
        break;
    }
    case META_CREATEPALETTE: {
        gdi::Palette pal;
        const std::uint16_t count = p.u16(2);
        for (std::uint32_t i = 0; i < count && p.has(4 + 4 * i, 4); ++i)
            pal.colors.append(qRgb(p.u8(4 + 4 * i), p.u8(5 + 4 * i), p.u8(6 + 4 * i)));
        object = pal;
        break;
    }
    case META_CREATEREGION:
        object = gdi::Region{regionPath(p)};
        break;
    default: break;
    }
    dc.addObject(std::move(object));
}

void WmfPlayer::playShape(GdiDevice& dc, const Record& rec) const
{
    const ByteReader& p = rec.params;
    switch (rec.function) {
    case META_LINETO:
        if (p.has(0, 4))
            dc.lineTo(pointYX(p, 0));
        break;
    case META_MOVETO:
        if (p.has(0, 4))
            dc.moveTo(pointYX(p, 0));
        break;
    case META_POLYGON:
    case META_POLYLINE: {
        QPolygonF points;
        if (!p.has(0, 2) || !readPoints(p, 2, p.u16(0), points))
            break;
        if (rec.function == META_POLYGON)
            dc.polygon(points);
        else
            dc.polyline(points);
        break;
    }
    case META_POLYPOLYGON: {
        const std::uint16_t n = p.u16(0);
        if (!p.has(2, 2 * std::size_t(n)))
            break;
        QList<QPolygonF> polygons;
        std::size_t at = 2 + 2 * std::size_t(n);
        for (std::uint16_t i = 0; i < n; ++i) {
            QPolygonF poly;
            const std::uint16_t count = p.u16(2 + 2 * std::size_t(i));
            if (!readPoints(p, at, count, poly))
                return;
            polygons.append(poly);
            at += 4 * std::size_t(count);
        }
        dc.polyPolygon(polygons);
        break;
    }
    case META_RECTANGLE:
        if (p.has(0, 8))
            dc.rectangle(boxBRTL(p, 0));
        break;
    case META_ELLIPSE:
        if (p.has(0, 8))
            dc.ellipse(boxBRTL(p, 0));
        break;
    case META_ROUNDRECT:
        if (p.has(0, 12))
            dc.roundRect(boxBRTL(p, 4), QSizeF(p.i16(2), p.i16(0)));
        break;
    case META_ARC: case META_PIE: case META_CHORD: {
        if (!p.has(0, 16))
            break;
        const GdiDevice::ArcKind kind = rec.function == META_ARC ? GdiDevice::Arc
                                        : rec.function == META_PIE ? GdiDevice::Pie
                                                                   : GdiDevice::Chord;
        dc.arc(boxBRTL(p, 8), pointYX(p, 4), pointYX(p, 0), kind);
        break;
    }
    case META_SETPIXEL:
        if (p.has(0, 8))
            dc.setPixel(pointYX(p, 4), dc.color(p.u32(0)));
        break;
    default: break;
    }
}

void WmfPlayer::playText(GdiDevice& dc, const Record& rec) const
{
    const ByteReader& p = rec.params;
    const gdi::Font& font = dc.state().font;
    if (rec.function == META_TEXTOUT) {
        const std::uint16_t len = p.u16(0);
        const std::size_t padded = (std::size_t(len) + 1) & ~std::size_t(1);
        if (!p.has(2, padded + 4))
            return;
        const QString text = gditext::decode(bytesAt(p, 2, len), font.charSet, font.faceName);
        dc.text(pointYX(p, 2 + padded), text, {}, 0, std::nullopt);
        return;
    }
    if (!p.has(0, 8))
        return;
    const QPointF origin = pointYX(p, 0);
    const std::uint16_t len = p.u16(4), options = p.u16(6);
    std::size_t at = 8;
    std::optional<QRectF> rect;
    if (options & (GdiDevice::ETO_OPAQUE | GdiDevice::ETO_CLIPPED)) {
        if (!p.has(at, 8))
            return;
        rect = QRectF(QPointF(p.i16(at), p.i16(at + 2)), QPointF(p.i16(at + 4), p.i16(at + 6)));
        at += 8;
    }
    if (!p.has(at, len))
        return;
    const QString text = gditext::decode(bytesAt(p, at, len), font.charSet, font.faceName);
    at += (std::size_t(len) + 1) & ~std::size_t(1);
    QList<double> dx;
    if (text.size() == len && p.has(at, 2 * std::size_t(len))) {
        for (std::size_t i = 0; i < len; ++i)
            dx.append(p.i16(at + 2 * i));
    }
    dc.text(origin, text, dx, options, rect);
}

void WmfPlayer::playBitmap(GdiDevice& dc, const Record& rec) const
{
    const ByteReader& p = rec.params;
    if (!p.has(0, 4))
        return;
    const std::uint32_t rop = p.u32(0);
    // the blit records carry a bitmap unless their size is that of the bare form
    const bool withBitmap = rec.words != std::uint32_t(rec.function >> 8) + 3;
    auto tail = [&](std::size_t at) { return p.sub(at, p.size() - std::min(at, p.size())); };
    switch (rec.function) {
    case META_PATBLT:
        if (p.has(0, 12))
            dc.patBlt(QRectF(pointYX(p, 8), QSizeF(p.i16(6), p.i16(4))), rop);
        break;
    case META_DIBBITBLT:
    case META_BITBLT: {
        if (!withBitmap) {
            if (p.has(0, 18))
                dc.patBlt(QRectF(pointYX(p, 14), QSizeF(p.i16(12), p.i16(10))), rop);
            break;
        }
        if (!p.has(0, 16))
            break;
        const QImage img = rec.function == META_DIBBITBLT ? dibrecord::packedImage(tail(16), 0, dc.palette())
                                                           : bitmap16(p, 16, 26);
        const QSizeF size(p.i16(10), p.i16(8));
        dc.image(QRectF(pointYX(p, 12), size), img, QRectF(pointYX(p, 4), size), rop);
        break;
    }
    case META_DIBSTRETCHBLT:
    case META_STRETCHBLT: {
        if (!withBitmap) {
            if (p.has(0, 22))
                dc.patBlt(QRectF(pointYX(p, 18), QSizeF(p.i16(16), p.i16(14))), rop);
            break;
        }
        if (!p.has(0, 20))
            break;
        const QImage img = rec.function == META_DIBSTRETCHBLT ? dibrecord::packedImage(tail(20), 0, dc.palette())
                                                               : bitmap16(p, 20, 30);
        dc.image(QRectF(pointYX(p, 16), QSizeF(p.i16(14), p.i16(12))), img,
                 QRectF(pointYX(p, 8), QSizeF(p.i16(6), p.i16(4))), rop);
        break;
    }
    case META_STRETCHDIB: {
        if (!p.has(0, 22))
            break;
        const ByteReader dib = tail(22);
        const QImage img = dibrecord::packedImage(dib, p.u16(4), dc.palette());
        const QRectF src(pointYX(p, 10), QSizeF(p.i16(8), p.i16(6)));
        dc.image(QRectF(pointYX(p, 18), QSizeF(p.i16(16), p.i16(14))), img,
                 dibrecord::sourceRect(src, img.height(), dibrecord::bottomUp(dib)), rop);
        break;
    }
    case META_SETDIBTODEV: {
        if (!p.has(0, 18))
            break;
        const ByteReader dib = tail(18);
        const QImage img = dibrecord::packedImage(dib, p.u16(0), dc.palette());
        const QSizeF size(p.i16(12), p.i16(10));
        const QRectF src(pointYX(p, 6), size);
        dc.image(QRectF(pointYX(p, 14), size), img, dibrecord::sourceRect(src, img.height(), dibrecord::bottomUp(dib)),
                 GdiDevice::SRCCOPY);
        break;
    }
    default: break;
    }
}

void WmfPlayer::playRegion(GdiDevice& dc, const Record& rec) const
{
    const ByteReader& p = rec.params;
    auto regionAt = [&](std::size_t at) -> const gdi::Region* {
        const gdi::Object* o = p.has(at, 2) ? dc.object(p.u16(at)) : nullptr;
        return o ? std::get_if<gdi::Region>(o) : nullptr;
    };
    auto brushAt = [&](std::size_t at) -> const gdi::Brush* {
        const gdi::Object* o = p.has(at, 2) ? dc.object(p.u16(at)) : nullptr;
        return o ? std::get_if<gdi::Brush>(o) : nullptr;
    };
    const QTransform t = dc.logicalToPainter();
    switch (rec.function) {
    case META_SELECTCLIPREGION:
        if (dc.clipFrozen())
            break;
        if (const gdi::Region* r = regionAt(0))
            dc.selectClip(t.map(r->path), GdiDevice::RGN_COPY);
        else
            dc.selectClip(std::nullopt, GdiDevice::RGN_COPY);
        break;
    case META_EXCLUDECLIPRECT:
        if (p.has(0, 8))
            dc.excludeClipRect(boxBRTL(p, 0));
        break;
    case META_INTERSECTCLIPRECT:
        if (p.has(0, 8))
            dc.intersectClipRect(boxBRTL(p, 0));
        break;
    case META_OFFSETCLIPRGN:
        if (p.has(0, 4))
            dc.offsetClip(pointYX(p, 0));
        break;
    case META_FILLREGION:
        if (const gdi::Region* r = regionAt(0); r && brushAt(2))
            dc.fillRegion(t.map(r->path), *brushAt(2));
        break;
    case META_FRAMEREGION:
        if (const gdi::Region* r = regionAt(0); r && brushAt(2) && p.has(4, 4))
            dc.frameRegion(t.map(r->path), *brushAt(2), QSizeF(p.i16(6), p.i16(4)));
        break;
    case META_PAINTREGION:
        if (const gdi::Region* r = regionAt(0))
            dc.fillRegion(t.map(r->path), dc.state().brush);
        break;
    case META_INVERTREGION:
        if (const gdi::Region* r = regionAt(0))
            dc.invertRegion(t.map(r->path));
        break;
    default: break;
    }
}
