#include "gdimapping.h"

#include <cmath>

namespace {

// Millimetres per logical unit of the fixed modes.
double unitMm(GdiMapping::MapMode mode)
{
    switch (mode) {
    case GdiMapping::MM_LOMETRIC: return 0.1;
    case GdiMapping::MM_HIMETRIC: return 0.01;
    case GdiMapping::MM_LOENGLISH: return 0.254;
    case GdiMapping::MM_HIENGLISH: return 0.0254;
    case GdiMapping::MM_TWIPS: return 25.4 / 1440;
    default: return 0;
    }
}

bool finiteNonZero(double v)
{
    return std::isfinite(v) && v != 0;
}

}  // namespace

void GdiMapping::setDeviceResolution(double pixelsPerMmX, double pixelsPerMmY)
{
    if (finiteNonZero(pixelsPerMmX) && finiteNonZero(pixelsPerMmY)) {
        pxPerMmX_ = std::abs(pixelsPerMmX);
        pxPerMmY_ = std::abs(pixelsPerMmY);
    }
}

void GdiMapping::setMapMode(int mode)
{
    if (mode < MM_TEXT || mode > MM_ANISOTROPIC)
        return;
    mode_ = MapMode(mode);
    if (mode_ == MM_TEXT) {
        windowExt_ = viewportExt_ = QSizeF(1, 1);
    } else if (const double mm = unitMm(mode_); mm > 0) {
        // y grows upwards in the metric and English modes
        windowExt_ = QSizeF(1, 1);
        viewportExt_ = QSizeF(mm * pxPerMmX_, -mm * pxPerMmY_);
    }
}

void GdiMapping::setWindowExt(QSizeF ext)
{
    if (extentsCount() && finiteNonZero(ext.width()) && finiteNonZero(ext.height()))
        windowExt_ = ext;
}

void GdiMapping::setViewportExt(QSizeF ext)
{
    if (extentsCount() && finiteNonZero(ext.width()) && finiteNonZero(ext.height()))
        viewportExt_ = ext;
}

bool GdiMapping::scaleUsable(double num, double denom)
{
    return finiteNonZero(num) && finiteNonZero(denom);
}

void GdiMapping::scaleWindowExt(double xNum, double xDenom, double yNum, double yDenom)
{
    if (scaleUsable(xNum, xDenom) && scaleUsable(yNum, yDenom))
        setWindowExt(QSizeF(windowExt_.width() * xNum / xDenom, windowExt_.height() * yNum / yDenom));
}

void GdiMapping::scaleViewportExt(double xNum, double xDenom, double yNum, double yDenom)
{
    if (scaleUsable(xNum, xDenom) && scaleUsable(yNum, yDenom))
        setViewportExt(QSizeF(viewportExt_.width() * xNum / xDenom, viewportExt_.height() * yNum / yDenom));
}

bool GdiMapping::usable(const QTransform& t)
{
    const double values[] = {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()};
    for (double v : values)
        if (!std::isfinite(v) || std::abs(v) > 1e9)
            return false;
    return std::abs(t.determinant()) > 1e-12;
}

void GdiMapping::setWorldTransform(const QTransform& t)
{
    if (usable(t))
        world_ = t;
}

void GdiMapping::modifyWorldTransform(const QTransform& t, int mode)
{
    switch (mode) {
    case MWT_IDENTITY: world_.reset(); break;
    // left multiplication applies t first
    case MWT_LEFTMULTIPLY: setWorldTransform(t * world_); break;
    case MWT_RIGHTMULTIPLY: setWorldTransform(world_ * t); break;
    case MWT_SET: setWorldTransform(t); break;
    default: break;
    }
}

QTransform GdiMapping::pageTransform() const
{
    double sx = viewportExt_.width() / windowExt_.width();
    double sy = viewportExt_.height() / windowExt_.height();
    if (mode_ == MM_ISOTROPIC) {
        const double s = std::min(std::abs(sx), std::abs(sy));
        sx = std::copysign(s, sx);
        sy = std::copysign(s, sy);
    }
    // device = (logical - window origin) * scale + viewport origin
    return QTransform(sx, 0, 0, sy, viewportOrg_.x() - windowOrg_.x() * sx, viewportOrg_.y() - windowOrg_.y() * sy);
}
