#include "emfwriter.h"

#include "lebytes.h"
#include "metafiledib.h"

#include <QtEndian>

#include <cmath>

namespace emfwriter {

namespace {

// The reference device: 96 dots per inch on whole millimetres.
constexpr int kDeviceWidth = 1920, kDeviceHeight = 1440;
constexpr int kDeviceMmWidth = 508, kDeviceMmHeight = 381;
constexpr int kHeaderSize = 108;
constexpr int kStretchDiBitsSize = 80;
constexpr int kEofSize = 20;
constexpr int kMaxSide = 1 << 20;

void rect(LeBytes& out, int l, int t, int r, int b)
{
    out.i32(l);
    out.i32(t);
    out.i32(r);
    out.i32(b);
}

void header(LeBytes& out, QSize size, quint32 bytes, quint32 records)
{
    out.u32(1);
    out.u32(kHeaderSize);
    rect(out, 0, 0, size.width() - 1, size.height() - 1);
    // the frame in hundredths of a millimetre
    rect(out, 0, 0, int(std::lround(size.width() * 2540.0 / 96)), int(std::lround(size.height() * 2540.0 / 96)));
    out.u32(0x464D4520);
    out.u32(0x10000);
    out.u32(bytes);
    out.u32(records);
    out.u32(1);  // handles (16 bits) and reserved
    out.u32(0);  // description
    out.u32(0);
    out.u32(0);  // palette entries
    out.i32(kDeviceWidth);
    out.i32(kDeviceHeight);
    out.i32(kDeviceMmWidth);
    out.i32(kDeviceMmHeight);
    out.u32(0);  // pixel format
    out.u32(0);
    out.u32(0);  // OpenGL
    out.i32(kDeviceMmWidth * 1000);
    out.i32(kDeviceMmHeight * 1000);
}

}  // namespace

QByteArray write(const QImage& picture, int bits, const QList<QRgb>& palette, QSize size)
{
    if (picture.isNull() || size.isEmpty() || size.width() > kMaxSide || size.height() > kMaxSide)
        return {};
    const QByteArray dib = metafiledib::packed(picture, bits, palette);
    const int info = metafiledib::infoBytes(dib);
    if (info <= 0)
        return {};
    const qint64 stretchSize = kStretchDiBitsSize + ((qint64(dib.size()) + 3) & ~qint64(3));
    const qint64 total = kHeaderSize + 12 + stretchSize + kEofSize;
    if (total > 0x7FFFFFFF)
        return {};

    LeBytes out;
    header(out, size, quint32(total), 4);
    out.u32(21);  // SETSTRETCHBLTMODE halftone
    out.u32(12);
    out.u32(4);
    out.u32(81);  // STRETCHDIBITS
    out.u32(quint32(stretchSize));
    rect(out, 0, 0, size.width() - 1, size.height() - 1);
    for (int v : {0, 0, 0, 0, picture.width(), picture.height()})
        out.i32(v);  // destination and source
    out.u32(kStretchDiBitsSize);
    out.u32(quint32(info));
    out.u32(quint32(kStretchDiBitsSize + info));
    out.u32(quint32(dib.size() - info));
    out.u32(0);           // RGB colours
    out.u32(0x00CC0020);  // SRCCOPY
    out.i32(size.width());
    out.i32(size.height());
    out.bytes(dib);
    while (out.data.size() % 4)
        out.data.append('\0');
    out.u32(14);  // EOF
    out.u32(kEofSize);
    out.u32(0);
    out.u32(16);
    out.u32(kEofSize);
    return out.data;
}

}  // namespace emfwriter
