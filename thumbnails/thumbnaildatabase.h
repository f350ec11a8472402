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

    // Builds an item from the 14 lines after a marker; null when the
    // miniature is no BMP image.
    static std::unique_ptr<Th> parseEntry(const QStringList& fields, bool dateMissing);
    // The facts of the lines after the miniature's (fields[0] is not read).
    static void parseFacts(const QStringList& fields, bool dateMissing, Th& item);
    // Whether a miniature's hex text can be a BMP image: its first bytes.
    static bool bmpHexHead(const QByteArray& head, qint64 length);
    // The stored miniature of an item loaded from a database.
    static bool loadStoredBitmap(Th& item);

    // The bytes an even number of hexadecimal digits stand for; false for
    // any other text.
    static bool fromHexDigits(const QString& hex, QByteArray& out);
    static bool fromHexBytes(const QByteArray& hex, QByteArray& out);

    // The BMP file image of a miniature, and back.
    static QByteArray bmpImage(const TBitmap& bitmap);
    static bool bitmapFromBmp(const QByteArray& bmp, TBitmap& bitmap);

    static constexpr int kMaxLine = 4 * 1024 * 1024;
    static constexpr int kFieldLines = 14;
};
