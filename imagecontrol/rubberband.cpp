#include "rubberband.h"

#include <QPainter>
#include <cmath>

QPoint RubberBand::corner(QPoint anchor, QPoint mouse, QSize control)
{
    if (control.width() <= 0)
        return anchor;
    const double dx = mouse.x() - anchor.x();
    const double dy = mouse.y() - anchor.y();
    const double length = std::sqrt(dx * dx + dy * dy);
    const double k = double(control.height()) / control.width();
    const double e = std::abs(length / std::sqrt(k * k + 1));
    const double f = k * e;
    const bool right = dx > 0 || (dx == 0 && dy >= 0);
    const bool down = dy >= 0;
    const double x = right ? anchor.x() + e : anchor.x() - e;
    const double y = down ? anchor.y() + f : anchor.y() - f;
    return QPoint(int(std::trunc(x)), int(std::trunc(y)));
}

void RubberBand::start(QPoint at, Qt::MouseButton button)
{
    active_ = true;
    button_ = button;
    anchor_ = corner_ = at;
}

void RubberBand::follow(QPoint mouse, QSize control)
{
    if (active_)
        corner_ = corner(anchor_, mouse, control);
}

void RubberBand::paint(QPainter& painter) const
{
    if (!active_ || anchor_ == corner_)
        return;
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(anchor_, corner_).normalized());
    painter.restore();
}
