#pragma once
// Facts of the screen the pictures are shown on: its depth class, its
// palette (only palette screens have one) and the stretch mode of a blit.

#include "piclibtypes.h"

#include <QList>
#include <QtGui/qrgb.h>

// Bits per pixel of the screen as a class: 4 or fewer gives 4, fewer than
// 16 gives 8, otherwise 24 (also without a screen).
int DeviceDepth();
int DeviceDepthClass(int bitsPerPixel);

// The native handle of the window that has the focus, for the modules'
// set-up calls; null off the UI thread or without one.
void* ActiveWindowHandle();

// The screen's system palette; empty on true-colour screens.
QList<QRgb> ScreenPalette();

// The palette made for a colour table: a 16-entry table on a screen whose
// palette has more than 15 entries takes the first and last 8 entries of
// that palette; otherwise the table's own colours.
QList<QRgb> PaletteFromColorTable(const QList<QRgb>& table, const QList<QRgb>& screenPalette);

enum TStretchMode { smBlackOnWhite = 1, smWhiteOnBlack = 2, smColorOnColor = 3 };

// Colour-on-colour when first is 2 or more; otherwise by the blit mode:
// sLight colour-on-colour, sDark black-on-white, sLightest white-on-black.
TStretchMode StretchModeFor(int first, TBlitMode mode);
