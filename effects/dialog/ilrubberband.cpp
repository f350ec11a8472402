#include "ilrubberband.h"

#include <QPainter>
#include <QWidget>

#include <cstdlib>

TILRubberBand::TILRubberBand(QObject* parent) : QObject(parent)
{
}

void TILRubberBand::SetControl(QWidget* control)
{
    control_ = control;
    if (control_)
        control_->update();
}

bool TILRubberBand::nearBand(int x, int y) const
{
    const int t = Tolerance;
    return exists_ && x >= left_ - t && x <= right_ + t && y >= top_ - t && y <= bottom_ + t;
}

int TILRubberBand::HitTest(int x, int y) const
{
    if (!nearBand(x, y))
        return None;
    const int t = Tolerance;
    const bool alongY = top_ + t < y && y < bottom_ - t;
    const bool alongX = left_ + t < x && x < right_ - t;
    const bool atLeft = std::abs(x - left_) <= t;
    const bool atRight = std::abs(x - right_) <= t;
    const bool atTop = std::abs(y - top_) <= t;
    const bool atBottom = std::abs(y - bottom_) <= t;
    if (atRight && alongY)
        return Right;
    if (atLeft && alongY)
        return Left;
    if (atTop && alongX)
        return Top;
    if (atBottom && alongX)
        return Bottom;
    if (atBottom && atLeft)
        return BottomLeft;
    if (atBottom && atRight)
        return BottomRight;
    if (atTop && atRight)
        return TopRight;
    if (atTop && atLeft)
        return TopLeft;
    if (left_ + t <= x && x <= right_ - t && top_ + t <= y && y <= bottom_ - t)
        return Inside;
    return None;
}

Qt::CursorShape TILRubberBand::CursorFor(int zone)
{
    switch (zone) {
    case Left:
    case Right: return Qt::SplitHCursor;
    case Top:
    case Bottom: return Qt::SplitVCursor;
    case BottomLeft:
    case TopRight: return Qt::SizeBDiagCursor;
    case BottomRight:
    case TopLeft: return Qt::SizeFDiagCursor;
    case Inside: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
    }
}

void TILRubberBand::DrawBand(QPainter& painter) const
{
    if (!exists_)
        return;
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(Qt::NoBrush);
    const QPoint corners[] = {{left_, top_}, {left_, bottom_}, {right_, bottom_}, {right_, top_}};
    painter.drawPolygon(corners, 4);
    painter.restore();
}

void TILRubberBand::Paint(QPainter& painter) const
{
    DrawBand(painter);
}

void TILRubberBand::changed(Qt::MouseButton button, Qt::KeyboardModifiers shift)
{
    if (control_)
        control_->update();
    if (OnBandChange)
        OnBandChange(*this, button, bottom_, right_, top_, left_, shift);
}

void TILRubberBand::SetBounds(int left, int top, int width, int height)
{
    left_ = left;
    top_ = top;
    right_ = left + width;
    bottom_ = top + height;
    exists_ = true;
    changed(Qt::NoButton, Qt::ShiftModifier);
}

void TILRubberBand::MouseDown(Qt::MouseButton, int x, int y)
{
    outsidePress_ = !control_ || !nearBand(x, y);
    if (outsidePress_)
        return;
    grabbed_ = HitTest(x, y);
    if (grabbed_ == None) {
        control_->setCursor(Qt::ArrowCursor);
        return;
    }
    last_ = QPoint(x, y);
    dragging_ = true;
}

bool TILRubberBand::dragTo(int x, int y)
{
    const int t = Tolerance;
    const bool alongX = left_ + t < x && x < right_ - t;
    const bool alongY = top_ + t < y && y < bottom_ - t;
    const int l = left_, tp = top_, r = right_, b = bottom_;
    switch (grabbed_) {
    case Top: if (alongX && y < bottom_) top_ = y; break;
    case Bottom: if (alongX && y > top_) bottom_ = y; break;
    case Left: if (alongY && x < right_) left_ = x; break;
    case Right: if (alongY && x > left_) right_ = x; break;
    case TopLeft: if (y < bottom_ && x < right_) left_ = x, top_ = y; break;
    case TopRight: if (y < bottom_ && x > left_) right_ = x, top_ = y; break;
    case BottomLeft: if (y > top_ && x < right_) left_ = x, bottom_ = y; break;
    case BottomRight: if (y > top_ && x > left_) right_ = x, bottom_ = y; break;
    case Inside: {
        const QPoint d = QPoint(x, y) - last_;
        left_ += d.x(), right_ += d.x(), top_ += d.y(), bottom_ += d.y();
        last_ = QPoint(x, y);
        break;
    }
    default: break;
    }
    return l != left_ || tp != top_ || r != right_ || b != bottom_;
}

void TILRubberBand::MouseMove(Qt::KeyboardModifiers shift, int x, int y)
{
    if (!control_)
        return;
    if (!dragging_) {
        const int zone = HitTest(x, y);
        control_->setCursor(CursorFor(zone));
        if ((zone != None) != (hover_ != None) && OnHover)
            OnHover(*this, zone != None ? 1 : 0);
        hover_ = zone;
        return;
    }
    if (dragTo(x, y))
        changed(Qt::NoButton, shift);
}

void TILRubberBand::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    if (!dragging_)
        return;
    dragging_ = false;
    // the release point counts as a last step of the drag: the band stays
    // valid and the owner learns of it
    if (!outsidePress_ && nearBand(x, y) && dragTo(x, y))
        changed(button, shift);
    grabbed_ = None;
}
