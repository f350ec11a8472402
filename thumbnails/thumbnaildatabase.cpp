#include "thumbnaildatabase.h"

#include "codec/binding/codecwrappers.h"
#include "codec/binding/dibconvert.h"
#include "codec/binding/errorinvalid.h"
#include "codec/binding/tbitmap.h"
#include "platform/globalmem.h"

#include <QLocale>
#include <QStringList>
#include <QtEndian>

namespace {

// Day zero of the stored date values: an item without a date.
const QDate kNoDate(1899, 12, 30);

// The locale's short date with a four-digit year: two-digit years would
// come back in the wrong century.
QString dateFormat()
{
    QString f = QLocale::system().dateFormat(QLocale::ShortFormat);
    if (!f.contains("yyyy"))
        f.replace("yy", "yyyy");
    return f;
}

// The locale's long time without its time zone.
QString timeFormat()
{
    QString f = QLocale::system().timeFormat(QLocale::LongFormat);
    f.remove(QLatin1Char('t'));
    return f.trimmed();
}

qint32 toInt32(const QString& s, qint32 def)
{
    bool ok = false;
    const qint32 v = s.trimmed().toInt(&ok, 10);
    return ok ? v : def;
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
        return QLocale::system().toString(kNoDate, dateFormat());
    const QDateTime local = date.toLocalTime();
    QString text = QLocale::system().toString(local.date(), dateFormat());
    if (local.time() != QTime(0, 0))
        text += " " + QLocale::system().toString(local.time(), timeFormat());
    return text;
}

QDateTime ThumbnailDatabase::parseDate(const QString& text, bool* ok)
{
    const QLocale locale = QLocale::system();
    QDateTime d = locale.toDateTime(text.trimmed(), dateFormat() + " " + timeFormat());
    if (!d.isValid()) {
        const QDate day = locale.toDate(text.trimmed(), dateFormat());
        if (day.isValid())
            d = QDateTime(day, QTime(0, 0));
    }
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
    line("[" + QString::number(index) + "]");
    out += bmpImage(item.Bitmap).toHex().toUpper();
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

bool ThumbnailDatabase::readLine(QIODevice& in, QString& line, bool* error)
{
    *error = false;
    if (in.atEnd())
        return false;
    QByteArray bytes = in.readLine(kMaxLine + 2);
    if (bytes.isEmpty() && !in.atEnd()) {
        *error = true;
        return false;
    }
    if (!bytes.endsWith('\n') && !in.atEnd()) {
        *error = true;   // longer than any line this file can hold
        return false;
    }
    while (bytes.endsWith('\n') || bytes.endsWith('\r'))
        bytes.chop(1);
    line = QString::fromUtf8(bytes);
    return true;
}

std::unique_ptr<Th> ThumbnailDatabase::parseEntry(const QStringList& f, bool dateMissing)
{
    auto item = std::make_unique<Th>();
    const QString& hex = f.value(0);
    const QByteArray bytes = QByteArray::fromHex(hex.left(hex.size() / 2 * 2).toLatin1());
    if (!bitmapFromBmp(bytes, item->Bitmap))
        throw ErrorInvalid("Die Miniatur ist kein gültiges BMP-Bild.");
    item->PageIndex = toInt32(f.value(1), 0);
    item->PageCount = toInt32(f.value(2), 0);
    item->FileName = f.value(3);
    item->FormatName = f.value(4);
    item->Compression = f.value(5);
    item->Width = toInt32(f.value(6), 100);
    item->Height = toInt32(f.value(7), 100);
    item->FileSize = toInt32(f.value(8), 0);
    if (dateMissing) {
        item->FileDate = QDateTime::currentDateTime();
    } else {
        bool ok = false;
        item->FileDate = parseDate(f.value(9), &ok);
        if (!ok)
            throw ErrorInvalid("Das Datum \"" + f.value(9) + "\" ist ungültig.");
        if (item->FileDate == QDateTime(kNoDate, QTime(0, 0)))
            item->FileDate = QDateTime();
    }
    const qint32 code = toInt32(f.value(10), 0);
    if (code >= 0 && code <= 8)
        item->PixelCode = quint8(code);
    item->Bits = toInt16(f.value(11));
    item->Planes = toInt16(f.value(12));
    item->Colors = toInt16(f.value(13));
    return item;
}
