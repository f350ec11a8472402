#pragma once
// The programs' bitmap object: a QImage together with the pixel format the
// picture has (1, 4, 8, 15, 16, 24, 32 bits or the device's) and a palette.
//
// The image's format follows the pixel format: 1 bit Mono, 4 bits Indexed8
// with a 16-entry colour table, 8 bits Indexed8, 15 bits RGB555, 16 bits
// RGB16, 24 bits RGB888, 32 bits RGB32 (or ARGB32 with alpha), device RGB32.

#include "piclibtypes.h"

#include <QImage>
#include <QList>

class TBitmap {
public:
    TBitmap() = default;
    // Takes the image as a picture of the given pixel format, converting it
    // when its Qt format does not fit.
    TBitmap(const QImage& image, TPixelFormat format);

    bool empty() const { return image_.isNull(); }
    int width() const { return image_.width(); }
    int height() const { return image_.height(); }
    const QImage& image() const { return image_; }

    TPixelFormat pixelFormat() const { return format_; }
    // Converts the pixels to the format (nearest colours, no dithering).
    void setPixelFormat(TPixelFormat format);
    // Bits per pixel of the format; 32 for device and other.
    int bitsPerPixel() const;
    bool monochrome() const { return format_ == pf1bit; }

    void assign(const QImage& image, TPixelFormat format);
    void clear();

    // The palette the picture is shown with: the one set, else the image's
    // colour table.
    QList<QRgb> palette() const;
    void setPalette(const QList<QRgb>& palette) { palette_ = palette; }

    // The Qt format that holds a picture of this pixel format.
    static QImage::Format imageFormatFor(TPixelFormat format);
    // The pixel format that describes an image as Qt holds it.
    static TPixelFormat pixelFormatOf(const QImage& image);

private:
    static QImage converted(const QImage& image, TPixelFormat format);

    QImage image_;
    TPixelFormat format_ = pfDevice;
    QList<QRgb> palette_;
};
