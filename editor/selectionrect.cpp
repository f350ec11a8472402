#include "selectionrect.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Halves go to the even neighbour.
int nearest(double v)
{
    return int(std::nearbyint(v));
}

int clamped(int v, int low, int extent)
{
    return std::clamp(v, low, low + std::max(extent, 0));
}

}  // namespace

void SelectionRect::clampInto(const QRect& drawn)
{
    for (QPoint* p : {&anchor_, &corner_}) {
        p->setX(clamped(p->x(), drawn.left(), drawn.width()));
        p->setY(clamped(p->y(), drawn.top(), drawn.height()));
    }
}

bool SelectionRect::present(bool allowRubberBand) const
{
    return allowRubberBand && !hidden_ && std::abs(corner_.x() - anchor_.x()) > 2
           && std::abs(corner_.y() - anchor_.y()) > 2;
}

QRect SelectionRect::pictureRect(const QRect& drawn, double zoom, QPoint origin, QSize picture) const
{
    if (zoom <= 0)
        return {};
    const int left = origin.x() + nearest((std::min(anchor_.x(), corner_.x()) - drawn.left()) / zoom);
    const int top = origin.y() + nearest((std::min(anchor_.y(), corner_.y()) - drawn.top()) / zoom);
    const int width = nearest(std::abs(corner_.x() - anchor_.x()) / zoom);
    const int height = nearest(std::abs(corner_.y() - anchor_.y()) / zoom);
    return QRect(left, top, width, height).intersected(QRect(QPoint(), picture));
}

QString SelectionRect::statusText() const
{
    return QStringLiteral("X: %1  Y: %2  W: %3  H: %4")
        .arg(anchor_.x())
        .arg(anchor_.y())
        .arg(corner_.x() - anchor_.x())
        .arg(corner_.y() - anchor_.y());
}
