#pragma once
// Conversions between bitmap objects and metafiles, and text drawn with a
// turned logical font.

#include <QColor>
#include <QFont>
#include <QString>

class QPainter;
class TBitmap;
class TMetafile;

// The metafile drawn at (0, 0) into the bitmap, which takes the metafile's
// size (white where the metafile draws nothing) at 24 bits, or 1 bit when
// monochrome. True when the bitmap holds a picture; false for an empty
// metafile or one larger than kMaxMetafilePixels. Throws
// ErrorInvalid "Input image is empty" without a bitmap and "Output image
// is empty" without a metafile.
bool MetafileToBitmap(TBitmap* bitmap, const TMetafile* metafile, bool monochrome);
// Largest picture a metafile is drawn into (256 MiB at 32 bits): a few bytes
// of header may claim any size.
constexpr qint64 kMaxMetafilePixels = qint64(64) * 1024 * 1024;

// The bitmap copied into the metafile: an Enhanced Metafile of the
// bitmap's size, or a Windows Metafile of that size x 0.84675 (rounded).
// Throws "Input image is empty" without a picture and "Output image is
// empty" without a metafile; false when the writer cannot hold the picture.
bool BitmapToMetafile(const TBitmap* bitmap, TMetafile* metafile, bool enhanced);

// The size a metafile made from a bitmap of that size gets.
int MetafileExtent(int bitmapExtent, bool enhanced);

// Text at (X, Y) (its top-left corner before turning) with a logical font
// made from font: turned angle degrees counter-clockwise, on the canvas's
// brush colour unless transparent, and when shadowed first in the shadow
// colour at (X + 2, Y + 2), then in fontColor at (X, Y).
void DrawFontText(int X, int Y, int angle, const QString& text, const QColor& shadowColor, bool transparent,
                  bool shadowed, QPainter& canvas, const QFont& font, const QColor& fontColor);
