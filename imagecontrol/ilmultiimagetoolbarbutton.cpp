#include "ilmultiimagetoolbarbutton.h"

#include <QEnterEvent>
#include <QPainter>

TILMultiImageToolBarButton::TILMultiImageToolBarButton(TILMultiImageToolBarBtn index, QWidget* parent)
    : QAbstractButton(parent), index_(index)
{
    setFocusPolicy(Qt::NoFocus);
    setCheckable(toolbarbuttons::isToggle(index));
    setEnabled(false);
    resize(20, 18);
}

bool TILMultiImageToolBarButton::loadGlyphs(const QString& suffix)
{
    const QPixmap both(QStringLiteral(":/toolbar/ILTB_") + suffix + QStringLiteral(".png"));
    if (both.isNull() || both.width() < 2)
        return false;
    const int half = both.width() / 2;
    glyph_ = both.copy(0, 0, half, both.height());
    disabledGlyph_ = both.copy(half, 0, half, both.height());
    update();
    return true;
}

void TILMultiImageToolBarButton::setFlat(bool on)
{
    if (flat_ == on)
        return;
    flat_ = on;
    update();
}

void TILMultiImageToolBarButton::setShowsFocus(bool on)
{
    if (showsFocus_ == on)
        return;
    showsFocus_ = on;
    update();
}

void TILMultiImageToolBarButton::enterEvent(QEnterEvent* event)
{
    hovered_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void TILMultiImageToolBarButton::leaveEvent(QEvent* event)
{
    hovered_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

bool TILMultiImageToolBarButton::sunken() const
{
    return isDown() || isChecked();
}

void TILMultiImageToolBarButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect();
    const QPalette& pal = palette();
    p.fillRect(r, pal.color(QPalette::Button));
    const bool down = sunken();
    if (isChecked() && !isDown()) {
        // a toggle that stays down gets the checkered face
        p.fillRect(r.adjusted(1, 1, -1, -1), QBrush(pal.color(QPalette::Light), Qt::Dense4Pattern));
    }
    const bool framed = !flat_ || down || (hovered_ && isEnabled());
    if (framed) {
        const QColor topLeft = down ? pal.color(QPalette::Dark) : pal.color(QPalette::Light);
        const QColor bottomRight = down ? pal.color(QPalette::Light) : pal.color(QPalette::Dark);
        p.setPen(topLeft);
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(bottomRight);
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
    }
    const QPixmap& g = isEnabled() ? glyph_ : disabledGlyph_;
    const int shift = down ? 1 : 0;
    if (!g.isNull()) {
        const QSize s = g.deviceIndependentSize().toSize();
        p.drawPixmap((r.width() - s.width()) / 2 + shift, (r.height() - s.height()) / 2 + shift, g);
    }
    if (showsFocus_) {
        QRect focus = r.adjusted(3, 3, -3, -3);
        if (isDown())
            focus.translate(1, 1);
        p.setPen(QPen(pal.color(QPalette::WindowText), 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(focus.adjusted(0, 0, -1, -1));
    }
}
