#pragma once
// Paints the picture of the picture control in its display modes: tiled,
// stretched, natural size, and zoomed with scrolling (fit mode included).

#include "codec/binding/display.h"
#include "codec/binding/piclibtypes.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

class QPainter;

struct PictureView {
    const QImage* picture = nullptr;
    QSize control;
    QColor color;
    bool tile = false;
    bool stretch = false;
    bool stretchRatio = false;
    bool scrolling = true;
    bool center = false;
    bool showScrollbars = true;
    int scrollbarWidth = 12;
    double zoom = 1.0;
    QPoint origin;
    int fileBits = 24;  // bits per pixel of the shown file
    TBlitMode blitMode = sLight;
};

struct PaintOutcome {
    bool areaDrawn = false;  // a picture was drawn in a display mode
    QRect area;              // the rectangle reported for it
    QPoint offset;           // centring offsets of the zoomed display
    bool zoomed = false;     // the zoom-and-scroll display was used
};

class PicturePainter {
public:
    PaintOutcome paint(QPainter& painter, const PictureView& view);
    // The stretch mode of a paint: colour on colour for files of 2 bits or
    // more, else as the blit mode says.
    static TStretchMode stretchModeOf(const PictureView& view);

private:
    void tile(QPainter& p, const PictureView& v);
    PaintOutcome stretched(QPainter& p, const PictureView& v);
    PaintOutcome natural(QPainter& p, const PictureView& v);
    PaintOutcome zoomed(QPainter& p, const PictureView& v);
    void drawScaled(QPainter& p, const QRect& target, const QRect& source, const PictureView& v);
    static void fillOutside(QPainter& p, const QRect& all, const QRect& keep, const QColor& color);

    // the last shrunken black-and-white picture
    struct {
        qint64 key = 0;
        QRect source;
        QSize target;
        TStretchMode mode = smColorOnColor;
        QImage image;
    } cache_;
};
