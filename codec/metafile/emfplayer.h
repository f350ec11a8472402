#pragma once
// Enhanced Metafiles (MS-EMF): the header and a player that draws the
// records through a GdiDevice. EMF+ comments are passed over; the EMF
// records such files also carry are drawn.

#include "bytereader.h"

#include <QByteArray>
#include <QRect>
#include <QSize>
#include <QString>

class GdiDevice;
class QPainter;
class QRectF;
class QTransform;

class EmfPlayer {
public:
    // Parses and checks the file: header and a record chain that stays
    // inside the data. error says why not.
    explicit EmfPlayer(const QByteArray& data);

    bool valid() const { return valid_; }
    QString error() const { return error_; }
    // The frame's size in pixels at 96 dots per inch.
    QSize size() const { return size_; }

    void play(QPainter& painter, const QRectF& target) const;

    static bool looksLikeEmf(const QByteArray& data);

private:
    bool fail(const QString& why);
    bool readHeader(const ByteReader& r);
    bool checkRecords();

    struct Record {
        std::uint32_t type = 0;
        ByteReader whole;   // the record from its type field on
        ByteReader params;  // after type and size
    };
    template <typename F>
    void forEachRecord(F&& f) const;

    // Plays with the device placed by toTarget; where the drawing reached.
    QRectF playOnce(QPainter& painter, const QTransform& toTarget) const;
    void playRecord(GdiDevice& dc, const Record& rec) const;
    bool playState(GdiDevice& dc, const Record& rec) const;
    bool playMapping(GdiDevice& dc, const Record& rec) const;
    bool playObject(GdiDevice& dc, const Record& rec) const;
    bool playPoly(GdiDevice& dc, const Record& rec) const;
    bool playShape(GdiDevice& dc, const Record& rec) const;
    bool playPath(GdiDevice& dc, const Record& rec) const;
    bool playClip(GdiDevice& dc, const Record& rec) const;
    bool playText(GdiDevice& dc, const Record& rec) const;
    bool playBitmap(GdiDevice& dc, const Record& rec) const;
    void playTextRun(GdiDevice& dc, const Record& rec, std::size_t emrText, bool wide) const;
    void playGradient(GdiDevice& dc, const Record& rec) const;

    QByteArray data_;
    bool valid_ = false;
    QString error_;
    QRect frame_;  // hundredths of a millimetre
    QSizeF pxPerMm_;
    std::uint32_t handles_ = 0;
    QSize size_;
};
