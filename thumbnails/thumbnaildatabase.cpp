#include "thumbnaildatabase.h"

#include "codec/binding/codecwrappers.h"
#include "codec/binding/dibconvert.h"
#include "codec/binding/errorinvalid.h"
#include "codec/binding/tbitmap.h"
#include "platform/globalmem.h"
#include "storedminiatures.h"

#include <QStringList>
#include <QtEndian>

namespace {

// Day zero of the stored date values: an item without a date.
const QDate kNoDate(1899, 12, 30);

const QString kDateFormat = QStringLiteral("dd.MM.yyyy");
const QString kTimeFormat = QStringLiteral("HH:mm:ss");

qint32 toInt32(const QString& s, qint32 def)
{
    bool ok = false;
    const qint32 v = s.trimmed().toInt(&ok, 10);
    return ok ? v : def;
}

qint64 toInt64(const QString& s)
{
    bool ok = false;
    const qint64 v = s.trimmed().toLongLong(&ok, 10);
    return ok ? v : 0;
}

qint16 toInt16(const QString& s)
{
    bool ok = false;
    const qint16 v = s.trimmed().toShort(&ok, 10);
    return ok ? v : 0;
}

}  // namespace

QString ThumbnailDatabase::dateText(const QDateTime& date)
{
    if (!date.isValid())
        return kNoDate.toString(kDateFormat);
    const QDateTime local = date.toLocalTime();
    QString text = local.date().toString(kDateFormat);
    if (local.time() != QTime(0, 0))
        text += " " + local.time().toString(kTimeFormat);
    return text;
}

QDateTime ThumbnailDatabase::parseDate(const QString& text, bool* ok)
{
    const QString t = text.trimmed();
    QDateTime d = QDateTime::fromString(t, kDateFormat + " " + kTimeFormat);
    if (!d.isValid()) {
        const QDate day = QDate::fromString(t, kDateFormat);
        if (day.isValid())
            d = QDateTime(day, QTime(0, 0));
    }
    if (!d.isValid())
        d = QDateTime::fromString(t, Qt::ISODate);
    if (d.isValid())
        d = d.toLocalTime().addMSecs(-d.toLocalTime().time().msec());
    *ok = d.isValid();
    return d;
}

QByteArray ThumbnailDatabase::bmpImage(const TBitmap& bitmap)
{
    GlobalHandle dib = GraphicToDIB(&bitmap);
    if (!dib)
        return {};
    const std::size_t size = globalmem::size(dib);
    const auto* data = static_cast<const uchar*>(globalmem::lock(dib));
    QByteArray bmp;
    if (data && size >= 40) {
        const quint32 headerSize = qFromLittleEndian<quint32>(data);
        const quint16 bits = qFromLittleEndian<quint16>(data + 14);
        quint32 colours = qFromLittleEndian<quint32>(data + 32);
        if (colours == 0 && bits <= 8)
            colours = 1u << bits;
        const quint32 offBits = 14 + headerSize + (bits <= 8 ? colours * 4 : 0);
        bmp.resize(14);
        uchar* h = reinterpret_cast<uchar*>(bmp.data());
        h[0] = 'B';
        h[1] = 'M';
        qToLittleEndian<quint32>(quint32(14 + size), h + 2);
        qToLittleEndian<quint32>(0, h + 6);
        qToLittleEndian<quint32>(offBits, h + 10);
        bmp.append(reinterpret_cast<const char*>(data), qsizetype(size));
    }
    globalmem::unlock(dib);
    FreeDIB(dib);
    return bmp;
}

bool ThumbnailDatabase::bitmapFromBmp(const QByteArray& bmp, TBitmap& bitmap)
{
    if (bmp.size() < 54 || !bmp.startsWith("BM"))
        return false;
    GlobalHandle dib = nullptr;
    if (!ReadBmpStreamDib(bmp.constData(), bmp.size(), 0, false, dib) || !dib)
        return false;
    const bool ok = DIBToGraphic(dib, bitmap);
    FreeDIB(dib);
    return ok && !bitmap.empty();
}

QByteArray ThumbnailDatabase::entryText(int index, const Th& item)
{
    QByteArray out;
    auto line = [&out](const QString& s) {
        out += s.toUtf8();
        out += "\r\n";
    };
    // a miniature still in its database is copied as stored
    QByteArray hex = item.Stored ? item.Stored->read(item.StoredOffset, item.StoredLength) : QByteArray();
    if (hex.isEmpty())
        hex = bmpImage(item.Bitmap).toHex().toUpper();
    if (hex.isEmpty())
        return {};
    line("[" + QString::number(index) + "]");
    out += hex;
    out += "\r\n";
    line(QString::number(item.PageIndex));
    line(QString::number(item.PageCount));
    line(item.FileName);
    line(item.FormatName);
    line(item.Compression);
    line(QString::number(item.Width));
    line(QString::number(item.Height));
    line(QString::number(item.FileSize));
    line(dateText(item.FileDate));
    line(QString::number(item.PixelCode));
    line(QString::number(item.Bits));
    line(QString::number(item.Planes));
    line(QString::number(item.Colors));
    return out;
}

bool ThumbnailDatabase::isEntryMarker(const QString& line)
{
    return line.startsWith('[') && line.endsWith(']');
}

namespace {

int hexValue(char16_t c)
{
    if (c >= '0' && c <= '9')
        return int(c - '0');
    if (c >= 'A' && c <= 'F')
        return int(c - 'A' + 10);
    if (c >= 'a' && c <= 'f')
        return int(c - 'a' + 10);
    return -1;
}

template <typename Char>
bool decodeHex(const Char* in, qsizetype digits, QByteArray& out)
{
    if (digits % 2 != 0)
        return false;
    out.resize(digits / 2);
    for (qsizetype i = 0; i < out.size(); ++i) {
        const int high = hexValue(in[2 * i]), low = hexValue(in[2 * i + 1]);
        if (high < 0 || low < 0)
            return false;
        out[i] = char(high * 16 + low);
    }
    return true;
}

}  // namespace

bool ThumbnailDatabase::fromHexBytes(const QByteArray& hex, QByteArray& out)
{
    return decodeHex(reinterpret_cast<const uchar*>(hex.constData()), hex.size(), out);
}

bool ThumbnailDatabase::bmpHexHead(const QByteArray& head, qint64 length)
{
    // the file header's size is the whole image: a cut line is no miniature
    QByteArray bytes;
    return length % 2 == 0 && length >= 108 && head.size() >= 108 && fromHexBytes(head.left(108), bytes)
        && bytes.startsWith("BM")
        && qFromLittleEndian<quint32>(reinterpret_cast<const uchar*>(bytes.constData()) + 2) == quint64(length / 2);
}

bool ThumbnailDatabase::loadStoredBitmap(Th& item)
{
    if (!item.Stored)
        return false;
    QByteArray bytes;
    TBitmap bitmap;
    const bool ok = fromHexBytes(item.Stored->read(item.StoredOffset, item.StoredLength), bytes)
        && bitmapFromBmp(bytes, bitmap);
    if (ok)
        item.Bitmap = bitmap;
    else
        item.Stored.reset();   // the file changed under us: no miniature
    return ok;
}

bool ThumbnailDatabase::fromHexDigits(const QString& hex, QByteArray& out)
{
    return decodeHex(reinterpret_cast<const char16_t*>(hex.utf16()), hex.size(), out);
}

std::unique_ptr<Th> ThumbnailDatabase::parseEntry(const QStringList& f, bool dateMissing)
{
    auto item = std::make_unique<Th>();
    QByteArray bytes;
    if (!fromHexDigits(f.value(0), bytes) || bytes.size() < 54)
        return nullptr;
    if (!bitmapFromBmp(bytes, item->Bitmap))
        return nullptr;
    parseFacts(f, dateMissing, *item);
    return item;
}

void ThumbnailDatabase::parseFacts(const QStringList& f, bool dateMissing, Th& item)
{
    item.PageIndex = toInt32(f.value(1), 0);
    item.PageCount = toInt32(f.value(2), 0);
    item.FileName = f.value(3);
    item.FormatName = f.value(4);
    item.Compression = f.value(5);
    item.Width = toInt32(f.value(6), 100);
    item.Height = toInt32(f.value(7), 100);
    item.FileSize = toInt64(f.value(8));
    if (dateMissing) {
        item.FileDate = QDateTime::currentDateTime();
    } else {
        // an unreadable date counts as unknown: the picture is decoded again
        bool ok = false;
        item.FileDate = parseDate(f.value(9), &ok);
        if (!ok || item.FileDate == QDateTime(kNoDate, QTime(0, 0)))
            item.FileDate = QDateTime();
    }
    const qint32 code = toInt32(f.value(10), 0);
    if (code >= 0 && code <= 8)
        item.PixelCode = quint8(code);
    item.Bits = toInt16(f.value(11));
    item.Planes = toInt16(f.value(12));
    item.Colors = toInt16(f.value(13));
}
