#pragma once
// The viewer's rubber band: a frame from the anchor to a corner that keeps
// the control's aspect ratio, drawn by inverting the pixels under it.

#include <QPoint>
#include <QSize>
#include <QtCore/qnamespace.h>

class QPainter;

class RubberBand {
public:
    // The corner for a mouse position: the diagonal's length laid out in
    // the control's aspect ratio, in the quadrant of the mouse (a straight
    // horizontal or vertical move goes right and down unless it points left
    // or up).
    static QPoint corner(QPoint anchor, QPoint mouse, QSize control);

    bool active() const { return active_; }
    Qt::MouseButton button() const { return button_; }
    QPoint anchor() const { return anchor_; }
    QPoint currentCorner() const { return corner_; }

    void start(QPoint at, Qt::MouseButton button);
    void follow(QPoint mouse, QSize control);
    void end() { active_ = false; }
    // The band's four sides, inverted.
    void paint(QPainter& painter) const;

private:
    bool active_ = false;
    Qt::MouseButton button_ = Qt::NoButton;
    QPoint anchor_;
    QPoint corner_;
};
