#include "redeye.h"

#include "codec/binding/dibconvert.h"
#include "codec/binding/tbitmap.h"
#include "effects/graphiceffects.h"

#include <algorithm>
#include <cmath>

namespace {

struct Average {
    int red = 1, green = 1, blue = 1;
};

Average averageOf(const QImage& image, const QRect& r)
{
    qint64 sums[3] = {0, 0, 0};
    qint64 count = 0;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = r.left(); x <= r.right(); ++x) {
            sums[0] += qRed(line[x]);
            sums[1] += qGreen(line[x]);
            sums[2] += qBlue(line[x]);
            ++count;
        }
    }
    if (count == 0)
        count = 1;
    auto avg = [&](qint64 sum) { return std::max(1, int(std::llround(double(sum) / double(count)))); };
    return {avg(sums[0]), avg(sums[1]), avg(sums[2])};
}

// How far into the rectangle the pixel lies, 0 at an edge and 100 in the
// middle, measured against the rectangle's half width or half height.
int falloff(int x, int y, const QRect& r)
{
    const int right = r.right() + 1;
    const int bottom = r.bottom() + 1;
    const int h = std::min(x - r.left(), right - x);
    const int v = std::min(y - r.top(), bottom - y);
    const int d = std::min(h, v);
    const int half = std::max(1, (h <= v ? r.width() : r.height()) / 2);
    return int(std::lround(double(d) * 100.0 / double(half)));
}

int blend(int c, int target, double factor)
{
    return (c + int(std::lround(factor * double(target - c)))) & 0xff;
}

}  // namespace

GlobalHandle RedEyeCorrection(GlobalHandle source, int left, int top, int right, int bottom,
                              const RedEyeOptions& options)
{
    TBitmap picture;
    if (!source || !DIBToGraphic(source, picture) || picture.empty())
        return nullptr;
    QImage image = picture.image().convertToFormat(QImage::Format_RGB32);
    const QRect area = QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)).intersected(image.rect());

    const Average avg = averageOf(image, area);
    const QRgb target = options.useColour ? options.colour : qRgb(avg.red, avg.green, avg.blue);
    const double redLimit = double(options.tolerance) / double(std::max(1, options.toleranceMax)) *
                            double(avg.red) / double(avg.green + avg.blue);
    const double strength = double(options.strength) / double(std::max(1, options.strengthMax));
    for (int y = area.top(); y <= area.bottom(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            const int r = std::max(1, qRed(line[x]));
            const int g = std::max(1, qGreen(line[x]));
            const int b = std::max(1, qBlue(line[x]));
            if (double(r) / double(g + b) <= redLimit)
                continue;
            const double factor = strength * falloff(x, y, area) / 100.0;
            line[x] = qRgb(blend(qRed(line[x]), qRed(target), factor), blend(qGreen(line[x]), qGreen(target), factor),
                           blend(qBlue(line[x]), qBlue(target), factor));
        }
    }
    return BitmapToDibAtDepth(TBitmap(image.convertToFormat(QImage::Format_RGB888), pf24bit), 24);
}
