#pragma once
// The arithmetic of the zoomed display: which part of the picture goes
// where, the scroll ranges, the zoom limits and the grab-hand steps.
// Rectangles are left, top, width, height; trunc() cuts toward zero.

#include <QPoint>
#include <QRect>
#include <QSize>

namespace zoomview {

// Source (picture pixels) and target (control pixels) of one paint; offset
// is the centring offset the target was moved by.
struct Plan {
    QRect source;
    QRect target;
    QPoint offset;
};

// The zoom-and-scroll display of a picture in a control of the given size
// (barWidth: the scroll bar width when bars are shown, else 0).
Plan zoomPlan(QSize control, QSize picture, double zoom, QPoint origin, int barWidth, bool center);
// Natural size: the picture's top-left corner, centred or at (0, 0).
QPoint naturalOffset(QSize client, QSize picture, bool center);

// The zoomed picture is wider or taller than the control.
bool exceeds(QSize control, QSize picture, double zoom);
// Scroll bar range end and position for one direction.
int scrollMaximum(int pictureExtent, double zoom, int controlExtent, int barWidth);
int scrollPosition(int origin, double zoom, int maximum);
int originOfScroll(int position, double zoom);

// Zooming in stops below 50, zooming out above 0.075.
bool zoomInAccepted(double newZoom);
bool zoomOutAccepted(double newZoom);
// After zooming out: the origin moved back so the view ends at the picture.
QPoint originAfterZoomOut(QSize control, QSize picture, double zoom, QPoint origin);
// The fit zoom: the whole picture in the control, aspect kept.
double fitZoom(QSize control, QSize picture);

// One grab-hand step in picture pixels for a mouse move from last to now
// (at least one pixel in the direction of a real move).
int panStep(int last, int now, double zoom);
// The origin after a step, kept inside the picture.
int pannedOrigin(int origin, int step, int pictureExtent, int controlExtent, int barWidth, double zoom);
// The origin before the scroll bars are hidden, so the view keeps ending
// at the picture's edge.
int originBeforeHidingBars(int origin, int pictureExtent, int controlExtent, double zoom);

}  // namespace zoomview
