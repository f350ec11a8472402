#include "drawfonttext.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

void drawOnce(QPainter& p, int x, int y, int angle, const QString& text, const QColor& colour,
              const FontTextStyle& style)
{
    const QFontMetrics metrics(style.font, p.device());
    p.save();
    p.translate(x, y);
    p.rotate(-angle);
    if (!style.transparent)
        p.fillRect(QRect(0, 0, metrics.horizontalAdvance(text), metrics.height()), style.background);
    p.setPen(colour);
    p.drawText(0, metrics.ascent(), text);
    p.restore();
}

}  // namespace

void DrawFontText(QPainter& painter, int x, int y, int angle, const QString& text, const FontTextStyle& style)
{
    if (text.isEmpty())
        return;
    painter.save();
    painter.setFont(style.font);
    if (style.shadowed)
        drawOnce(painter, x + 2, y + 2, angle, text, style.shadowColor, style);
    drawOnce(painter, x, y, angle, text, style.color, style);
    painter.restore();
}
