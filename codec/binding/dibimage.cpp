#include "dibimage.h"

#include "iltdib.h"

#include "dibcore/dibcore.h"

#include <cstring>

namespace dibimage {

namespace {

QList<QRgb> tableOf(const dibcore::DibView& v, int entries)
{
    QList<QRgb> table;
    for (int i = 0; i < v.colorCount() && i < entries; ++i) {
        const dibcore::RgbQuad q = v.color(i);
        table.append(qRgb(q.red, q.green, q.blue));
    }
    while (table.size() < entries)
        table.append(qRgb(0, 0, 0));
    return table;
}

dibcore::Palette toDibPalette(const QList<QRgb>& colors)
{
    dibcore::Palette p;
    for (QRgb c : colors)
        p.push_back(dibcore::rgb(qRed(c), qGreen(c), qBlue(c)));
    return p;
}

QImage indexedImage(const dibcore::DibView& v)
{
    const int bits = v.bitCount();
    QImage img(v.width(), v.height(), bits == 1 ? QImage::Format_Mono : QImage::Format_Indexed8);
    if (img.isNull())
        return img;
    img.setColorTable(tableOf(v, bits == 8 ? 256 : 1 << bits));
    for (int y = 0; y < v.height(); ++y) {
        const std::uint8_t* src = v.row(y);
        uchar* dst = img.scanLine(y);
        if (bits == 1) {
            std::memcpy(dst, src, (std::size_t(v.width()) + 7) / 8);
            continue;
        }
        for (int x = 0; x < v.width(); ++x)
            dst[x] = uchar(dibcore::DibView::indexAt(src, x, bits));
    }
    return img;
}

QImage sixteenBitImage(const dibcore::DibView& v, TPixelFormat* format)
{
    const bool is565 = v.redMask() == 0xF800 && v.greenMask() == 0x07E0 && v.blueMask() == 0x001F;
    *format = is565 ? pf16bit : pf15bit;
    QImage img(v.width(), v.height(), is565 ? QImage::Format_RGB16 : QImage::Format_RGB555);
    if (img.isNull())
        return img;
    for (int y = 0; y < v.height(); ++y) {
        const std::uint8_t* src = v.row(y);
        auto* dst = reinterpret_cast<quint16*>(img.scanLine(y));
        for (int x = 0; x < v.width(); ++x)
            dst[x] = quint16(dibcore::le16(src + 2 * x) & (is565 ? 0xFFFF : 0x7FFF));
    }
    return img;
}

QImage rgb24Image(const dibcore::DibView& v)
{
    QImage img(v.width(), v.height(), QImage::Format_RGB888);
    if (img.isNull())
        return img;
    for (int y = 0; y < v.height(); ++y) {
        const std::uint8_t* src = v.row(y);
        uchar* dst = img.scanLine(y);
        for (int x = 0; x < v.width(); ++x) {
            dst[3 * x] = src[3 * x + 2];
            dst[3 * x + 1] = src[3 * x + 1];
            dst[3 * x + 2] = src[3 * x];
        }
    }
    return img;
}

QImage rgb32Image(const dibcore::DibView& v)
{
    QImage img(v.width(), v.height(), QImage::Format_RGB32);
    if (img.isNull())
        return img;
    for (int y = 0; y < v.height(); ++y) {
        const std::uint8_t* src = v.row(y);
        auto* dst = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < v.width(); ++x)
            dst[x] = qRgb(src[4 * x + 2], src[4 * x + 1], src[4 * x]);
    }
    return img;
}

QImage viaRgb24(const dibcore::DibView& v, TPixelFormat* format)
{
    GlobalHandle rgb = dibcore::toRgb24(v);
    if (!rgb)
        return {};
    dibcore::DibView view = dibcore::lockView(rgb);
    QImage img = view.valid() ? rgb24Image(view) : QImage();
    globalmem::unlock(rgb);
    globalmem::free(rgb);
    *format = pf24bit;
    return img;
}

// A DIB from an image whose indices fit the depth.
GlobalHandle writeIndices(const QImage& image, int bits)
{
    ILTDib dib;
    dib.SetOwns(false);
    if (!dib.CreateNew(image.colorTable(), image.width(), bits, image.height()))
        return nullptr;
    const int h = image.height();
    const std::int64_t stride = ILTDib::RowSize(image.width(), bits);
    std::uint8_t* pixels = dib.PixelPointer();
    for (int y = 0; y < h; ++y) {
        const uchar* src = image.constScanLine(y);
        std::uint8_t* dst = pixels + stride * (h - 1 - y);
        if (bits == 1 && image.format() == QImage::Format_Mono) {
            std::memcpy(dst, src, (std::size_t(image.width()) + 7) / 8);
            continue;
        }
        for (int x = 0; x < image.width(); ++x) {
            const unsigned index = image.format() == QImage::Format_Indexed8 ? src[x] : unsigned(image.pixelIndex(x, y));
            dibcore::setIndex(dst, x, bits, index);
        }
    }
    return dib.Release();
}

bool indicesFit(const QImage& image, int bits)
{
    const QImage::Format f = image.format();
    const bool indexed = f == QImage::Format_Mono || f == QImage::Format_MonoLSB || f == QImage::Format_Indexed8;
    return indexed && image.colorCount() <= (1 << bits);
}

GlobalHandle writeTrueColor(const QImage& image, int bits)
{
    const QImage::Format want = bits == 16 ? QImage::Format_RGB555
                              : bits == 24 ? QImage::Format_RGB888
                                           : QImage::Format_RGB32;
    const QImage src = image.format() == want ? image : image.convertToFormat(want);
    if (src.isNull())
        return nullptr;
    ILTDib dib;
    dib.SetOwns(false);
    if (!dib.CreateNew({}, src.width(), bits, src.height()))
        return nullptr;
    const int h = src.height();
    const std::int64_t stride = ILTDib::RowSize(src.width(), bits);
    std::uint8_t* pixels = dib.PixelPointer();
    for (int y = 0; y < h; ++y) {
        const uchar* s = src.constScanLine(y);
        std::uint8_t* d = pixels + stride * (h - 1 - y);
        for (int x = 0; x < src.width(); ++x) {
            if (bits == 16) {
                dibcore::putLe16(d + 2 * x, reinterpret_cast<const quint16*>(s)[x] & 0x7FFF);
            } else if (bits == 24) {
                d[3 * x] = s[3 * x + 2];
                d[3 * x + 1] = s[3 * x + 1];
                d[3 * x + 2] = s[3 * x];
            } else {
                const QRgb c = reinterpret_cast<const QRgb*>(s)[x];
                d[4 * x] = std::uint8_t(qBlue(c));
                d[4 * x + 1] = std::uint8_t(qGreen(c));
                d[4 * x + 2] = std::uint8_t(qRed(c));
                d[4 * x + 3] = 0;
            }
        }
    }
    return dib.Release();
}

GlobalHandle reduced(const QImage& image, int bits, const QList<QRgb>& palette)
{
    GlobalHandle rgb = writeTrueColor(image, 24);
    if (!rgb)
        return nullptr;
    dibcore::DibView view = dibcore::lockView(rgb);
    GlobalHandle out = nullptr;
    if (view.valid()) {
        out = palette.isEmpty()
                  ? dibcore::convertDepth(view, bits, dibcore::Dither::None)
                  : dibcore::reduceToPalette(view, bits, toDibPalette(palette), dibcore::Dither::None);
    }
    globalmem::unlock(rgb);
    globalmem::free(rgb);
    return out;
}

}  // namespace

QList<QRgb> colorTable(const void* data, std::size_t size)
{
    const dibcore::DibView v(data, size);
    return v.valid() ? tableOf(v, v.colorCount()) : QList<QRgb>();
}

QImage toImage(const dibcore::DibView& v, TPixelFormat* format)
{
    TPixelFormat dummy = pfDevice;
    if (!format)
        format = &dummy;
    if (!v.valid() || v.isRle())
        return {};
    switch (v.bitCount()) {
    case 1:
    case 4:
    case 8:
        *format = PixelFormatOfBits(v.bitCount());
        return indexedImage(v);
    case 16:
        if ((v.redMask() == 0x7C00 && v.greenMask() == 0x03E0 && v.blueMask() == 0x001F) ||
            (v.redMask() == 0xF800 && v.greenMask() == 0x07E0 && v.blueMask() == 0x001F))
            return sixteenBitImage(v, format);
        return viaRgb24(v, format);
    case 24:
        *format = pf24bit;
        return rgb24Image(v);
    case 32:
        if (v.redMask() == 0xFF0000 && v.greenMask() == 0xFF00 && v.blueMask() == 0xFF) {
            *format = pf32bit;
            return rgb32Image(v);
        }
        return viaRgb24(v, format);
    default:
        return {};
    }
}

GlobalHandle fromImage(const QImage& image, int bits, const QList<QRgb>& palette)
{
    if (image.isNull())
        return nullptr;
    switch (bits) {
    case 1:
    case 4:
    case 8:
        if (palette.isEmpty() && indicesFit(image, bits))
            return writeIndices(image, bits);
        return reduced(image, bits, palette);
    case 16:
    case 24:
    case 32:
        return writeTrueColor(image, bits);
    default:
        return nullptr;
    }
}

}  // namespace dibimage
