#include "tbitmap.h"

#include "dibcore/palette.h"

namespace {

QList<QRgb> vgaColors()
{
    QList<QRgb> colors;
    for (const dibcore::RgbQuad& q : dibcore::vgaPalette())
        colors.append(qRgb(q.red, q.green, q.blue));
    return colors;
}

QImage padded(QImage image, int entries)
{
    QList<QRgb> table = image.colorTable();
    while (table.size() < entries)
        table.append(qRgb(0, 0, 0));
    image.setColorTable(table);
    return image;
}

QImage toSixteenColors(const QImage& image)
{
    if (image.format() == QImage::Format_Indexed8 && image.colorCount() <= 16)
        return padded(image, 16);
    if ((image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB))
        return padded(image.convertToFormat(QImage::Format_Indexed8), 16);
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    return rgb.convertToFormat(QImage::Format_Indexed8, vgaColors(), Qt::ThresholdDither);
}

}  // namespace

TBitmap::TBitmap(const QImage& image, TPixelFormat format)
{
    assign(image, format);
}

QImage::Format TBitmap::imageFormatFor(TPixelFormat format)
{
    switch (format) {
    case pf1bit: return QImage::Format_Mono;
    case pf4bit:
    case pf8bit: return QImage::Format_Indexed8;
    case pf15bit: return QImage::Format_RGB555;
    case pf16bit: return QImage::Format_RGB16;
    case pf24bit: return QImage::Format_RGB888;
    case pf32bit:
    case pfDevice: return QImage::Format_RGB32;
    case pfCustom: break;
    }
    return QImage::Format_Invalid;
}

TPixelFormat TBitmap::pixelFormatOf(const QImage& image)
{
    switch (image.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB: return pf1bit;
    case QImage::Format_Indexed8: return image.colorCount() <= 16 ? pf4bit : pf8bit;
    case QImage::Format_RGB555: return pf15bit;
    case QImage::Format_RGB16: return pf16bit;
    case QImage::Format_RGB888:
    case QImage::Format_BGR888: return pf24bit;
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32: return pf32bit;
    case QImage::Format_ARGB32_Premultiplied: return pfDevice;
    default: return pfCustom;
    }
}

QImage TBitmap::converted(const QImage& image, TPixelFormat format)
{
    if (image.isNull())
        return image;
    switch (format) {
    case pf1bit:
        if (image.format() == QImage::Format_Mono)
            return image;
        return image.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    case pf4bit:
        return toSixteenColors(image);
    case pf8bit:
        if (image.format() == QImage::Format_Indexed8)
            return image;
        return image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    case pf32bit:
    case pfDevice:
        if (image.hasAlphaChannel())
            return format == pfDevice ? image.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                                      : image.convertToFormat(QImage::Format_ARGB32);
        return image.convertToFormat(QImage::Format_RGB32);
    case pfCustom:
        return image;
    default:
        return image.convertToFormat(imageFormatFor(format));
    }
}

void TBitmap::assign(const QImage& image, TPixelFormat format)
{
    image_ = converted(image, format);
    format_ = format;
}

void TBitmap::setPixelFormat(TPixelFormat format)
{
    if (format == format_)
        return;
    image_ = converted(image_, format);
    format_ = format;
    palette_.clear();
}

void TBitmap::clear()
{
    image_ = QImage();
    palette_.clear();
}

int TBitmap::bitsPerPixel() const
{
    const int bits = BitsOfPixelFormat(format_);
    return bits ? bits : 32;
}

QList<QRgb> TBitmap::palette() const
{
    return palette_.isEmpty() ? image_.colorTable() : palette_;
}
