#include "wallpaperfit.h"

#include <QPainter>
#include <cmath>

namespace {

// Nearest integer, halves to even.
int rounded(double v)
{
    return int(std::nearbyint(v));
}

// pw/ph >= sw/sh without rounding errors.
bool widerThanScreen(QSize p, QSize s)
{
    return qint64(p.width()) * s.height() >= qint64(s.width()) * p.height();
}

bool usable(QSize p, QSize s)
{
    return p.width() > 0 && p.height() > 0 && s.width() > 0 && s.height() > 0;
}

QImage tealCanvas(QSize size)
{
    QImage canvas(size, QImage::Format_RGB888);
    canvas.fill(QColor(0, 128, 128));
    return canvas;
}

}  // namespace

WallpaperMode wallpaperMode(bool fit, bool stretch, bool fill)
{
    if (stretch)
        return WallpaperMode::Stretch;
    if (fill)
        return WallpaperMode::Fill;
    return fit ? WallpaperMode::Fit : WallpaperMode::Unscaled;
}

QSize fittedSize(QSize p, QSize s)
{
    if (!usable(p, s))
        return {};
    if (widerThanScreen(p, s))
        return {s.width(), rounded(double(s.width()) * p.height() / p.width())};
    return {rounded(double(s.height()) * p.width() / p.height()), s.height()};
}

QRect filledCut(QSize p, QSize s)
{
    if (!usable(p, s))
        return {};
    int w = p.width(), h = p.height();
    if (widerThanScreen(p, s))
        w = rounded(double(p.height()) * s.width() / s.height());
    else
        h = rounded(double(p.width()) * s.height() / s.width());
    return {rounded((p.width() - w) / 2.0), rounded((p.height() - h) / 2.0), w, h};
}

QImage wallpaperPreview(const QImage& picture, QSize screen, WallpaperMode mode)
{
    if (screen.isEmpty())
        return {};
    QImage canvas = tealCanvas(screen);
    if (picture.isNull())
        return canvas;
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect whole(QPoint(0, 0), screen);
    switch (mode) {
    case WallpaperMode::Stretch:
        painter.drawImage(whole, picture);
        break;
    case WallpaperMode::Fill:
        painter.drawImage(whole, picture, filledCut(picture.size(), screen));
        break;
    case WallpaperMode::Fit: {
        const QSize fit = fittedSize(picture.size(), screen);
        painter.drawImage(QRect(QPoint((screen.width() - fit.width()) / 2, (screen.height() - fit.height()) / 2), fit),
                          picture);
        break;
    }
    case WallpaperMode::Unscaled:
        painter.drawImage(QPoint(rounded((screen.width() - picture.width()) / 2.0),
                                 rounded((screen.height() - picture.height()) / 2.0)),
                          picture);
        break;
    }
    return canvas;
}

QImage wallpaperBitmap(const QImage& picture, QSize screen, WallpaperMode mode)
{
    if (picture.isNull())
        return {};
    switch (mode) {
    case WallpaperMode::Stretch:
    case WallpaperMode::Fill:
        return wallpaperPreview(picture, screen, mode);
    case WallpaperMode::Fit: {
        const QSize fit = fittedSize(picture.size(), screen);
        if (fit.isEmpty())
            return {};
        return picture.convertToFormat(QImage::Format_RGB888)
            .scaled(fit, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    case WallpaperMode::Unscaled:
        break;
    }
    return picture.convertToFormat(QImage::Format_RGB888);
}
