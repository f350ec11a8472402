#pragma once
// The one routine that writes a picture file, in the format its extension
// names (".bmp", ".dib", ".gif", ".jpg", ".jpeg", ".pcx", ".png", ".tif",
// ".tiff", ".tga", ".eps", ".wmf", ".emf", ".ico"), at the depth the
// control's ImageWriteRes asks for and with its save options.

#include "savedialogoptions.h"

#include "codec/binding/codecwrappers.h"
#include "codec/binding/piclibtypes.h"

#include <QString>

class TBitmap;
class TPMultiImage;

// The picture control's save settings, for a save without a control.
struct PictureSaveSettings {
    TSaveResolution writeRes = sAutoMatic;
    TTiffCompression tiffCompression = sNONE;
    int jpegQuality = 85;
    int jpegSmooth = 5;
    bool pngInterlaced = false;
    void* sender = nullptr;           // handed to progress
    CodecProgress progress = nullptr;
};

// True when the file was written. False for an empty picture, another
// extension (an existing file is then left alone), or a writer failure.
bool SavePictureFile(const QString& fileName, TPMultiImage& image, const SaveDialogOptions& dialog);
// The same without a picture control; safe on any thread.
bool SavePictureBitmap(const QString& fileName, const TBitmap& picture, const PictureSaveSettings& settings,
                       const SaveDialogOptions& dialog);
// The extensions (lower case, no dot) the save routine writes.
bool WritableExtension(const QString& ext);

// The depth written for a save resolution: 0, 1, 4, 8 or 24 (15, 16 and 32
// bits give 24, the screen's depth for sAutoMatic).
int SaveDepthFor(TSaveResolution resolution);
