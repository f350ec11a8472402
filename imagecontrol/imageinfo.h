#pragma once
// The description of a picture file that the picture control shows: type,
// size, depth and the page count of a TIFF.

#include <QString>
#include <QtGlobal>

class TBitmap;

struct ImageInfo {
    QString type;
    int width = 0;
    int height = 0;
    qint16 bitsPerPixel = 0;
    qint16 planes = 0;
    qint16 colorsUsed = 0;
    qint64 fileSize = 0;
    QString compression;
    qint16 pageCount = 0;
};

// Where ReadPictureInfo failed, if it did.
enum class InfoFailure { None, MissingFile, Codec };

// Fills info for fileName by the first four characters of its upper-case
// extension: ".RES" describes the shown picture; ".WMF", ".ICO", ".SCM" and
// ".CMS" the file's size and the shown picture's size; ".TIF" asks the TIFF
// page information for page (a page past the last one is described by the
// last page); ".DXF" the drawing information; anything else the codec's
// file information. On failure info holds what was learnt; a missing file
// of the second group gives type "ERR" and -1 everywhere.
InfoFailure ReadPictureInfo(const QString& fileName, int page, const TBitmap& shown, ImageInfo& info);

// Bytes the picture takes as a packed DIB: header, colour table and rows.
qint64 PackedDibSize(const TBitmap& bitmap);
