#pragma once
// Where a contact sheet puts its miniatures: cells in rows and columns over
// as many pages as needed, each cell a square picture area with the
// caption lines under it. Device pixels of the printable area; no widgets.

#include <QRect>
#include <QSize>

struct ContactSheetGeometry {
    QSize page;            // printable area
    int columns = 4;
    int gap = 0;           // between cells, both ways
    int captionLines = 2;
    int lineHeight = 0;    // of one caption line
};

class ContactSheetLayout {
public:
    explicit ContactSheetLayout(const ContactSheetGeometry& geometry);

    int columns() const { return columns_; }
    int rowsPerPage() const { return rows_; }
    int perPage() const { return columns_ * rows_; }
    int cellWidth() const { return cellWidth_; }
    int cellHeight() const { return cellHeight_; }
    int pageCount(int items) const;
    int pageOf(int index) const { return index / perPage(); }

    // On the item's own page.
    QRect cell(int index) const;
    QRect pictureArea(int index) const;
    QRect captionLine(int index, int line) const;
    // A w x h picture fitted into the item's picture area, centred across
    // and standing on its bottom edge.
    QRect pictureRect(int index, QSize picture) const;

private:
    ContactSheetGeometry g_;
    int columns_ = 1;
    int rows_ = 1;
    int cellWidth_ = 1;
    int cellHeight_ = 1;
};
