// GdiDevice: the Qt pen and brush of the drawing state, and the raster
// operations (ROP2) the pen and brush draw with.

#include "gdidevice.h"
#include "gdidevicegeometry.h"

#include <algorithm>

using gdigeometry::length;

namespace {

enum Rop2 {
    R2_BLACK = 1, R2_NOTMERGEPEN = 2, R2_MASKNOTPEN = 3, R2_NOTCOPYPEN = 4, R2_MASKPENNOT = 5, R2_NOT = 6,
    R2_XORPEN = 7, R2_NOTMASKPEN = 8, R2_MASKPEN = 9, R2_NOTXORPEN = 10, R2_NOP = 11, R2_MERGENOTPEN = 12,
    R2_COPYPEN = 13, R2_MERGEPENNOT = 14, R2_MERGEPEN = 15, R2_WHITE = 16,
};

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
