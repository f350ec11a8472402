#pragma once
// The editor's selection: an anchor and a corner in control pixels, kept
// after the mouse is released, mapped to picture pixels for copy, cut,
// paste and crop.

#include <QPoint>
#include <QRect>
#include <QString>

class SelectionRect {
public:
    void start(QPoint at) { anchor_ = corner_ = at; }
    void follow(QPoint at) { corner_ = at; }
    void reset() { anchor_ = corner_ = QPoint(); }
    // Keeps both corners inside the area the picture was drawn in.
    void clampInto(const QRect& drawn);

    QPoint anchor() const { return anchor_; }
    QPoint corner() const { return corner_; }
    bool hidden() const { return hidden_; }
    void setHidden(bool on) { hidden_ = on; }

    // A selection is there when the band is allowed, not hidden and both
    // sides are longer than 2 pixels.
    bool present(bool allowRubberBand) const;
    // The selected picture pixels for a picture drawn at drawn's top left
    // with the zoom and the view's origin (picture pixels), cut to the picture.
    QRect pictureRect(const QRect& drawn, double zoom, QPoint origin, QSize picture) const;
    // "X: 10  Y: 20  W: 30  H: 40" (control pixels, signed).
    QString statusText() const;

private:
    QPoint anchor_;
    QPoint corner_;
    bool hidden_ = false;
};
