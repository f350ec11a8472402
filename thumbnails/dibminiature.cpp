#include "dibminiature.h"

#include "codec/dibcore/dibcore.h"
#include "codec/dibcore/dibview.h"

#include <QPainter>

namespace dibminiature {

namespace {

// QPainter's fast stretch holds coordinates as 16.16 fixed point.
constexpr int kLongestSide = 32767;

}  // namespace

QSize sizeOf(GlobalHandle dib)
{
    if (!dib)
        return {};
    const dibcore::DibView view = dibcore::lockView(dib);
    QSize size;
    if (view.valid() && view.bitCount() == 24 && view.compression() == 0 && view.width() >= 1
        && view.height() >= 1 && view.width() <= kLongestSide && view.height() <= kLongestSide)
        size = QSize(view.width(), view.height());
    globalmem::unlock(dib);
    return size;
}

// Asks QPainter itself: a line whose pixel i holds the number i, stretched
// as the picture would be. Rows and columns are stepped differently (a
// column's position adds up along the row), so each is asked its own way.
std::vector<int> nearestSamples(int from, int to, int at, int line, bool vertical)
{
    const auto sideways = [vertical](int along) { return vertical ? QSize(1, along) : QSize(along, 1); };
    QImage probe(sideways(from), QImage::Format_RGB888);
    for (int i = 0; i < from; ++i) {
        uchar* p = vertical ? probe.scanLine(i) : probe.scanLine(0) + 3 * i;
        p[0] = uchar(i >> 16);
        p[1] = uchar(i >> 8);
        p[2] = uchar(i);
    }
    QImage target(sideways(line), QImage::Format_RGB888);
    target.fill(Qt::black);
    QPainter painter(&target);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(vertical ? QRect(0, at, 1, to) : QRect(at, 0, to, 1), probe);
    painter.end();
    std::vector<int> samples(size_t(std::max(0, to)));
    for (int i = 0; i < to; ++i) {
        const uchar* p = vertical ? target.constScanLine(at + i) : target.constScanLine(0) + 3 * (at + i);
        samples[size_t(i)] = std::clamp((p[0] << 16) | (p[1] << 8) | p[2], 0, from - 1);
    }
    return samples;
}

QImage make(GlobalHandle dib, QSize cell, QSize size, QColor fill)
{
    const QSize picture = sizeOf(dib);
    if (!picture.isValid() || size.width() < 1 || size.height() < 1 || size.width() > cell.width()
        || size.height() > cell.height())
        return {};
    const int left = (cell.width() - size.width()) / 2, top = (cell.height() - size.height()) / 2;
    const std::vector<int> columns = nearestSamples(picture.width(), size.width(), left, cell.width(), false);
    const std::vector<int> rows = nearestSamples(picture.height(), size.height(), top, cell.height(), true);
    QImage miniature(cell, QImage::Format_RGB888);
    miniature.fill(fill);
    const dibcore::DibView view = dibcore::lockView(dib);
    for (int y = 0; y < size.height(); ++y) {
        const std::uint8_t* source = view.row(rows[size_t(y)]);
        if (!source)
            continue;
        uchar* line = miniature.scanLine(top + y) + 3 * left;
        for (int x = 0; x < size.width(); ++x) {
            const std::uint8_t* bgr = source + 3 * columns[size_t(x)];
            line[3 * x] = bgr[2];
            line[3 * x + 1] = bgr[1];
            line[3 * x + 2] = bgr[0];
        }
    }
    globalmem::unlock(dib);
    return miniature;
}

}  // namespace dibminiature
