#pragma once
// The effects dialog's picture control: a picture drawn stretched over the
// whole control, then the after-paint event (the rubber band), then an
// optional overlay picture stretched into its rectangle. Mouse presses,
// moves and releases are passed on as events.

#include <QImage>
#include <QWidget>
#include <functional>

class TILPImage : public QWidget {
    Q_OBJECT
public:
    using PaintEvent = std::function<void(QPainter& painter)>;
    using MouseEvent = std::function<void(QMouseEvent* event)>;

    explicit TILPImage(QWidget* parent = nullptr);

    void SetPicture(const QImage& picture);
    const QImage& Picture() const { return picture_; }
    // Changes one colour of a palette picture and repaints.
    void SetPictureColour(int index, QRgb colour);
    void SetStretch(bool stretch);

    void SetOverlay(const QImage& overlay);
    void SetOverlayRect(const QRect& rect);
    void SetOverlayMode(bool on);
    QRect OverlayRect() const { return overlayRect_; }

    PaintEvent AfterPaint;
    MouseEvent MousePressed;
    MouseEvent MouseMoved;
    MouseEvent MouseReleased;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage picture_;
    QImage overlay_;
    QRect overlayRect_;
    bool overlayMode_ = false;
    bool stretch_ = true;
};
