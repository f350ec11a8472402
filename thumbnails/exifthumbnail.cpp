#include "exifthumbnail.h"

#include "tiffblock.h"

#include <QTransform>
#include <QtEndian>

#include <cstring>

namespace exifthumbnail {

namespace {

// The APP1 "Exif" payload of a JPEG file (after "Exif\0\0"), if any.
bool exifBlock(const QByteArray& file, qsizetype& start, qsizetype& size)
{
    const auto* d = reinterpret_cast<const uchar*>(file.constData());
    const qsizetype n = file.size();
    if (n < 4 || d[0] != 0xFF || d[1] != 0xD8)
        return false;
    qsizetype at = 2;
    while (at + 4 <= n) {
        if (d[at] != 0xFF)
            return false;
        const uchar marker = d[at + 1];
        if (marker == 0xFF) {   // fill byte
            ++at;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9)   // the scan begins: no more headers
            return false;
        const qsizetype length = qFromBigEndian<quint16>(d + at + 2);
        if (length < 2 || at + 2 + length > n)
            return false;
        if (marker == 0xE1 && length >= 8 && memcmp(d + at + 4, "Exif\0\0", 6) == 0) {
            start = at + 10;
            size = length - 8;
            return true;
        }
        at += 2 + length;
    }
    return false;
}

}  // namespace

bool find(const QByteArray& file, Found& found)
{
    qsizetype start = 0, size = 0;
    if (!exifBlock(file, start, size))
        return false;
    const TiffBlock tiff(reinterpret_cast<const uchar*>(file.constData()) + start, size);
    if (!tiff.valid())
        return false;
    constexpr quint16 kShort = 3, kLong = 4;
    int orientation = 1;
    const quint32 second = tiff.walk(tiff.firstDirectory(), [&](quint16 tag, quint16 type, qint64 value) {
        if (tag == 0x0112 && type == kShort)
            orientation = tiff.u16(value);
    });
    if (second == 0 || second == tiff.firstDirectory())
        return false;
    quint32 offset = 0, length = 0;
    quint16 compression = 6;
    tiff.walk(second, [&](quint16 tag, quint16 type, qint64 value) {
        const quint32 v = type == kShort ? tiff.u16(value) : type == kLong ? tiff.u32(value) : 0;
        if (tag == 0x0201)
            offset = v;
        else if (tag == 0x0202)
            length = v;
        else if (tag == 0x0103)
            compression = quint16(v);
    });
    if (compression != 6 || offset == 0 || length < 4 || qint64(offset) + length > tiff.size())
        return false;
    const auto* jpeg = reinterpret_cast<const uchar*>(file.constData()) + start + offset;
    if (jpeg[0] != 0xFF || jpeg[1] != 0xD8)
        return false;
    found.offset = start + offset;
    found.length = length;
    found.orientation = orientation >= 1 && orientation <= 8 ? orientation : 1;
    return true;
}

bool swapsSides(int orientation)
{
    return orientation >= 5 && orientation <= 8;
}

QImage upright(const QImage& stored, int orientation)
{
    switch (orientation) {
    case 2: return stored.mirrored(true, false);
    case 3: return stored.mirrored(true, true);
    case 4: return stored.mirrored(false, true);
    case 5: return stored.transformed(QTransform().rotate(90)).mirrored(true, false);
    case 6: return stored.transformed(QTransform().rotate(90));
    case 7: return stored.transformed(QTransform().rotate(90)).mirrored(false, true);
    case 8: return stored.transformed(QTransform().rotate(270));
    default: return stored;
    }
}

}  // namespace exifthumbnail
