#include "transitioncomposer.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

int truncated(double v)
{
    return int(std::trunc(v));
}

QImage filled(QSize size, const QColor& color)
{
    QImage image(size, QImage::Format_RGB888);
    if (!image.isNull())
        image.fill(color);
    return image;
}

}  // namespace

ComposedTransition ComposeTransition(const QImage& next, const TransitionLayout& l)
{
    ComposedTransition out;
    if (next.isNull() || l.control.isEmpty() || l.workSize.isEmpty())
        return out;
    const int W = l.control.width(), H = l.control.height();
    const int w = next.width(), h = next.height();
    const double r = std::min(double(W) / w, double(H) / h);
    const QSize scaled(std::max(1, truncated(w * r)), std::max(1, truncated(h * r)));
    out.offset = QPoint((W - scaled.width()) / 2, (H - scaled.height()) / 2);

    if (l.stretch) {
        out.work = filled(l.workSize, l.color);
        QPainter p(&out.work);
        p.drawImage(QRect(0, 0, W, H), next);
    } else if (l.center) {
        out.work = filled(l.workSize, l.color);
        QPainter p(&out.work);
        if (l.fit) {
            p.drawImage(QRect(out.offset, scaled), next);
        } else {
            out.offset = QPoint((W - w) / 2, (H - h) / 2);
            p.drawImage(out.offset, next);
        }
    } else if (l.fit) {
        out.work = filled(scaled, l.color);
        QPainter p(&out.work);
        p.drawImage(out.work.rect(), next);
    } else {
        out.offset = QPoint();
        out.work = filled(QSize(std::min(w, W), std::min(h, H)), l.color);
        QPainter p(&out.work);
        p.drawImage(QPoint(0, 0), next);
    }
    return out;
}
