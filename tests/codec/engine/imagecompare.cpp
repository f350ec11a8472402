#include "imagecompare.h"

#include <cmath>
#include <cstdlib>

ImageComparison compareImages(const QImage& a, const QImage& b)
{
    ImageComparison r;
    if (a.isNull() || b.isNull() || a.size() != b.size())
        return r;
    r.sameSize = true;
    const QImage x = a.convertToFormat(QImage::Format_RGB888);
    const QImage y = b.convertToFormat(QImage::Format_RGB888);
    double squares = 0;
    int maxDiff = 0;
    for (int row = 0; row < x.height(); ++row) {
        const uchar* p = x.constScanLine(row);
        const uchar* q = y.constScanLine(row);
        for (int i = 0; i < x.width() * 3; ++i) {
            const int d = std::abs(int(p[i]) - int(q[i]));
            maxDiff = std::max(maxDiff, d);
            squares += double(d) * d;
        }
    }
    r.maxDifference = maxDiff;
    const double mse = squares / (double(x.width()) * x.height() * 3);
    r.psnr = mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
    return r;
}
