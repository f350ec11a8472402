#pragma once
// Slides decoded ahead: the picture laid out at screen size, kept by file
// (path, page, size, modification time) and by the layout it was made for.
// A few slides only; the one used longest ago goes first.

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>
#include <deque>
#include <optional>

struct SlideFileKey {
    QString path;
    int page = 0;
    qint64 size = -1;
    qint64 modified = 0;   // whole seconds
    bool operator==(const SlideFileKey&) const = default;

    // The file as it is now; size -1 when it is missing.
    static SlideFileKey of(const QString& path, int page);
};

struct SlideLayout {
    QSize screen;
    QRgb background = 0;
    bool fitBig = true;
    bool enlargeSmall = true;
    bool operator==(const SlideLayout&) const = default;
};

struct Slide {
    SlideFileKey file;
    SlideLayout layout;
    bool ok = false;
    QImage work;          // screen-sized picture as it is shown
    QPoint offset;        // where the picture lies on it
    double scale = 1.0;   // the picture's scale on it
    bool fitted = false;
    QSize original;       // the picture's own size
    QString type;         // picture information type name
    int bits = 0;
    QString error;        // why it could not be shown
};

class SlideCache {
public:
    explicit SlideCache(int capacity = 4) : capacity_(capacity) {}

    void insert(Slide slide);
    // The slide of exactly this file state and layout, if kept.
    std::optional<Slide> find(const SlideFileKey& file, const SlideLayout& layout);
    void clear() { slides_.clear(); }
    int size() const { return int(slides_.size()); }
    int capacity() const { return capacity_; }

private:
    int capacity_;
    std::deque<Slide> slides_;   // most recently used first
};
