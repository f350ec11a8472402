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
    // Date and time as the user's locale writes them (four-digit years).
    static QString dateText(const QDateTime& date);
    static QDateTime parseDate(const QString& text, bool* ok);

    static QByteArray entryText(int index, const Th& item);
    static bool isEntryMarker(const QString& line);

    // Reads one line of at most kMaxLine characters; false at the end or on
    // an error (a longer line counts as an error).
    static bool readLine(QIODevice& in, QString& line, bool* error);

    // Builds an item from the 14 lines after a marker. Throws ErrorInvalid
    // when the miniature is no BMP image or the date cannot be read.
    static std::unique_ptr<Th> parseEntry(const QStringList& fields, bool dateMissing);

    // The BMP file image of a miniature, and back.
    static QByteArray bmpImage(const TBitmap& bitmap);
    static bool bitmapFromBmp(const QByteArray& bmp, TBitmap& bitmap);

    static constexpr int kMaxLine = 4 * 1024 * 1024;
    static constexpr int kFieldLines = 14;
};
