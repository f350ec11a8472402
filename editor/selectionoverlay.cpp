#include "selectionoverlay.h"

#include "selectionrect.h"

#include <QEvent>
#include <QPainter>

SelectionOverlay::SelectionOverlay(const SelectionRect& selection, QWidget* control)
    : QWidget(control), selection_(selection)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(control->rect());
    control->installEventFilter(this);
    show();
}

void SelectionOverlay::setVisibleFrame(bool on)
{
    if (visibleFrame_ == on)
        return;
    visibleFrame_ = on;
    update();
}

bool SelectionOverlay::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
        raise();
    }
    return QWidget::eventFilter(watched, event);
}

void SelectionOverlay::paintEvent(QPaintEvent*)
{
    if (!visibleFrame_)
        return;
    const QRect frame = QRect(selection_.anchor(), selection_.corner()).normalized();
    if (frame.isEmpty())
        return;
    QPainter p(this);
    p.setPen(QPen(Qt::red, 1, Qt::DotLine));
    p.drawRect(frame.adjusted(0, 0, -1, -1));
}
