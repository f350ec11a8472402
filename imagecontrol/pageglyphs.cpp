#include "pageglyphs.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygon>

namespace {

constexpr int kGlyphSize = 16;

enum class Arrow { Left, Right };

struct GlyphShape {
    Arrow arrow;
    bool bar;  // a stop bar on the far side: first and last page
};

bool shapeOf(const QString& name, GlyphShape& shape)
{
    if (name == QLatin1String("ILTB_FIRST"))
        shape = {Arrow::Left, true};
    else if (name == QLatin1String("ILTB_PRIOR"))
        shape = {Arrow::Left, false};
    else if (name == QLatin1String("ILTB_NEXTPAGE"))
        shape = {Arrow::Right, false};
    else if (name == QLatin1String("ILTB_LAST"))
        shape = {Arrow::Right, true};
    else
        return false;
    return true;
}

void drawShape(QPainter& p, const GlyphShape& shape, const QColor& color, QPoint offset)
{
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    const int top = 3 + offset.y();
    const int bottom = 12 + offset.y();
    const int mid = 7 + offset.y();
    if (shape.arrow == Arrow::Left) {
        const int tip = (shape.bar ? 5 : 4) + offset.x();
        p.drawPolygon(QPolygon({QPoint(tip, mid), QPoint(tip + 5, top + 1), QPoint(tip + 5, bottom),
                                QPoint(tip, mid + 1)}));
        if (shape.bar)
            p.drawRect(QRect(2 + offset.x(), top + 1, 2, bottom - top - 1));
    } else {
        const int tip = (shape.bar ? 10 : 11) + offset.x();
        p.drawPolygon(QPolygon({QPoint(tip, mid), QPoint(tip - 5, top + 1), QPoint(tip - 5, bottom),
                                QPoint(tip, mid + 1)}));
        if (shape.bar)
            p.drawRect(QRect(12 + offset.x(), top + 1, 2, bottom - top - 1));
    }
}

QPixmap glyphPixmap(const GlyphShape& shape, bool enabled)
{
    QPixmap pixmap(kGlyphSize, kGlyphSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    if (enabled) {
        drawShape(p, shape, Qt::black, QPoint(0, 0));
    } else {
        // the embossed look of a disabled button glyph
        drawShape(p, shape, Qt::white, QPoint(1, 1));
        drawShape(p, shape, QColor(128, 128, 128), QPoint(0, 0));
    }
    return pixmap;
}

}  // namespace

QIcon PageButtonGlyph(const QString& name)
{
    GlyphShape shape{};
    if (!shapeOf(name, shape))
        return {};
    QIcon icon;
    icon.addPixmap(glyphPixmap(shape, true), QIcon::Normal);
    icon.addPixmap(glyphPixmap(shape, false), QIcon::Disabled);
    return icon;
}
