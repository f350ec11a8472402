#pragma once
// A selection rectangle kept over a picture control: drawn by inverting the
// pixels under it, moved by dragging its inside, resized by dragging its
// edges and corners. The owner forwards the control's mouse events and
// calls Paint after the control has painted; every change of the band is
// reported through OnBandChange.

#include <QObject>
#include <QRect>
#include <functional>

class QPainter;
class QWidget;

class TILRubberBand : public QObject {
    Q_OBJECT
public:
    enum Zone { None = 0, Top = 1, Bottom = 2, Left = 3, Right = 4, TopLeft = 5, TopRight = 6, BottomLeft = 7,
                BottomRight = 8, Inside = 9 };
    static constexpr int Tolerance = 3;

    // owner, button, bottom, right, top, left, shift state
    using BandChangeEvent = std::function<void(TILRubberBand& sender, Qt::MouseButton button, int bottom, int right,
                                               int top, int left, Qt::KeyboardModifiers shift)>;
    // 1 when the cursor enters a zone, 0 when it leaves
    using HoverEvent = std::function<void(TILRubberBand& sender, int entered)>;

    explicit TILRubberBand(QObject* parent = nullptr);

    BandChangeEvent OnBandChange;
    HoverEvent OnHover;

    // The control the band lies over (none: the mouse is ignored).
    void SetControl(QWidget* control);
    QWidget* Control() const { return control_; }

    bool Exists() const { return exists_; }
    int BandLeft() const { return left_; }
    int BandTop() const { return top_; }
    int BandRight() const { return right_; }
    int BandBottom() const { return bottom_; }

    virtual int HitTest(int x, int y) const;
    virtual void DrawBand(QPainter& painter) const;
    virtual void MouseDown(Qt::MouseButton button, int x, int y);
    virtual void MouseMove(Qt::KeyboardModifiers shift, int x, int y);
    virtual void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    // The band becomes (left, top, left + width, top + height).
    virtual void SetBounds(int left, int top, int width, int height);
    virtual void Paint(QPainter& painter) const;

    bool Dragging() const { return dragging_; }
    static Qt::CursorShape CursorFor(int zone);

private:
    // Moves the grabbed zone to (x, y) when the band stays valid; true when
    // it changed.
    bool dragTo(int x, int y);
    void changed(Qt::MouseButton button, Qt::KeyboardModifiers shift);
    bool nearBand(int x, int y) const;

    QWidget* control_ = nullptr;
    int left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;
    bool exists_ = false;
    int grabbed_ = None;
    int hover_ = None;
    bool dragging_ = false;
    bool outsidePress_ = false;
    QPoint last_;
};
