#pragma once
// Pictures the metafile tests write and compare.

#include "codec/binding/tbitmap.h"

#include <QImage>

#include <cstdlib>

namespace testpictures {

// Colour ramps across and down, with a 100-pixel check pattern in blue.
inline TBitmap ramps(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixelColor(x, y, QColor(x * 255 / w, y * 255 / h, (x / 100 + y / 100) % 2 ? 230 : 30));
    return TBitmap(img, pf24bit);
}

// Mean difference per colour channel of two pictures of one size.
inline double meanDifference(const QImage& a, const QImage& b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

}  // namespace testpictures
