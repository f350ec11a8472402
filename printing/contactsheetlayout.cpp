#include "contactsheetlayout.h"

#include "pagelayout.h"

#include <algorithm>

ContactSheetLayout::ContactSheetLayout(const ContactSheetGeometry& geometry) : g_(geometry)
{
    g_.gap = std::max(0, g_.gap);
    g_.captionLines = std::max(0, g_.captionLines);
    g_.lineHeight = std::max(0, g_.lineHeight);
    const int width = std::max(1, g_.page.width());
    const int height = std::max(1, g_.page.height());
    // no more columns than leave each cell one pixel
    columns_ = std::clamp(g_.columns, 1, std::max(1, (width + g_.gap) / (1 + g_.gap)));
    cellWidth_ = std::max(1, (width - (columns_ - 1) * g_.gap) / columns_);
    cellHeight_ = cellWidth_ + g_.captionLines * g_.lineHeight;
    // a cell taller than the page still gets a page of its own
    rows_ = std::max(1, (height + g_.gap) / (cellHeight_ + g_.gap));
}

int ContactSheetLayout::pageCount(int items) const
{
    return items <= 0 ? 0 : (items + perPage() - 1) / perPage();
}

QRect ContactSheetLayout::cell(int index) const
{
    const int onPage = index % perPage();
    const int row = onPage / columns_;
    const int col = onPage % columns_;
    return QRect(col * (cellWidth_ + g_.gap), row * (cellHeight_ + g_.gap), cellWidth_, cellHeight_);
}

QRect ContactSheetLayout::pictureArea(int index) const
{
    const QRect c = cell(index);
    return QRect(c.topLeft(), QSize(cellWidth_, cellWidth_));
}

QRect ContactSheetLayout::captionLine(int index, int line) const
{
    const QRect c = cell(index);
    return QRect(c.left(), c.top() + cellWidth_ + line * g_.lineHeight, cellWidth_, g_.lineHeight);
}

QRect ContactSheetLayout::pictureRect(int index, QSize picture) const
{
    const QRect area = pictureArea(index);
    // centred across, standing on the caption
    QRect r = PrintRectangle(picture, area.size(), {true, false, true});
    r.moveBottom(area.height() - 1);
    return r.translated(area.topLeft());
}
