#pragma once
// The arithmetic of the wallpaper dialog: how a picture is placed on a
// screen of a given size when it is fitted, stretched, filled or left alone.

#include <QImage>
#include <QRect>
#include <QSize>

enum class WallpaperMode { Unscaled, Fit, Stretch, Fill };

// Stretch wins over fill, fill over fit.
WallpaperMode wallpaperMode(bool fit, bool stretch, bool fill);

// The picture scaled to touch the screen's edges, proportions kept.
QSize fittedSize(QSize picture, QSize screen);
// The centred part of the picture with the screen's proportions.
QRect filledCut(QSize picture, QSize screen);

// The screen-sized preview: teal, with the picture placed by the mode.
QImage wallpaperPreview(const QImage& picture, QSize screen, WallpaperMode mode);
// The picture that becomes the wallpaper, 24 bits per pixel: screen-sized
// for stretch and fill, the fitted size for fit, the picture itself unscaled.
QImage wallpaperBitmap(const QImage& picture, QSize screen, WallpaperMode mode);
