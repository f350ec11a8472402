#include "palettegrid.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

PaletteGrid::PaletteGrid(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(16 * 8 + 4, 16 * 8 + 4);
    setToolTip(QStringLiteral("Click me to select"));
    setStatusTip(toolTip());
}

void PaletteGrid::SetColours(const std::vector<QRgb>& colours)
{
    colours_ = colours;
    update();
}

void PaletteGrid::SetColour(int index, QRgb colour)
{
    if (index >= 0 && index < int(colours_.size())) {
        colours_[size_t(index)] = colour;
        update();
    }
}

QSize PaletteGrid::CellSize() const
{
    return QSize(std::max(1, (width() - 4) / 16), std::max(1, (height() - 4) / 16));
}

int PaletteGrid::IndexAt(QPoint p) const
{
    const QSize c = CellSize();
    const int column = std::clamp(p.x() / c.width(), 0, 15);
    const int row = std::clamp(p.y() / c.height(), 0, 15);
    return column + row * 16;
}

void PaletteGrid::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const QSize c = CellSize();
    for (int i = 0; i < 256; ++i) {
        const QRect cell(c.width() * (i % 16) + 2, c.height() * (i / 16) + 2, c.width(), c.height());
        if (i < int(colours_.size()))
            painter.fillRect(cell, QColor(colours_[size_t(i)]));
        else
            painter.fillRect(cell, QBrush(palette().mid().color(), Qt::DiagCrossPattern));
    }
}

void PaletteGrid::mousePressEvent(QMouseEvent* event)
{
    if (isEnabled() && Pressed)
        Pressed(IndexAt(event->position().toPoint()));
}
