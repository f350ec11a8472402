#pragma once
// The status texts of shown pictures, and the metafiles and icons which the
// picture control does not load itself: the programs render them into a
// bitmap.

#include "codec/binding/tbitmap.h"
#include "imagecontrol/imageinfo.h"

#include <QString>

namespace specialpictures {

// The metafile rendered at its own width and height, 24 bits; empty when it
// cannot be read.
TBitmap metafilePicture(const QString& file);

// The icon drawn on a bitmap of its first directory entry's size, filled
// with background first, at 24 bits. False when the entry is missing or
// gives a width or height of 0 (256-pixel entries).
bool iconPicture(const QString& file, const QColor& background, TBitmap& picture);

// The screen's bits per pixel folded to 4, 8 or 24.
int foldedDeviceDepth();
// The class's text and the number of colours it names (0 when none).
QString colourClassText(int bits, int* colours);

// "type  W x H   bits planes colours size    compression     page  pages",
// the page counted from 1.
QString pictureInformationText(const ImageInfo& info, const QString& file, int page);
// "Windows Metafile  W x H   bits   1   text    colours   size".
QString metafileInformationText(const QString& format, const TBitmap& picture);
// "ICON  W x H   bits   1   text   colours   file size    None".
QString iconInformationText(const QString& file, const TBitmap& picture);
// A picture without a file (pasted): "Zwischenablage  W x H   bits   1   text
// colours   size in memory".
QString pastedInformationText(const TBitmap& picture);

}  // namespace specialpictures
