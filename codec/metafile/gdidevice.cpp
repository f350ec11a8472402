#include "gdidevice.h"

#include "gditext.h"

#include <QPainterPathStroker>

#include <algorithm>
#include <cmath>

namespace {

constexpr std::size_t kMaxSavedStates = 4096;
// Painter pixels around the picture within which geometry is drawn whole.
constexpr double kMargin = 1024;
constexpr int kMaxClipElements = 1024;
// Clip path elements a picture may have worked with in all, not counting
// small clips; past that its clip stays as it is, so that no file makes
// clipping cost without end.
constexpr qint64 kClipWorkBudget = 500000;
constexpr qsizetype kSmallClip = 32;

enum Rop2 {
    R2_BLACK = 1, R2_NOTMERGEPEN = 2, R2_MASKNOTPEN = 3, R2_NOTCOPYPEN = 4, R2_MASKPENNOT = 5, R2_NOT = 6,
    R2_XORPEN = 7, R2_NOTMASKPEN = 8, R2_MASKPEN = 9, R2_NOTXORPEN = 10, R2_NOP = 11, R2_MERGENOTPEN = 12,
    R2_COPYPEN = 13, R2_MERGEPENNOT = 14, R2_MERGEPEN = 15, R2_WHITE = 16,
};

enum StockObject {
    WHITE_BRUSH = 0, LTGRAY_BRUSH = 1, GRAY_BRUSH = 2, DKGRAY_BRUSH = 3, BLACK_BRUSH = 4, NULL_BRUSH = 5,
    WHITE_PEN = 6, BLACK_PEN = 7, NULL_PEN = 8, DEFAULT_PALETTE = 15, DC_BRUSH = 18, DC_PEN = 19,
};

double length(QPointF v)
{
    return std::hypot(v.x(), v.y());
}

// Parametric angle, in Qt's degrees, of the ellipse point on the ray from
// the centre through p.
double ellipseAngle(const QRectF& box, QPointF p)
{
    const QPointF c = box.center();
    const double a = box.width() / 2, b = box.height() / 2;
    return std::atan2(-(p.y() - c.y()) / b, (p.x() - c.x()) / a) * 180 / M_PI;
}

// The angle from from to to, counter-clockwise, in (0, 360].
double ccwSweep(double from, double to)
{
    double s = std::fmod(to - from, 360.0);
    if (s <= 1e-9)
        s += 360;
    return s;
}

QVector<qreal> dashesFor(std::uint32_t style, bool cosmetic)
{
    // device-pixel patterns of thin pens; multiples of the width for wide ones
    switch (style & gdi::PS_STYLE_MASK) {
    case gdi::PS_DASH: return cosmetic ? QVector<qreal>{18, 6} : QVector<qreal>{3, 1};
    case gdi::PS_DOT: return cosmetic ? QVector<qreal>{3, 3} : QVector<qreal>{1, 1};
    case gdi::PS_DASHDOT: return cosmetic ? QVector<qreal>{9, 6, 3, 6} : QVector<qreal>{3, 1, 1, 1};
    case gdi::PS_DASHDOTDOT: return cosmetic ? QVector<qreal>{9, 3, 3, 3, 3, 3} : QVector<qreal>{3, 1, 1, 1, 1, 1};
    case gdi::PS_ALTERNATE: return {1, 1};
    default: return {};
    }
}

Qt::BrushStyle hatchStyle(std::uint32_t hatch)
{
    switch (hatch) {
    case gdi::HS_HORIZONTAL: return Qt::HorPattern;
    case gdi::HS_VERTICAL: return Qt::VerPattern;
    case gdi::HS_FDIAGONAL: return Qt::FDiagPattern;
    case gdi::HS_BDIAGONAL: return Qt::BDiagPattern;
    case gdi::HS_CROSS: return Qt::CrossPattern;
    case gdi::HS_DIAGCROSS: return Qt::DiagCrossPattern;
    default: return Qt::SolidPattern;
    }
}

QImage recoloured(const QImage& pattern, const QColor& zero, const QColor& one)
{
    QImage mono = pattern.convertToFormat(QImage::Format_Indexed8);
    if (mono.colorCount() < 2)
        return pattern;
    // index 0 of a monochrome pattern draws in the text colour
    mono.setColor(0, zero.rgb());
    mono.setColor(1, one.rgb());
    return mono;
}

}  // namespace

GdiDevice::GdiDevice(QPainter& painter, const QTransform& deviceToPainter)
    : painter_(painter)
    , base_(painter.worldTransform())
    , deviceToPainter_(deviceToPainter)
    , clipWorkLeft_(kClipWorkBudget)
{
    painter_.save();
    painter_.setRenderHint(QPainter::Antialiasing, true);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
}

GdiDevice::~GdiDevice()
{
    painter_.restore();
}

QTransform GdiDevice::fitting(const QRectF& device, const QRectF& target)
{
    if (device.isEmpty() || target.isEmpty())
        return QTransform::fromTranslate(target.x(), target.y());
    const double scale = std::min(target.width() / device.width(), target.height() / device.height());
    const QPointF offset = target.center() - QPointF(device.width(), device.height()) * scale / 2;
    return QTransform::fromTranslate(-device.x(), -device.y()) * QTransform::fromScale(scale, scale) *
           QTransform::fromTranslate(offset.x(), offset.y());
}

void GdiDevice::reached(const QRectF& r)
{
    if (r.isValid())
        painted_ = painted_.isNull() ? r : painted_.united(r);
}

QTransform GdiDevice::logicalToPainter() const
{
    return state_.mapping.worldTransform() * state_.mapping.pageTransform() * deviceToPainter_;
}

// Objects ------------------------------------------------------------------

void GdiDevice::setObjectTableSize(std::size_t n)
{
    objects_.assign(std::min(n, kMaxObjects), gdi::Object());
    freeSlots_.clear();
    for (std::uint32_t i = 0; i < objects_.size(); ++i)
        freeSlots_.insert(freeSlots_.end(), i);
}

int GdiDevice::addObject(gdi::Object object)
{
    if (freeSlots_.empty()) {
        if (objects_.size() >= kMaxObjects)
            return -1;
        objects_.push_back(std::move(object));
        return int(objects_.size() - 1);
    }
    const std::uint32_t slot = *freeSlots_.begin();
    freeSlots_.erase(freeSlots_.begin());
    objects_[slot] = std::move(object);
    return int(slot);
}

void GdiDevice::setObject(std::uint32_t index, gdi::Object object)
{
    if (index >= kMaxObjects)
        return;
    if (index >= objects_.size())
        objects_.resize(index + 1);
    objects_[index] = std::move(object);
}

const gdi::Object* GdiDevice::object(std::uint32_t index) const
{
    return index < objects_.size() ? &objects_[index] : nullptr;
}

void GdiDevice::selectObject(std::uint32_t index)
{
    if (index & 0x80000000u) {
        selectStockObject(index & 0x7FFFFFFFu);
        return;
    }
    const gdi::Object* o = object(index);
    if (!o)
        return;
    if (const auto* pen = std::get_if<gdi::Pen>(o))
        state_.pen = *pen;
    else if (const auto* brush = std::get_if<gdi::Brush>(o))
        state_.brush = *brush;
    else if (const auto* font = std::get_if<gdi::Font>(o))
        state_.font = *font;
    else if (const auto* palette = std::get_if<gdi::Palette>(o))
        state_.palette = palette->colors;
    else if (const auto* region = std::get_if<gdi::Region>(o))
        selectClip(logicalToPainter().map(region->path), RGN_COPY);
}

void GdiDevice::selectStockObject(std::uint32_t id)
{
    auto solid = [](QColor c) {
        gdi::Brush b;
        b.color = c;
        return b;
    };
    auto pen = [](QColor c, std::uint32_t style) {
        gdi::Pen p;
        p.color = c;
        p.style = style;
        return p;
    };
    switch (id) {
    case WHITE_BRUSH: case DC_BRUSH: state_.brush = solid(Qt::white); break;
    case LTGRAY_BRUSH: state_.brush = solid(QColor(0xC0, 0xC0, 0xC0)); break;
    case GRAY_BRUSH: state_.brush = solid(QColor(0x80, 0x80, 0x80)); break;
    case DKGRAY_BRUSH: state_.brush = solid(QColor(0x40, 0x40, 0x40)); break;
    case BLACK_BRUSH: state_.brush = solid(Qt::black); break;
    case NULL_BRUSH: state_.brush.style = gdi::BS_NULL; break;
    case WHITE_PEN: state_.pen = pen(Qt::white, gdi::PS_SOLID); break;
    case BLACK_PEN: case DC_PEN: state_.pen = pen(Qt::black, gdi::PS_SOLID); break;
    case NULL_PEN: state_.pen = pen(Qt::black, gdi::PS_NULL); break;
    case DEFAULT_PALETTE: state_.palette.clear(); break;
    case 10: case 11: case 12: case 13: case 14: case 16: case 17: state_.font = gdi::Font(); break;
    default: break;
    }
}

void GdiDevice::deleteObject(std::uint32_t index)
{
    if (index >= objects_.size() || std::holds_alternative<std::monostate>(objects_[index]))
        return;
    objects_[index] = std::monostate();
    freeSlots_.insert(index);
}

const QList<QRgb>& GdiDevice::defaultPalette()
{
    static const QList<QRgb> colors = {
        qRgb(0, 0, 0),       qRgb(0x80, 0, 0),       qRgb(0, 0x80, 0),       qRgb(0x80, 0x80, 0),
        qRgb(0, 0, 0x80),    qRgb(0x80, 0, 0x80),    qRgb(0, 0x80, 0x80),    qRgb(0xC0, 0xC0, 0xC0),
        qRgb(0xC0, 0xDC, 0xC0), qRgb(0xA6, 0xCA, 0xF0), qRgb(0xFF, 0xFB, 0xF0), qRgb(0xA0, 0xA0, 0xA4),
        qRgb(0x80, 0x80, 0x80), qRgb(0xFF, 0, 0),       qRgb(0, 0xFF, 0),       qRgb(0xFF, 0xFF, 0),
        qRgb(0, 0, 0xFF),    qRgb(0xFF, 0, 0xFF),    qRgb(0, 0xFF, 0xFF),    qRgb(0xFF, 0xFF, 0xFF),
    };
    return colors;
}

const QList<QRgb>& GdiDevice::palette() const
{
    return state_.palette.isEmpty() ? defaultPalette() : state_.palette;
}

QColor GdiDevice::color(std::uint32_t colorRef) const
{
    if ((colorRef >> 24) == 1) {
        const QList<QRgb>& p = palette();
        const std::uint32_t index = colorRef & 0xFFFF;
        return index < std::uint32_t(p.size()) ? QColor(p.at(index)) : QColor(Qt::black);
    }
    return QColor(int(colorRef & 0xFF), int((colorRef >> 8) & 0xFF), int((colorRef >> 16) & 0xFF));
}

// State ---------------------------------------------------------------------

void GdiDevice::saveDC()
{
    if (saved_.size() < kMaxSavedStates)
        saved_.push_back(state_);
}

void GdiDevice::restoreDC(int which)
{
    std::size_t keep = 0;
    if (which < 0) {
        const std::size_t back = std::size_t(-std::int64_t(which));
        if (back > saved_.size())
            return;
        keep = saved_.size() - back;
    } else {
        if (which == 0 || std::size_t(which) > saved_.size())
            return;
        keep = std::size_t(which) - 1;
    }
    state_ = saved_[keep];
    saved_.resize(keep);
    clipChanged();
}

// Pens, brushes and raster operations -----------------------------------------

double GdiDevice::penScale() const
{
    const QTransform t = logicalToPainter();
    return length(t.map(QPointF(1, 0)) - t.map(QPointF(0, 0)));
}

QPen GdiDevice::qtPen() const
{
    const gdi::Pen& p = state_.pen;
    QPen pen(ropColor_.value_or(p.color));
    const double width = p.width * penScale();
    const bool thin = p.width <= 0 || width <= 1;
    pen.setWidthF(thin ? 1.0 : width);
    switch (p.style & gdi::PS_ENDCAP_MASK) {
    case gdi::PS_ENDCAP_SQUARE: pen.setCapStyle(Qt::SquareCap); break;
    case gdi::PS_ENDCAP_FLAT: pen.setCapStyle(Qt::FlatCap); break;
    default: pen.setCapStyle(Qt::RoundCap); break;
    }
    switch (p.style & gdi::PS_JOIN_MASK) {
    case gdi::PS_JOIN_BEVEL: pen.setJoinStyle(Qt::BevelJoin); break;
    case gdi::PS_JOIN_MITER:
        pen.setJoinStyle(Qt::MiterJoin);
        pen.setMiterLimit(state_.miterLimit);
        break;
    default: pen.setJoinStyle(Qt::RoundJoin); break;
    }
    const std::uint32_t style = p.style & gdi::PS_STYLE_MASK;
    if (style == gdi::PS_USERSTYLE && !p.dashes.isEmpty()) {
        QVector<qreal> dashes;
        const double unit = thin ? 1.0 : width;
        for (double d : p.dashes)
            dashes.append(std::max(0.01, d * penScale() / unit));
        if (dashes.size() % 2)
            dashes.append(dashes.last());
        pen.setDashPattern(dashes);
    } else if (thin || p.geometric) {
        // old-style pens wider than a pixel draw solid
        const QVector<qreal> dashes = dashesFor(style, thin);
        if (!dashes.isEmpty()) {
            pen.setCapStyle(Qt::FlatCap);
            pen.setDashPattern(dashes);
        }
    }
    return pen;
}

QBrush GdiDevice::qtBrush(const gdi::Brush& b) const
{
    if (ropColor_)
        return QBrush(*ropColor_);
    switch (b.style) {
    case gdi::BS_HATCHED: return QBrush(b.color, hatchStyle(b.hatch));
    case gdi::BS_PATTERN:
    case gdi::BS_DIBPATTERN:
    case gdi::BS_DIBPATTERNPT:
        if (b.pattern.isNull())
            return QBrush(b.color);
        return QBrush(b.monochrome ? recoloured(b.pattern, state_.textColor, state_.bkColor) : b.pattern);
    default: return QBrush(b.color);
    }
}

// Sets the painter's composition for the current ROP2; false when nothing
// is to be drawn.
bool GdiDevice::beginRop2()
{
    ropColor_.reset();
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    switch (state_.rop2) {
    case R2_NOP: return false;
    case R2_BLACK: ropColor_ = QColor(Qt::black); break;
    case R2_WHITE: ropColor_ = QColor(Qt::white); break;
    case R2_XORPEN: mode = QPainter::RasterOp_SourceXorDestination; break;
    case R2_NOTXORPEN: mode = QPainter::RasterOp_NotSourceXorDestination; break;
    case R2_NOT: mode = QPainter::RasterOp_NotDestination; break;
    case R2_MASKPEN: mode = QPainter::RasterOp_SourceAndDestination; break;
    case R2_MERGEPEN: mode = QPainter::RasterOp_SourceOrDestination; break;
    case R2_NOTCOPYPEN: mode = QPainter::RasterOp_NotSource; break;
    case R2_NOTMASKPEN: mode = QPainter::RasterOp_NotSourceOrNotDestination; break;
    case R2_NOTMERGEPEN: mode = QPainter::RasterOp_NotSourceAndNotDestination; break;
    case R2_MASKPENNOT: mode = QPainter::RasterOp_SourceAndNotDestination; break;
    case R2_MASKNOTPEN: mode = QPainter::RasterOp_NotSourceAndDestination; break;
    case R2_MERGEPENNOT: mode = QPainter::RasterOp_SourceOrNotDestination; break;
    case R2_MERGENOTPEN: mode = QPainter::RasterOp_NotSourceOrDestination; break;
    default: break;
    }
    painter_.setCompositionMode(mode);
    // raster operations work on whole pixels
    painter_.setRenderHint(QPainter::Antialiasing, mode == QPainter::CompositionMode_SourceOver);
    return true;
}

void GdiDevice::endRop2()
{
    ropColor_.reset();
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_.setRenderHint(QPainter::Antialiasing, true);
}

// Clipping --------------------------------------------------------------------

QPainterPath GdiDevice::everything() const
{
    QPainterPath all;
    const QRectF device = base_.inverted().mapRect(QRectF(painter_.viewport()));
    all.addRect(device.adjusted(-16, -16, 16, 16));
    return all;
}

bool GdiDevice::clipWork(qsizetype elements)
{
    if (clipWorkLeft_ <= 0)
        return false;
    clipWorkLeft_ -= std::max<qsizetype>(elements - kSmallClip, 0);
    return true;
}

void GdiDevice::applyClip()
{
    if (appliedClip_ == clipSerial_)
        return;
    if (state_.clip && !clipWork(state_.clip->elementCount()))
        return;
    appliedClip_ = clipSerial_;
    painter_.setWorldTransform(base_);
    if (state_.clip)
        painter_.setClipPath(*state_.clip);
    else
        painter_.setClipping(false);
}

void GdiDevice::intersectClipRect(const QRectF& box)
{
    QPainterPath r;
    r.addPolygon(logicalToPainter().map(QPolygonF(box.normalized())));
    r.closeSubpath();
    selectClip(r, RGN_AND);
}

void GdiDevice::excludeClipRect(const QRectF& box)
{
    QPainterPath r;
    r.addPolygon(logicalToPainter().map(QPolygonF(box.normalized())));
    r.closeSubpath();
    selectClip(r, RGN_DIFF);
}

void GdiDevice::offsetClip(QPointF logicalOffset)
{
    if (!state_.clip || !clipWork(state_.clip->elementCount()))
        return;
    const QTransform t = logicalToPainter();
    const QPointF d = t.map(logicalOffset) - t.map(QPointF(0, 0));
    state_.clip->translate(d);
    clipChanged();
}

void GdiDevice::selectClip(const std::optional<QPainterPath>& region, int mode)
{
    const qsizetype work = (state_.clip ? state_.clip->elementCount() : 0) + (region ? region->elementCount() : 0);
    if (!clipWork(work))
        return;
    if (mode == RGN_COPY || !region) {
        if (mode == RGN_COPY)
            state_.clip = region;
        clipChanged();
        return;
    }
    const QPainterPath current = state_.clip.value_or(everything());
    // a clip cut into ever more pieces costs more with each piece: past a
    // limit it only still shrinks
    if (current.elementCount() > kMaxClipElements && mode != RGN_AND)
        return;
    switch (mode) {
    case RGN_AND: state_.clip = current.intersected(*region); break;
    case RGN_OR: state_.clip = current.united(*region); break;
    case RGN_XOR: state_.clip = current.united(*region).subtracted(current.intersected(*region)); break;
    case RGN_DIFF: state_.clip = current.subtracted(*region); break;
    default: return;
    }
    clipChanged();
}

// Painting --------------------------------------------------------------------

void GdiDevice::record(const QPainterPath& mapped)
{
    recording_->addPath(mapped);
}

void GdiDevice::paint(const QPainterPath& logical, bool fill)
{
    QPainterPath mapped = logicalToPainter().map(logical);
    if (recording()) {
        record(mapped);
        return;
    }
    paintMapped(mapped, fill, true);
}

void GdiDevice::paintMapped(const QPainterPath& mapped, bool fill, bool stroke)
{
    applyClip();
    if (!beginRop2())
        return;
    painter_.setWorldTransform(base_);
    reached(mapped.controlPointRect());
    QPainterPath path = mapped;
    path.setFillRule(state_.polyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    const gdi::Brush& brush = state_.brush;
    // geometry reaching far past the picture is cut to its surroundings
    // first: drawing it whole costs time in proportion to its size
    const QRectF limit = everything().boundingRect().adjusted(-kMargin, -kMargin, kMargin, kMargin);
    const bool huge = !limit.contains(path.controlPointRect());
    QPainterPath limitPath;
    limitPath.addRect(limit);
    if (fill && !brush.isNull()) {
        const QPainterPath area = huge ? path.intersected(limitPath) : path;
        if (brush.style == gdi::BS_HATCHED && state_.bkMode == OPAQUE && !ropColor_)
            painter_.fillPath(area, state_.bkColor);
        painter_.fillPath(area, qtBrush(brush));
    }
    if (stroke && !state_.pen.isNull()) {
        const QPen pen = qtPen();
        if (huge)
            painter_.fillPath(QPainterPathStroker(pen).createStroke(path).intersected(limitPath), pen.color());
        else
            painter_.strokePath(path, pen);
    }
    endRop2();
}

void GdiDevice::moveTo(QPointF p)
{
    state_.position = p;
    if (recording())
        recording_->moveTo(logicalToPainter().map(p));
}

void GdiDevice::lineTo(QPointF p)
{
    if (recording()) {
        if (recording_->elementCount() == 0)
            recording_->moveTo(logicalToPainter().map(state_.position));
        recording_->lineTo(logicalToPainter().map(p));
    } else {
        QPainterPath line(state_.position);
        line.lineTo(p);
        paint(line, false);
    }
    state_.position = p;
}

void GdiDevice::polyline(const QPolygonF& points)
{
    if (points.size() < 2)
        return;
    QPainterPath path;
    path.addPolygon(points);
    paint(path, false);
}

void GdiDevice::polylineTo(const QPolygonF& points)
{
    for (const QPointF& p : points)
        lineTo(p);
}

void GdiDevice::polygon(const QPolygonF& points)
{
    if (points.size() < 2)
        return;
    QPainterPath path;
    path.addPolygon(points);
    path.closeSubpath();
    paint(path, true);
}

void GdiDevice::polyPolygon(const QList<QPolygonF>& polygons)
{
    QPainterPath path;
    for (const QPolygonF& p : polygons) {
        if (p.size() < 2)
            continue;
        path.addPolygon(p);
        path.closeSubpath();
    }
    if (!path.isEmpty())
        paint(path, true);
}

void GdiDevice::polyPolyline(const QList<QPolygonF>& lines)
{
    QPainterPath path;
    for (const QPolygonF& p : lines)
        if (p.size() >= 2)
            path.addPolygon(p);
    if (!path.isEmpty())
        paint(path, false);
}

void GdiDevice::polyBezier(const QPolygonF& points)
{
    if (points.size() < 4)
        return;
    QPainterPath path(points.first());
    for (qsizetype i = 1; i + 2 < points.size(); i += 3)
        path.cubicTo(points[i], points[i + 1], points[i + 2]);
    paint(path, false);
}

void GdiDevice::polyBezierTo(const QPolygonF& points)
{
    if (points.size() < 3)
        return;
    const QTransform t = logicalToPainter();
    if (recording()) {
        if (recording_->elementCount() == 0)
            recording_->moveTo(t.map(state_.position));
        for (qsizetype i = 0; i + 2 < points.size(); i += 3)
            recording_->cubicTo(t.map(points[i]), t.map(points[i + 1]), t.map(points[i + 2]));
    } else {
        QPainterPath path(state_.position);
        for (qsizetype i = 0; i + 2 < points.size(); i += 3)
            path.cubicTo(points[i], points[i + 1], points[i + 2]);
        paint(path, false);
    }
    state_.position = points[points.size() - 1 - (points.size() % 3)];
}

QRectF GdiDevice::insideFrame(const QRectF& box) const
{
    const QRectF r = box.normalized();
    if ((state_.pen.style & gdi::PS_STYLE_MASK) != gdi::PS_INSIDEFRAME || state_.pen.width <= 0)
        return r;
    const double half = state_.pen.width / 2;
    if (r.width() <= 2 * half || r.height() <= 2 * half)
        return r;
    return r.adjusted(half, half, -half, -half);
}

void GdiDevice::rectangle(const QRectF& box)
{
    QPainterPath path;
    path.addRect(insideFrame(box));
    paint(path, true);
}

void GdiDevice::roundRect(const QRectF& box, QSizeF corner)
{
    QPainterPath path;
    path.addRoundedRect(insideFrame(box), std::abs(corner.width()) / 2, std::abs(corner.height()) / 2);
    paint(path, true);
}

void GdiDevice::ellipse(const QRectF& box)
{
    QPainterPath path;
    path.addEllipse(insideFrame(box));
    paint(path, true);
}

// +1 when a counter-clockwise arc on the device runs counter-clockwise in
// logical coordinates, -1 when the mapping mirrors it.
double GdiDevice::arcSweepSign() const
{
    const double sign = logicalToPainter().determinant() < 0 ? -1 : 1;
    return state_.clockwiseArcs ? -sign : sign;
}

QPainterPath GdiDevice::arcPath(const QRectF& box, QPointF start, QPointF end, ArcKind kind) const
{
    const QRectF r = box.normalized();
    QPainterPath path;
    if (r.width() <= 0 || r.height() <= 0)
        return path;
    const double a1 = ellipseAngle(r, start);
    const double a2 = ellipseAngle(r, end);
    const double sweep = arcSweepSign() > 0 ? ccwSweep(a1, a2) : -ccwSweep(a2, a1);
    if (kind == Pie)
        path.moveTo(r.center());
    else if (kind == ArcTo)
        path.moveTo(state_.position);
    else
        path.arcMoveTo(r, a1);
    path.arcTo(r, a1, sweep);
    if (kind == Pie || kind == Chord)
        path.closeSubpath();
    return path;
}

void GdiDevice::arc(const QRectF& box, QPointF start, QPointF end, ArcKind kind)
{
    const QPainterPath path = arcPath(box, start, end, kind);
    if (path.isEmpty())
        return;
    paint(path, kind == Chord || kind == Pie);
    if (kind == ArcTo)
        state_.position = path.currentPosition();
}

void GdiDevice::angleArc(QPointF center, double radius, double startDegrees, double sweepDegrees)
{
    if (!std::isfinite(radius) || radius <= 0 || !std::isfinite(startDegrees) || !std::isfinite(sweepDegrees))
        return;
    const QRectF r(center.x() - radius, center.y() - radius, 2 * radius, 2 * radius);
    QPainterPath path(state_.position);
    const double sign = logicalToPainter().determinant() < 0 ? -1 : 1;
    path.arcTo(r, sign * startDegrees, sign * std::clamp(sweepDegrees, -3600.0, 3600.0));
    paint(path, false);
    state_.position = path.currentPosition();
}

void GdiDevice::setPixel(QPointF p, const QColor& c)
{
    if (recording())
        return;
    applyClip();
    painter_.setWorldTransform(base_);
    const QPointF at = logicalToPainter().map(p);
    reached(QRectF(at, QSizeF(1, 1)));
    painter_.fillRect(QRectF(std::floor(at.x()), std::floor(at.y()), 1, 1), c);
}

// Text ------------------------------------------------------------------------

void GdiDevice::text(QPointF origin, const QString& text, const QList<double>& dx, unsigned options,
                     const std::optional<QRectF>& rect)
{
    if (recording())
        return;
    applyClip();
    painter_.setWorldTransform(base_);
    const QTransform t = logicalToPainter();
    QPolygonF box;
    if (rect && rect->isValid())
        box = t.map(QPolygonF(rect->normalized()));
    if ((options & ETO_OPAQUE) && !box.isEmpty()) {
        QPainterPath p;
        p.addPolygon(box);
        painter_.fillPath(p, state_.bkColor);
    }
    if (text.isEmpty())
        return;
    const bool clipped = (options & ETO_CLIPPED) && !box.isEmpty() &&
                         clipWork(state_.clip ? state_.clip->elementCount() : 0);
    if (clipped) {
        painter_.save();
        QPainterPath p;
        p.addPolygon(box);
        painter_.setClipPath(p, state_.clip ? Qt::IntersectClip : Qt::ReplaceClip);
    }
    textRun(origin, text, dx);
    if (clipped) {
        painter_.restore();
        appliedClip_ = 0;
    }
}

void GdiDevice::textRun(QPointF origin, const QString& text, const QList<double>& dx)
{
    const QTransform t = logicalToPainter();
    const bool updateCp = state_.textAlign & gditext::TA_UPDATECP;
    const QPointF at = updateCp ? state_.position : origin;
    const QPointF xAxis = t.map(QPointF(1, 0)) - t.map(QPointF(0, 0));
    const QPointF yAxis = t.map(QPointF(0, 1)) - t.map(QPointF(0, 0));
    const double sx = length(xAxis), sy = length(yAxis);
    if (sx <= 0 || sy <= 0)
        return;
    const gdi::Font& f = state_.font;
    const double height = f.height == 0 ? 16 / sy : std::abs(f.height);
    double stretch = 100 * sx / sy;
    if (f.width != 0) {
        const double natural = gditext::averageCharWidth(gditext::qtFont(f, height * sy, f.height >= 0, 100));
        if (natural > 0)
            stretch = 100 * std::abs(f.width) * sx / natural;
    }
    const QFont font = gditext::qtFont(f, height * sy, f.height >= 0, std::abs(stretch - 100) < 1 ? 100 : stretch);

    QList<double> deviceDx;
    if (dx.size() == text.size()) {
        for (double d : dx)
            deviceDx.append((d + state_.charExtra) * sx);
    } else if (state_.charExtra != 0) {
        // character extra spacing without an advance array: measure each one
        const QFontMetricsF m(font);
        for (QChar c : text)
            deviceDx.append(m.horizontalAdvance(c) + state_.charExtra * sx);
    }

    // the visible direction of the logical x axis; mirrored axes do not mirror text
    const QTransform page = state_.mapping.pageTransform() * deviceToPainter_;
    QPointF dir = xAxis;
    if (page.m11() < 0)
        dir.setX(-dir.x());
    if (page.m22() < 0)
        dir.setY(-dir.y());
    const double turn = -std::atan2(dir.y(), dir.x()) * 180 / M_PI;

    gditext::Style style;
    style.color = state_.textColor;
    style.background = state_.bkColor;
    style.opaque = state_.bkMode == OPAQUE;
    style.align = state_.textAlign;
    style.angle = f.escapement / 10.0 + turn;
    reached(QRectF(t.map(at), QSizeF(1, 1)));
    const double advance = gditext::draw(painter_, t.map(at), text, deviceDx, font, style);
    if (updateCp)
        state_.position = at + QPointF(advance / sx * (xAxis.x() < 0 ? -1 : 1), 0);
}

// Pictures and raster operations --------------------------------------------

void GdiDevice::image(const QRectF& dest, const QImage& image, const QRectF& source, std::uint32_t rop)
{
    if (recording() || image.isNull())
        return;
    QImage img = image;
    QRectF src = source.normalized().intersected(QRectF(img.rect()));
    if (src.isEmpty())
        src = QRectF(img.rect());
    QRectF dst = dest;
    if (dst.width() < 0 || dst.height() < 0) {
        // a negative extent mirrors the picture
        img = img.mirrored(dst.width() < 0, dst.height() < 0);
        if (dst.width() < 0)
            src.moveLeft(img.width() - src.right());
        if (dst.height() < 0)
            src.moveTop(img.height() - src.bottom());
        dst = dst.normalized();
    }
    if (dst.isEmpty())
        return;
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    switch (rop) {
    case SRCAND: mode = QPainter::RasterOp_SourceAndDestination; break;
    case SRCPAINT: mode = QPainter::RasterOp_SourceOrDestination; break;
    case SRCINVERT: mode = QPainter::RasterOp_SourceXorDestination; break;
    case SRCERASE: mode = QPainter::RasterOp_SourceAndNotDestination; break;
    case NOTSRCERASE: mode = QPainter::RasterOp_NotSourceAndNotDestination; break;
    case MERGEPAINT: mode = QPainter::RasterOp_NotSourceOrDestination; break;
    case NOTSRCCOPY: img.invertPixels(); break;
    case PATCOPY: case PATINVERT: case DSTINVERT: case BLACKNESS: case WHITENESS: case DSTCOPY:
        patBlt(dest, rop);
        return;
    default: break;
    }
    const bool raster = mode != QPainter::CompositionMode_SourceOver;
    if (raster && img.hasAlphaChannel())
        img = img.convertToFormat(QImage::Format_RGB32);
    applyClip();
    reached(logicalToPainter().mapRect(dst));
    painter_.setWorldTransform(logicalToPainter() * base_);
    painter_.setCompositionMode(mode);
    const bool smooth = state_.stretchMode == HALFTONE;
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.drawImage(dst, img, src);
    painter_.setRenderHint(QPainter::Antialiasing, true);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_.setWorldTransform(base_);
}

void GdiDevice::patBlt(const QRectF& box, std::uint32_t rop)
{
    if (recording() || rop == DSTCOPY)
        return;
    QPainterPath path;
    path.addPolygon(logicalToPainter().map(QPolygonF(box.normalized())));
    path.closeSubpath();
    applyClip();
    reached(path.boundingRect());
    painter_.setWorldTransform(base_);
    painter_.setRenderHint(QPainter::Antialiasing, false);
    switch (rop) {
    case BLACKNESS: painter_.fillPath(path, Qt::black); break;
    case WHITENESS: painter_.fillPath(path, Qt::white); break;
    case DSTINVERT:
        painter_.setCompositionMode(QPainter::RasterOp_NotDestination);
        painter_.fillPath(path, Qt::black);
        break;
    case PATINVERT:
        painter_.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter_.fillPath(path, qtBrush(state_.brush));
        break;
    default:
        if (!state_.brush.isNull())
            painter_.fillPath(path, qtBrush(state_.brush));
        break;
    }
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_.setRenderHint(QPainter::Antialiasing, true);
}

void GdiDevice::fillRect(const QRectF& box, const gdi::Brush& brush)
{
    QPainterPath path;
    path.addPolygon(logicalToPainter().map(QPolygonF(box.normalized())));
    path.closeSubpath();
    fillRegion(path, brush);
}

// Regions ---------------------------------------------------------------------

void GdiDevice::fillRegion(const QPainterPath& region, const gdi::Brush& brush)
{
    if (recording() || brush.isNull())
        return;
    applyClip();
    reached(region.boundingRect());
    painter_.setWorldTransform(base_);
    painter_.fillPath(region, qtBrush(brush));
}

void GdiDevice::frameRegion(const QPainterPath& region, const gdi::Brush& brush, QSizeF stroke)
{
    if (recording() || brush.isNull())
        return;
    // the frame lies inside the region's edge
    const QTransform t = logicalToPainter();
    const double w = std::max(1.0, length(t.map(QPointF(stroke.width(), 0)) - t.map(QPointF(0, 0))));
    QPainterPathStroker stroker;
    stroker.setWidth(2 * w);
    const QPainterPath frame = stroker.createStroke(region).intersected(region);
    fillRegion(frame, brush);
}

void GdiDevice::invertRegion(const QPainterPath& region)
{
    if (recording())
        return;
    applyClip();
    painter_.setWorldTransform(base_);
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setCompositionMode(QPainter::RasterOp_NotDestination);
    painter_.fillPath(region, Qt::black);
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_.setRenderHint(QPainter::Antialiasing, true);
}

// Paths -----------------------------------------------------------------------

void GdiDevice::beginPath()
{
    recording_ = QPainterPath();
}

void GdiDevice::endPath()
{
    if (!recording_)
        return;
    path_ = *recording_;
    recording_.reset();
}

void GdiDevice::abortPath()
{
    recording_.reset();
    path_ = QPainterPath();
}

void GdiDevice::closeFigure()
{
    if (recording_)
        recording_->closeSubpath();
}

void GdiDevice::fillPath()
{
    endPath();
    paintMapped(path_, true, false);
    path_ = QPainterPath();
}

void GdiDevice::strokePath()
{
    endPath();
    paintMapped(path_, false, true);
    path_ = QPainterPath();
}

void GdiDevice::strokeAndFillPath()
{
    endPath();
    paintMapped(path_, true, true);
    path_ = QPainterPath();
}

void GdiDevice::selectClipPath(int mode)
{
    endPath();
    QPainterPath region = path_;
    region.setFillRule(state_.polyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    selectClip(region, mode);
    path_ = QPainterPath();
}

void GdiDevice::widenPath()
{
    endPath();
    QPainterPathStroker stroker(qtPen());
    path_ = stroker.createStroke(path_);
}
