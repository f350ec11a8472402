#include "statuspathpanel.h"

#include <QPainter>

StatusPathPanel::StatusPathPanel(QWidget* parent) : QWidget(parent) {}

void StatusPathPanel::setIcon(const QIcon& icon)
{
    icon_ = icon;
    update();
}

void StatusPathPanel::setText(const QString& text)
{
    text_ = text;
    setToolTip(text);
    update();
}

QSize StatusPathPanel::sizeHint() const
{
    return QSize(300, fontMetrics().height() + 2);
}

void StatusPathPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int side = height();
    int iconWidth = 0;
    if (!icon_.isNull()) {
        icon_.paint(&p, QRect(0, 0, side, side));
        iconWidth = side;
    }
    const QRect textRect(iconWidth + 5, 0, width() - iconWidth - 5, height());
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
               fontMetrics().elidedText(text_, Qt::ElideMiddle, textRect.width()));
}
