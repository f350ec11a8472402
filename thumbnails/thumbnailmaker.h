#pragma once
// Makes the grid items of one picture file: its facts and a miniature per
// page. Touches no widget and no shared state, so workers may run it.

#include "th.h"

#include "platform/globalmem.h"

#include <QColor>
#include <QSize>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class ThumbnailMaker {
public:
    struct Settings {
        int width = 100;
        int height = 100;
        QColor fillColor = QColor(255, 255, 255);
        bool antiAliased = false;
        // A file the readers refuse is tried once more with this.
        std::function<bool(const QString& path, TBitmap& picture)> decodeByContent;
        // Set: a decode under way stops and the file gives no items.
        const std::atomic<bool>* stop = nullptr;
    };
    using Items = std::vector<std::unique_ptr<Th>>;

    explicit ThumbnailMaker(Settings settings);

    // No items: not a picture, or no reader decodes it.
    Items make(const QString& path) const;

    // The miniature of source at w x h, centred on a fill-colour cell of the
    // thumbnail size; empty for an empty source.
    TBitmap MakeThumbnail(int w, int h, const TBitmap& source) const;
    // scale: a JPEG may be decoded at 1/2, 1/4 or 1/8 of its size.
    TBitmap DecodeFile(const QString& path, const QString& type, int page, int scale = 1) const;
    TBitmap DecodeStream(const QByteArray& stream, const QString& type, int page, int scale = 1) const;
    // The largest JPEG scale that still leaves twice the miniature's size.
    int jpegScaleFor(int width, int height) const;
    bool stopped() const;

    // The miniature's size for a picture of width x height.
    QSize miniatureSize(int width, int height) const;

private:
    bool standsIn(int width, int height, int pictureWidth, int pictureHeight) const;
    TBitmap embeddedThumbnail(const QByteArray& file, const Th& facts) const;
    int reducedTiffPage(const QByteArray& file, int page) const;
    bool makePage(const QString& path, const QString& type, int page, int pageCount, Th facts, Items& out) const;
    void updateTiffFacts(const QString& path, int page, int pageCount, Th& facts) const;
    bool addMiniature(const QString& path, int page, int pageCount, Th facts, TBitmap decoded, Items& out) const;
    bool addMiniature(const QString& path, int page, int pageCount, Th facts, GlobalHandle dib, Items& out) const;
    bool addItem(const QString& path, int page, int pageCount, Th facts, const TBitmap& miniature, Items& out) const;
    GlobalHandle decodeDib(const QByteArray& stream, const QString& type, int page, int scale) const;
    static TBitmap bitmapOf(GlobalHandle dib);
    static bool isStrip(int width, int height);
    bool addIcon(const QString& path, Th facts, Items& out) const;
    TBitmap smoothlyScaled(const TBitmap& source, int w, int h, bool grey) const;

    Settings settings_;
};
