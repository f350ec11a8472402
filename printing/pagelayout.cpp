#include "pagelayout.h"

#include <algorithm>

qint64 RoundHalfEven(qint64 num, qint64 den)
{
    qint64 q = num / den;
    qint64 r = num % den;
    if (r < 0) {   // floor division for negative numerators
        --q;
        r += den;
    }
    if (2 * r > den || (2 * r == den && (q & 1)))
        ++q;
    return q;
}

QRect PrintRectangle(QSize picture, QSize page, const PrintOptions& options)
{
    const qint64 w = picture.width(), h = picture.height();
    const qint64 pw = page.width(), ph = page.height();
    if (w < 1 || h < 1 || pw < 1 || ph < 1)
        return {};
    qint64 width = w, height = h;
    if (options.fitToPaper) {
        width = pw;
        height = ph;
        if (!options.allowDistortion) {
            // w / h >= PW / PH, compared exactly
            if (w * ph >= pw * h)
                height = RoundHalfEven(pw * h, w);
            else
                width = RoundHalfEven(ph * w, h);
        }
    }
    qint64 x = 0, y = 0;
    if (options.center) {
        // truncating toward zero, as the integer division does
        x = (pw - width) / 2;
        y = (ph - height) / 2;
    }
    return QRect(int(x), int(y), int(width), int(height));
}

QSize PaperPanelSize(QSize page, bool portrait, int side)
{
    if (page.width() < 1 || page.height() < 1)
        return {};
    if (portrait)
        return QSize(int(RoundHalfEven(qint64(page.width()) * side, page.height())), side);
    return QSize(side, int(RoundHalfEven(qint64(page.height()) * side, page.width())));
}

QSize PreviewPictureSize(QSize picture, QSize page, QSize panel)
{
    if (page.width() < 1 || page.height() < 1)
        return {};
    const qint64 w = RoundHalfEven(qint64(picture.width()) * panel.width(), page.width());
    const qint64 h = RoundHalfEven(qint64(picture.height()) * panel.height(), page.height());
    return QSize(int(std::max<qint64>(1, w)), int(std::max<qint64>(1, h)));
}
