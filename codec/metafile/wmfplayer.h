#pragma once
// Windows Metafiles (MS-WMF): the header, with the placeable header in
// front when there is one, and a player that draws the records through a
// GdiDevice.

#include "bytereader.h"

#include <QByteArray>
#include <QRect>
#include <QSize>
#include <QString>

class GdiDevice;
class QPainter;
class QPolygonF;
class QRectF;
class QTransform;

class WmfPlayer {
public:
    // Parses and checks the file: header, placeable header checksum aside,
    // and a record chain that stays inside the data. error says why not.
    explicit WmfPlayer(const QByteArray& data);

    bool valid() const { return valid_; }
    QString error() const { return error_; }
    // The picture's size in pixels at 96 dots per inch.
    QSize size() const { return size_; }
    bool placeable() const { return placeable_; }

    // Draws the picture into target (painter coordinates).
    void play(QPainter& painter, const QRectF& target) const;

    static bool looksLikeWmf(const QByteArray& data);

private:
    bool fail(const QString& why);
    bool readPlaceableHeader(const ByteReader& r);
    bool readHeader(const ByteReader& r);
    bool checkRecords();
    bool sizeFromWindow();

    struct Record {
        std::uint16_t function = 0;
        std::uint32_t words = 0;
        ByteReader params;
    };
    // Each record in turn; stops at the end record or a broken chain.
    template <typename F>
    void forEachRecord(F&& f) const;

    // Plays with the device placed by toTarget; where the drawing reached.
    QRectF playOnce(QPainter& painter, const QTransform& toTarget) const;
    void playRecord(GdiDevice& dc, const Record& rec) const;
    void playState(GdiDevice& dc, const Record& rec) const;
    void playMapping(GdiDevice& dc, const Record& rec) const;
    void playObject(GdiDevice& dc, const Record& rec) const;
    void playShape(GdiDevice& dc, const Record& rec) const;
    void playText(GdiDevice& dc, const Record& rec) const;
    void playBitmap(GdiDevice& dc, const Record& rec) const;
    void playRegion(GdiDevice& dc, const Record& rec) const;

    QByteArray data_;
    bool valid_ = false;
    QString error_;
    bool placeable_ = false;
    QRect box_;          // logical units
    int inch_ = 0;
    std::size_t recordsAt_ = 0;
    std::uint16_t objects_ = 0;
    QSize size_;
};
