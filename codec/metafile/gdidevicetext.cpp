// GdiDevice: text, in the font, colours and alignment of the drawing state.

#include "gdidevice.h"
#include "gdidevicegeometry.h"

#include "gditext.h"

#include <cmath>

using gdigeometry::length;

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
