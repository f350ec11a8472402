#pragma once
// The pages of a contact sheet: each item's picture fitted into its cell
// with its name and size under it. Pages are drawn on the print job's
// worker; the pictures are decoded there, one at a time.

#include "contactsheetlayout.h"

#include <QFont>
#include <QImage>
#include <QList>
#include <QString>
#include <atomic>
#include <functional>

class QPainter;
class QPaintDevice;

struct ContactSheetItem {
    QString file;
    int page = 0;          // of a multi-page file, from 0
    int pageCount = 0;     // 0 for single-page files
    QSize size;            // the picture's own size
    QImage miniature;      // the grid's miniature, used when the file cannot be decoded
};

struct ContactSheetOptions {
    int columns = 4;
    bool showName = true;   // "Dateiname"
    bool showSize = true;   // "Bildgröße"
};

class ContactSheetPages {
public:
    // Decodes an item's picture; null when it cannot.
    using Loader = std::function<QImage(const ContactSheetItem& item)>;

    // device: the printer, for its resolution and font measures.
    ContactSheetPages(const QList<ContactSheetItem>& items, const ContactSheetOptions& options,
                      QPaintDevice& device);

    const ContactSheetLayout& layout() const { return layout_; }
    int pageCount() const { return layout_.pageCount(int(items_.size())); }
    // The caption lines of an item: its name and "W x H".
    QStringList captionOf(const ContactSheetItem& item) const;

    // Draws one page; false when cancel was set meanwhile.
    bool render(QPainter& painter, int page, const std::atomic<bool>& cancel) const;

    Loader load;   // empty: the codec binding by the file's type

    static QImage decodeItem(const ContactSheetItem& item);
    static ContactSheetGeometry geometryFor(QPaintDevice& device, const ContactSheetOptions& options,
                                            const QFont& font);

private:
    void drawItem(QPainter& painter, int index) const;

    QList<ContactSheetItem> items_;
    ContactSheetOptions options_;
    QFont font_;
    ContactSheetLayout layout_;
};
