#pragma once
// The text format of "KvnThumbalais.db": 15 CR LF lines per item, the
// miniature as a BMP file image in upper-case hexadecimal.

#include "th.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <memory>

class ThumbnailDatabase {
public:
    // "dd.MM.yyyy HH:mm:ss" in local time (no time part at midnight);
    // read back from that form, the date alone, or ISO 8601.
    static QString dateText(const QDateTime& date);
    static QDateTime parseDate(const QString& text, bool* ok);

    static QByteArray entryText(int index, const Th& item);
    static bool isEntryMarker(const QString& line);

    // Reads one line; false at the end or on an error. A line longer than
    // kMaxLine is skipped and reads as empty.
    static bool readLine(QIODevice& in, QString& line, bool* error);

    // Builds an item from the 14 lines after a marker; null when the
    // miniature is no BMP image.
    static std::unique_ptr<Th> parseEntry(const QStringList& fields, bool dateMissing);

    // The BMP file image of a miniature, and back.
    static QByteArray bmpImage(const TBitmap& bitmap);
    static bool bitmapFromBmp(const QByteArray& bmp, TBitmap& bitmap);

    static constexpr int kMaxLine = 4 * 1024 * 1024;
    static constexpr int kFieldLines = 14;
};
