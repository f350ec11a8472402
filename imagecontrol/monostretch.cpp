#include "monostretch.h"

#include <vector>

namespace {

// The first source index of each target index, plus the end.
std::vector<int> blockStarts(int sourceStart, int sourceExtent, int targetExtent)
{
    std::vector<int> starts(size_t(targetExtent) + 1);
    for (int t = 0; t <= targetExtent; ++t)
        starts[size_t(t)] = sourceStart + int(qint64(t) * sourceExtent / targetExtent);
    return starts;
}

}  // namespace

QImage StretchWithMode(const QImage& image, const QRect& source, const QSize& target, TStretchMode mode)
{
    const QRect part = source.intersected(image.rect());
    if (part.isEmpty() || target.isEmpty())
        return {};
    if (mode == smColorOnColor)
        return image.copy(part).scaled(target, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    const QImage rgb = image.copy(part).convertToFormat(QImage::Format_RGB32);
    const std::vector<int> xs = blockStarts(0, part.width(), target.width());
    const std::vector<int> ys = blockStarts(0, part.height(), target.height());
    const bool keepDark = mode == smBlackOnWhite;
    QImage out(target, QImage::Format_RGB32);
    if (out.isNull())
        return {};
    for (int ty = 0; ty < target.height(); ++ty) {
        const int y0 = ys[size_t(ty)];
        const int y1 = std::max(ys[size_t(ty) + 1], y0 + 1);
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(ty));
        for (int tx = 0; tx < target.width(); ++tx) {
            const int x0 = xs[size_t(tx)];
            const int x1 = std::max(xs[size_t(tx) + 1], x0 + 1);
            QRgb best = reinterpret_cast<const QRgb*>(rgb.constScanLine(y0))[x0];
            int bestGrey = qGray(best);
            for (int y = y0; y < y1 && y < rgb.height(); ++y) {
                const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
                for (int x = x0; x < x1 && x < rgb.width(); ++x) {
                    const int grey = qGray(row[x]);
                    if (keepDark ? grey < bestGrey : grey > bestGrey) {
                        best = row[x];
                        bestGrey = grey;
                    }
                }
            }
            dst[tx] = best;
        }
    }
    return out;
}
