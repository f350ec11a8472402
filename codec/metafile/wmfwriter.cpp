#include "wmfwriter.h"

#include "lebytes.h"
#include "metafiledib.h"

#include <QtEndian>

namespace wmfwriter {

namespace {

constexpr int kMaxCoordinate = 32767;
constexpr quint16 kStretchDib = 0x0F43;
constexpr quint32 kSrcCopy = 0x00CC0020;

void record(LeBytes& out, quint16 function, const QList<int>& words)
{
    out.u32(quint32(3 + words.size()));
    out.u16(function);
    for (int w : words)
        out.i16(w);
}

QByteArray placeableHeader(QSize size)
{
    LeBytes h;
    h.u32(0x9AC6CDD7);
    h.u16(0);
    h.i16(0);
    h.i16(0);
    h.i16(size.width());
    h.i16(size.height());
    h.u16(96);  // units per inch
    h.u32(0);
    quint16 sum = 0;
    for (int i = 0; i < 10; ++i)
        sum ^= qFromLittleEndian<quint16>(h.data.constData() + 2 * i);
    h.u16(sum);
    return h.data;
}

}  // namespace

QByteArray write(const QImage& picture, int bits, const QList<QRgb>& palette, QSize size)
{
    if (picture.isNull() || size.isEmpty() || size.width() > kMaxCoordinate || size.height() > kMaxCoordinate ||
        picture.width() > kMaxCoordinate || picture.height() > kMaxCoordinate)
        return {};
    const QByteArray dib = metafiledib::packed(picture, bits, palette);
    if (dib.isEmpty() || dib.size() % 2 != 0)
        return {};

    LeBytes records;
    record(records, 0x0103, {8});                                       // SETMAPMODE anisotropic
    record(records, 0x020B, {0, 0});                                    // SETWINDOWORG
    record(records, 0x020C, {size.height(), size.width()});             // SETWINDOWEXT
    record(records, 0x0107, {4});                                       // SETSTRETCHBLTMODE halftone
    const quint32 stretchWords = quint32(3 + 2 + 9 + dib.size() / 2);
    records.u32(stretchWords);
    records.u16(kStretchDib);
    records.u32(kSrcCopy);
    for (int w : {0, picture.height(), picture.width(), 0, 0, size.height(), size.width(), 0, 0})
        records.i16(w);  // colour usage, source and destination
    records.bytes(dib);
    record(records, 0x0000, {});                                        // EOF

    LeBytes out;
    out.bytes(placeableHeader(size));
    out.u16(1);  // in memory
    out.u16(9);
    out.u16(0x0300);
    out.u32(quint32(9 + records.data.size() / 2));
    out.u16(0);  // objects
    out.u32(stretchWords);
    out.u16(0);
    out.bytes(records.data);
    return out.data;
}

}  // namespace wmfwriter
