#include "annotationpainter.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>
#include <optional>

#include "dibcore/depthconvert.h"
#include "dibcore/dibcore.h"
#include "dibcore/dibguard.h"
#include "dibcore/dibview.h"
#include "dibcore/nearestcolor.h"

namespace annotationpaint {

using annotation::Kind;
using annotation::Object;

namespace {

QColor colorOf(std::uint32_t bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

Qt::PenStyle penStyleOf(int style)
{
    static const Qt::PenStyle styles[] = {Qt::SolidLine,      Qt::DashLine,        Qt::DotLine,
                                          Qt::DashDotLine,    Qt::DashDotDotLine,  Qt::NoPen};
    return style >= 0 && style <= 5 ? styles[style] : Qt::SolidLine;
}

QPen penOf(const Object& o)
{
    QPen pen(colorOf(o.foreColor), o.penWidth, penStyleOf(o.penStyle));
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(o.kind == Kind::Freehand ? Qt::RoundCap : Qt::SquareCap);
    return pen;
}

QBrush brushOf(const Object& o)
{
    if (!o.opaque)
        return Qt::NoBrush;
    static const Qt::BrushStyle hatches[] = {Qt::HorPattern,   Qt::VerPattern,   Qt::FDiagPattern,
                                             Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
    const Qt::BrushStyle style = o.hatch >= 0 && o.hatch < 6 ? hatches[o.hatch] : Qt::SolidPattern;
    return QBrush(colorOf(o.backColor), style);
}

QRectF boxOf(const Object& o)
{
    const annotation::Rect r = o.bounds();
    return QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom));
}

QPolygonF polygonOf(const Object& o)
{
    QPolygonF poly;
    poly.reserve(qsizetype(o.points.size()));
    for (const annotation::Point& p : o.points)
        poly << QPointF(p.x, p.y);
    return poly;
}

QFont fontOf(const Object& o, bool bold = false)
{
    QFont font(QString::fromStdString(o.fontName));
    font.setPixelSize(std::max(1, o.fontHeight));
    font.setBold(bold);
    return font;
}

void paintPointer(QPainter& p, const Object& o)
{
    const QPointF from(o.points[0].x, o.points[0].y);
    const QPointF to(o.points[1].x, o.points[1].y);
    const double length = std::hypot(to.x() - from.x(), to.y() - from.y());
    const double head = std::max(10.0, 3.0 * o.penWidth);
    if (length < 1)
        return;
    const double ux = (to.x() - from.x()) / length, uy = (to.y() - from.y()) / length;
    const QPointF base(to.x() - ux * head, to.y() - uy * head);
    const QPointF side(-uy * head / 2, ux * head / 2);
    p.drawLine(from, length > head ? base : from);
    p.setBrush(colorOf(o.foreColor));
    QPen outline(colorOf(o.foreColor), 1);
    p.setPen(outline);
    p.drawPolygon(QPolygonF{to, base + side, base - side});
}

void paintText(QPainter& p, const Object& o, const QRectF& box, std::uint32_t background, bool fill)
{
    if (fill)
        p.fillRect(box, colorOf(background));
    p.setFont(fontOf(o));
    p.setPen(colorOf(o.fontColor));
    const double margin = std::min(4.0, box.width() / 4);
    p.drawText(box.adjusted(margin, margin, -margin, -margin), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop,
               QString::fromStdString(o.text));
}

void paintNote(QPainter& p, const Object& o)
{
    QRectF box = boxOf(o);
    if (o.iconic)
        box.setSize(QSizeF(std::min(box.width(), 24.0), std::min(box.height(), 24.0)));
    p.setBrush(colorOf(o.backColor));
    p.setPen(penOf(o));
    p.drawRect(box);
    if (o.iconic) {
        // a folded corner stands for the hidden text
        const QPointF corner = box.topRight();
        const double fold = box.width() / 3;
        p.drawPolygon(QPolygonF{corner, corner + QPointF(-fold, 0), corner + QPointF(0, fold)});
        return;
    }
    paintText(p, o, box, o.backColor, false);
}

void paintLabel(QPainter& p, const Object& o)
{
    const QRectF box = boxOf(o);
    p.setBrush(o.opaque ? brushOf(o) : QBrush(Qt::NoBrush));
    p.setPen(penOf(o));
    p.drawRect(box);
    // the text on its own background, as large as the text
    p.setFont(fontOf(o));
    const QString text = QString::fromStdString(o.text);
    const int flags = Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop;
    const QRectF textBox = p.boundingRect(box.adjusted(4, 4, -4, -4), flags, text).intersected(box);
    p.fillRect(textBox.adjusted(-2, -2, 2, 2).intersected(box), colorOf(o.fontBackColor));
    p.setPen(colorOf(o.fontColor));
    p.drawText(textBox, flags, text);
}

QImage pictureOf(const Object& o)
{
    if (o.imageWidth <= 0 || o.imageHeight <= 0 ||
        o.imagePixels.size() != std::size_t(o.imageWidth) * std::size_t(o.imageHeight) * 4)
        return {};
    return QImage(o.imagePixels.data(), o.imageWidth, o.imageHeight, o.imageWidth * 4, QImage::Format_ARGB32);
}

void paintStamp(QPainter& p, const Object& o)
{
    const QRectF box = boxOf(o);
    const QImage picture = pictureOf(o);
    if (!picture.isNull()) {
        p.drawImage(box, picture);
        return;
    }
    QPen pen(colorOf(o.foreColor), std::max(2, o.penWidth));
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(box, 6, 6);
    p.setFont(fontOf(o, true));
    p.drawText(box, Qt::AlignCenter | Qt::TextWordWrap, QString::fromStdString(o.text));
}

void paintImage(QPainter& p, const Object& o)
{
    const QRectF box = boxOf(o);
    const QImage picture = pictureOf(o);
    if (picture.isNull()) {
        p.setPen(QPen(colorOf(o.foreColor), 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(box);
        return;
    }
    p.drawImage(box, picture);
}

void paintObject(QPainter& p, const Object& o)
{
    if (o.points.empty())
        return;
    p.setPen(penOf(o));
    p.setBrush(brushOf(o));
    switch (o.kind) {
    case Kind::PolyLine:
        p.drawPolyline(polygonOf(o));
        break;
    case Kind::Freehand:
        if (o.points.size() == 1)
            p.drawPoint(QPointF(o.points[0].x, o.points[0].y));
        else
            p.drawPolyline(polygonOf(o));
        break;
    case Kind::Polygon:
        p.drawPolygon(polygonOf(o));
        break;
    case Kind::Ellipse:
        p.drawEllipse(boxOf(o));
        break;
    case Kind::Rectangle:
        p.drawRect(boxOf(o));
        break;
    case Kind::Line:
        p.drawLine(QPointF(o.points[0].x, o.points[0].y), QPointF(o.points[1].x, o.points[1].y));
        break;
    case Kind::Pointer:
        paintPointer(p, o);
        break;
    case Kind::Notes:
        paintNote(p, o);
        break;
    case Kind::Label:
        paintLabel(p, o);
        break;
    case Kind::Hilite: {
        // a marker pen: the colour darkens what lies under it
        const QPainter::CompositionMode mode = p.compositionMode();
        p.setCompositionMode(QPainter::CompositionMode_Multiply);
        p.fillRect(boxOf(o), colorOf(o.backColor));
        p.setCompositionMode(mode);
        break;
    }
    case Kind::RubberStamp:
        paintStamp(p, o);
        break;
    case Kind::Image:
        paintImage(p, o);
        break;
    }
}

// The pixel of a 24-bit row.
QRgb rgbAt(const std::uint8_t* row, int x)
{
    const std::uint8_t* px = row + 3 * x;
    return qRgb(px[2], px[1], px[0]);
}

unsigned maskValue(std::uint32_t mask, int channel)
{
    if (mask == 0)
        return 0;
    int shift = 0;
    while (!((mask >> shift) & 1))
        ++shift;
    const std::uint32_t top = mask >> shift;
    return (unsigned(std::lround(channel * double(top) / 255.0)) & top) << shift;
}

// Writes colour c into pixel x of a row of the DIB's depth.
void putPixel(const dibcore::DibView& view, std::uint8_t* row, int x, QRgb c, dibcore::NearestColor* nearest)
{
    switch (view.bitCount()) {
    case 32: {
        std::uint8_t* px = row + 4 * x;
        if (view.compression() == dibcore::kBiBitfields) {
            const std::uint32_t v = maskValue(view.redMask(), qRed(c)) | maskValue(view.greenMask(), qGreen(c)) |
                                    maskValue(view.blueMask(), qBlue(c)) | (dibcore::le32(px) & ~(view.redMask() | view.greenMask() | view.blueMask()));
            dibcore::putLe32(px, v);
        } else {
            px[0] = std::uint8_t(qBlue(c)), px[1] = std::uint8_t(qGreen(c)), px[2] = std::uint8_t(qRed(c));
        }
        break;
    }
    case 24: {
        std::uint8_t* px = row + 3 * x;
        px[0] = std::uint8_t(qBlue(c)), px[1] = std::uint8_t(qGreen(c)), px[2] = std::uint8_t(qRed(c));
        break;
    }
    case 16: {
        const unsigned v = maskValue(view.redMask(), qRed(c)) | maskValue(view.greenMask(), qGreen(c)) |
                           maskValue(view.blueMask(), qBlue(c));
        dibcore::putLe16(row + 2 * x, std::uint16_t(v));
        break;
    }
    default:
        if (nearest)
            dibcore::setIndex(row, x, view.bitCount(), unsigned(nearest->index(qRed(c), qGreen(c), qBlue(c))));
        break;
    }
}

}  // namespace

void paint(QPainter& painter, const std::vector<Object>& objects, const View& view, const Hooks& hooks)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.translate(view.offsetX, view.offsetY);
    painter.scale(view.scale, view.scale);
    painter.translate(-view.originX, -view.originY);
    for (const Object& o : objects) {
        const char* name = annotation::kindName(o.kind);
        if (hooks.before && !hooks.before(name))
            continue;
        painter.save();
        paintObject(painter, o);
        painter.restore();
        if (hooks.after)
            hooks.after(name);
    }
    painter.restore();
}

void paintHandles(QPainter& painter, const std::vector<annotation::Point>& handles, const View& view)
{
    painter.save();
    painter.setPen(Qt::white);
    painter.setBrush(Qt::black);
    for (const annotation::Point& p : handles) {
        const QPointF at((p.x - view.originX) * view.scale + view.offsetX, (p.y - view.originY) * view.scale + view.offsetY);
        painter.drawRect(QRectF(at.x() - 3, at.y() - 3, 6, 6));
    }
    painter.restore();
}

void paintFrame(QPainter& painter, annotation::Point a, annotation::Point b, const View& view)
{
    const auto device = [&view](annotation::Point p) {
        return QPointF((p.x - view.originX) * view.scale + view.offsetX, (p.y - view.originY) * view.scale + view.offsetY);
    };
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
    painter.drawRect(QRectF(device(a), device(b)).normalized());
    painter.restore();
}

bool burn(GlobalHandle dib, const std::vector<Object>& objects, const Hooks& hooks)
{
    if (!globalmem::isValid(dib))
        return false;
    void* data = globalmem::lock(dib);
    const dibcore::DibView view(data, globalmem::size(dib));
    bool ok = view.valid() && !view.isRle() && view.width() > 0 && view.height() > 0;
    dibcore::DibGuard rgb(ok ? dibcore::toRgb24(view) : nullptr);
    const dibcore::DibView rgbView = rgb.get() ? dibcore::lockView(rgb.get()) : dibcore::DibView();
    ok = ok && rgbView.valid();
    if (ok) {
        const int w = view.width(), h = view.height();
        QImage before(w, h, QImage::Format_RGB32);
        for (int y = 0; y < h; ++y) {
            const std::uint8_t* src = rgbView.row(y);
            QRgb* dst = reinterpret_cast<QRgb*>(before.scanLine(y));
            for (int x = 0; x < w; ++x)
                dst[x] = rgbAt(src, x);
        }
        QImage after = before.copy();
        {
            QPainter p(&after);
            paint(p, objects, View{}, hooks);
        }
        dibcore::Palette palette(view.colorTable(), view.colorTable() + view.colorCount());
        std::optional<dibcore::NearestColor> nearest;
        if (view.bitCount() <= 8 && !palette.empty())
            nearest.emplace(palette);
        for (int y = 0; y < h; ++y) {
            const QRgb* was = reinterpret_cast<const QRgb*>(before.constScanLine(y));
            const QRgb* now = reinterpret_cast<const QRgb*>(after.constScanLine(y));
            std::uint8_t* row = view.mutableRow(y);
            for (int x = 0; x < w; ++x) {
                if (was[x] != now[x])
                    putPixel(view, row, x, now[x], nearest ? &*nearest : nullptr);
            }
        }
    }
    globalmem::unlock(dib);
    return ok;
}

}  // namespace annotationpaint
