#include "iconimage.h"

#include "codec/binding/dibimage.h"
#include "dibcore/dibcore.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>

#include <cstring>

namespace iconimage {

namespace {

QByteArray entryBytes(const QByteArray& file, const IconEntry& e)
{
    return file.mid(qsizetype(e.offset), qsizetype(e.bytes));
}

// The entry alone, as a one-picture icon file for the plugin.
QByteArray singleEntryFile(const QByteArray& data, const IconEntry& e)
{
    QByteArray f(icondirectory::kHeaderSize + icondirectory::kEntrySize, '\0');
    auto* p = reinterpret_cast<uchar*>(f.data());
    qToLittleEndian<quint16>(1, p + 2);
    qToLittleEndian<quint16>(1, p + 4);
    p[6] = uchar(e.imageWidth & 0xFF);
    p[7] = uchar(e.imageHeight & 0xFF);
    p[8] = uchar(e.colorsField & 0xFF);
    qToLittleEndian<quint16>(1, p + 10);
    qToLittleEndian<quint16>(quint16(e.imageBits), p + 12);
    qToLittleEndian<quint32>(quint32(data.size()), p + 14);
    qToLittleEndian<quint32>(quint32(f.size()), p + 18);
    return f + data;
}

QImage throughPlugin(const QByteArray& data, const IconEntry& e)
{
    QByteArray file = singleEntryFile(data, e);
    QBuffer buffer(&file);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    const QImage img = reader.read();
    if (img.isNull() || img.size() != QSize(e.imageWidth, e.imageHeight))
        return {};
    return img.convertToFormat(QImage::Format_ARGB32);
}

// The plugin reads the depths of classic icons; others are ours.
bool pluginServes(const QByteArray& data, const IconEntry& e)
{
    const quint32 compression = qFromLittleEndian<quint32>(data.constData() + 16);
    return compression == 0 && (e.imageBits == 1 || e.imageBits == 4 || e.imageBits == 8 || e.imageBits == 24 ||
                                 e.imageBits == 32);
}

void applyMask(QImage& img, const QByteArray& data, std::size_t maskAt)
{
    const std::size_t stride = ((std::size_t(img.width()) + 31) / 32) * 4;
    if (maskAt + stride * std::size_t(img.height()) > std::size_t(data.size()))
        return;  // no mask stored: opaque
    const auto* mask = reinterpret_cast<const uchar*>(data.constData()) + maskAt;
    for (int y = 0; y < img.height(); ++y) {
        const uchar* row = mask + stride * std::size_t(img.height() - 1 - y);
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if (row[x / 8] & (0x80 >> (x % 8)))
                line[x] = 0;
    }
}

bool hasAlpha(const dibcore::DibView& view)
{
    for (int y = 0; y < view.height(); ++y) {
        const std::uint8_t* src = view.row(y);
        for (int x = 0; x < view.width(); ++x)
            if (src[4 * x + 3] != 0)
                return true;
    }
    return false;
}

void copyAlpha(QImage& img, const dibcore::DibView& view)
{
    for (int y = 0; y < img.height(); ++y) {
        const std::uint8_t* src = view.row(y);
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            line[x] = (line[x] & 0xFFFFFF) | (QRgb(src[4 * x + 3]) << 24);
    }
}

}  // namespace

QImage decodeDib(const QByteArray& data, const IconEntry& e)
{
    if (data.size() < 40)
        return {};
    // the XOR rows alone, as a DIB of the picture's height
    QByteArray dib = data;
    qToLittleEndian<qint32>(e.imageHeight, dib.data() + 8);
    qToLittleEndian<quint32>(0, dib.data() + 20);
    qToLittleEndian<quint32>(quint32(e.imageColors), dib.data() + 32);
    const dibcore::DibView view(dib.constData(), std::size_t(dib.size()));
    if (!view.valid() || view.width() != e.imageWidth || view.height() != e.imageHeight)
        return {};
    TPixelFormat format = pfDevice;
    QImage img = dibimage::toImage(view, &format).convertToFormat(QImage::Format_ARGB32);
    if (img.isNull())
        return {};
    if (view.bitCount() == 32 && view.compression() == 0 && hasAlpha(view))
        copyAlpha(img, view);
    else
        applyMask(img, data, view.pixelOffset() + view.rowStride() * std::size_t(view.height()));
    return img;
}

QImage decode(const QByteArray& file, const IconEntry& e)
{
    const QByteArray data = entryBytes(file, e);
    if (data.size() != qsizetype(e.bytes))
        return {};
    if (e.png) {
        QImage img;
        if (!img.loadFromData(data, "PNG"))
            return {};
        return img.convertToFormat(QImage::Format_ARGB32);
    }
    if (pluginServes(data, e)) {
        const QImage img = throughPlugin(data, e);
        if (!img.isNull())
            return img;
    }
    return decodeDib(data, e);
}

}  // namespace iconimage
