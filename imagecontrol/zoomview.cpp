#include "zoomview.h"

#include <algorithm>
#include <cmath>

namespace zoomview {

namespace {

int truncated(double v)
{
    return static_cast<int>(std::trunc(v));
}

// a div b, truncating toward zero
int divided(int a, int b)
{
    return a / b;
}

}  // namespace

Plan zoomPlan(QSize control, QSize picture, double z, QPoint origin, int s, bool center)
{
    const int W = control.width(), H = control.height();
    const int w = picture.width(), h = picture.height();
    const int zw = truncated(w * z), zh = truncated(h * z);
    const bool wide = W < zw;
    const bool tall = H < zh;
    Plan plan;
    if (!wide && !tall) {
        plan.source = QRect(0, 0, w, h);
        plan.target = QRect(0, 0, zw, zh);
        if (center)
            plan.offset = QPoint(divided(W - zw, 2), divided(H - zh, 2));
    } else if (!wide) {
        plan.source = QRect(origin.x(), origin.y(), w, truncated((H - s) / z));
        plan.target = QRect(0, 0, zw, H - s);
        if (center)
            plan.offset = QPoint(divided(W - zw, 2), 0);
    } else if (!tall) {
        plan.source = QRect(origin.x(), origin.y(), truncated((W - s) / z), h);
        plan.target = QRect(0, 0, W - s, zh);
        if (center)
            plan.offset = QPoint(0, divided(H - zh, 2));
    } else {
        plan.source = QRect(origin.x(), origin.y(), truncated((W - s) / z), truncated((H - s) / z));
        plan.target = QRect(0, 0, W - s, H - s);
    }
    plan.target.translate(plan.offset);
    return plan;
}

QPoint naturalOffset(QSize client, QSize picture, bool center)
{
    if (!center)
        return {};
    return QPoint(divided(client.width() - picture.width(), 2), divided(client.height() - picture.height(), 2));
}

bool exceeds(QSize control, QSize picture, double z)
{
    return control.width() < truncated(picture.width() * z) || control.height() < truncated(picture.height() * z);
}

int scrollMaximum(int pictureExtent, double z, int controlExtent, int s)
{
    return std::max(0, truncated(pictureExtent * z - controlExtent + s));
}

int scrollPosition(int origin, double z, int maximum)
{
    if (maximum == 0)
        return 0;
    return std::min(truncated(origin * z), maximum);
}

int originOfScroll(int position, double z)
{
    return truncated(position / z);
}

bool zoomInAccepted(double newZoom)
{
    return newZoom < 50.0;
}

bool zoomOutAccepted(double newZoom)
{
    return newZoom > 0.075;
}

QPoint originAfterZoomOut(QSize control, QSize picture, double z, QPoint origin)
{
    QPoint o = origin;
    if (control.width() > (picture.width() - o.x()) * z)
        o.setX(std::max(0, picture.width() - truncated(control.width() / z)));
    if (control.height() > (picture.height() - o.y()) * z)
        o.setY(std::max(0, picture.height() - truncated(control.height() / z)));
    return o;
}

double fitZoom(QSize control, QSize picture)
{
    if (picture.isEmpty())
        return 1.0;
    return std::min(double(control.height()) / picture.height(), double(control.width()) / picture.width());
}

int panStep(int last, int now, double z)
{
    const int step = truncated((last - now) / z);
    if (step == 0 && last != now)
        return last > now ? 1 : -1;
    return step;
}

int pannedOrigin(int origin, int step, int w, int W, int s, double z)
{
    if (origin + step < 0 || W > w * z)
        return 0;
    if (W - s > (w - step - origin) * z)
        return w - truncated((W - s) / z);
    return origin + step;
}

int originBeforeHidingBars(int origin, int w, int W, double z)
{
    if (truncated(w * z) <= W)
        return origin;
    const int d = truncated(W - (w - origin) * z);
    if (d <= 0)
        return origin;
    return std::max(0, truncated(origin - d / z) - 1);
}

}  // namespace zoomview
