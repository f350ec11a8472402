#include "iconwriter.h"

#include "icondirectory.h"

#include "codec/metafile/metafiledib.h"

#include <QBuffer>
#include <QImageWriter>
#include <QtEndian>

namespace iconwriter {

namespace {

constexpr int kLargestDirectorySide = 256;

QByteArray directory(int width, int height, int colors, int bits, int bytes)
{
    QByteArray d(icondirectory::kHeaderSize + icondirectory::kEntrySize, '\0');
    auto* p = reinterpret_cast<uchar*>(d.data());
    qToLittleEndian<quint16>(1, p + 2);
    qToLittleEndian<quint16>(1, p + 4);
    p[6] = uchar(width >= kLargestDirectorySide ? 0 : width);
    p[7] = uchar(height >= kLargestDirectorySide ? 0 : height);
    p[8] = uchar(colors >= 256 ? 0 : colors);
    qToLittleEndian<quint16>(1, p + 10);
    qToLittleEndian<quint16>(quint16(bits), p + 12);
    qToLittleEndian<quint32>(quint32(bytes), p + 14);
    qToLittleEndian<quint32>(quint32(d.size()), p + 18);
    return d;
}

// A DIB entry at 1, 4 or 8 bits: the packed DIB with a doubled height and
// an AND mask that hides nothing.
QByteArray paletteIcon(const QImage& picture, int bits, const QList<QRgb>& palette)
{
    QByteArray dib = metafiledib::packed(picture, bits, palette);
    if (dib.size() < 40)
        return {};
    const int w = picture.width(), h = picture.height();
    const int maskStride = ((w + 31) / 32) * 4;
    const int xorBytes = dib.size() - metafiledib::infoBytes(dib);
    qToLittleEndian<qint32>(2 * h, dib.data() + 8);
    qToLittleEndian<quint32>(quint32(xorBytes + maskStride * h), dib.data() + 20);
    dib.append(QByteArray(qsizetype(maskStride) * h, '\0'));
    return directory(w, h, 1 << bits, bits, int(dib.size())) + dib;
}

QByteArray throughPlugin(const QImage& picture)
{
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "ico");
    return writer.write(picture.convertToFormat(QImage::Format_ARGB32)) ? out : QByteArray();
}

QByteArray pngIcon(const QImage& picture)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "PNG"))
        return {};
    return directory(picture.width(), picture.height(), 0, 32, int(png.size())) + png;
}

}  // namespace

QByteArray write(const QImage& picture, int bits, const QList<QRgb>& palette)
{
    if (picture.isNull())
        return {};
    const bool small = picture.width() <= kLargestDirectorySide && picture.height() <= kLargestDirectorySide;
    if (small && (bits == 1 || bits == 4 || bits == 8))
        return paletteIcon(picture, bits, palette);
    if (small)
        return throughPlugin(picture);
    return pngIcon(picture.hasAlphaChannel() ? picture : picture.convertToFormat(QImage::Format_RGB32));
}

}  // namespace iconwriter
