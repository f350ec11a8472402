#pragma once
// Loading, resizing and saving one picture: the one routine behind the
// conversion dialog, its workers and glimra-tool convert. No widgets; safe
// on any thread.

#include "conversionoptions.h"

#include <QSize>
#include <QString>

class TBitmap;

// Pages of a picture file: a TIFF's page count, 1 for every other file,
// 0 when a TIFF's page information cannot be read.
int PicturePageCount(const QString& file);
// The page of a file at 24 bits; false (bitmap empty) when it cannot be read.
bool LoadPicturePage(const QString& file, int page, TBitmap& bitmap);
// The size a picture of this size gets under the options.
QSize ConvertedSize(QSize picture, const ConversionOptions& options);
// The picture stretched to size (unchanged when already that size).
TBitmap ResizedPicture(const TBitmap& picture, QSize size);

// The page of source at the size the options give it, at 24 bits; empty
// when it cannot be read. A JPEG is decoded by DCT scaling at the largest
// reduction (1/2, 1/4, 1/8) that still covers that size, the rest stretched.
TBitmap ConvertedPicture(const QString& source, int page, const ConversionOptions& options);

enum class ConversionStatus { Converted, Unreadable, WriteFailed, NotVerified };

// ConvertedPicture written to target. With verify, the written
// file is synced and read back before Converted is answered.
ConversionStatus ConvertPicture(const QString& source, int page, const QString& target,
                                const ConversionOptions& options, bool verify);
