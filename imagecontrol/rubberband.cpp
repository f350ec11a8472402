#include "rubberband.h"

#include <QPainter>
#include <algorithm>
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
    const int left = std::min(anchor_.x(), corner_.x());
    const int top = std::min(anchor_.y(), corner_.y());
    // a 1-pixel outline of w x h covers left..left + w
    painter.drawRect(QRect(left, top, std::abs(corner_.x() - anchor_.x()), std::abs(corner_.y() - anchor_.y())));
    painter.restore();
}
