#pragma once
// Decoding a picture file into a bitmap by its type name ("BMP", "JPEG",
// "TIF" ...), through the codec binding.

#include "codec/binding/codecwrappers.h"
#include "codec/binding/piclibtypes.h"

#include <QString>

class TBitmap;

struct DecodeRequest {
    QString file;
    QString type;        // one of the names DecodableType accepts
    int bits = 24;       // requested depth: 0, 1, 4, 8 or 24
    bool dither = false;
    bool monochrome = false;  // the file has too few bits for colour
    int page = 0;             // TIFF page, from 0
    TPCDMode pcdMode = pcd_BASE4;
    void* sender = nullptr;
    CodecProgress progress = nullptr;
};

// The type a file extension (with its dot, any case) is decoded as; the
// reported type when the extension is none of the picture extensions.
QString DecodeTypeFor(const QString& extension, const QString& reportedType);
// "BMP", "DIB", "PNG", "GIF", "TIF", "TGA", "PCX", "EPS", "PCD", "DXF", "JPEG".
bool DecodableType(const QString& type);
// Whether a file with these bits per pixel is shown in black and white:
// 1-bit files only, so 2- and 3-bit pictures keep their colours.
bool MonochromeFile(int bitsPerPixel);

// False when the reader failed or gave no picture; bitmap is then left as
// it was. Exceptions of the binding pass through.
bool DecodePicture(const DecodeRequest& request, TBitmap& bitmap);

// The whole picture of a file at 24 bits, decoded as the picture pane
// decodes it: by the extension's type, else the type the content reports.
// Touches no control. page: a TIFF page, from 0.
bool DecodeByContent(const QString& file, TBitmap& bitmap, int page = 0);
