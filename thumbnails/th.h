#pragma once
// One thumbnail item of the grid: a miniature and the facts of its picture.

#include "codec/binding/tbitmap.h"

#include <QDateTime>
#include <QString>
#include <memory>

class StoredMiniatures;

struct Th {
    TBitmap Bitmap;           // exactly ThumbnailWidth x ThumbnailHeight
    bool Checked = false;     // marked by the user
    qint32 PageIndex = 0;     // page of a TIFF file, from 0
    qint32 PageCount = 0;     // pages of a TIFF file; 0 for other files
    QString FileName;
    QString FormatName;       // upper-case extension without dots
    QString Compression;
    qint32 Row = 0, Col = 0;  // cell where the item was last drawn
    qint32 Width = 0, Height = 0;
    qint64 FileSize = 0;
    QDateTime FileDate;       // invalid: none
    quint8 PixelCode = 0;     // 0..8
    qint16 Bits = 0;
    qint16 Planes = 0;
    qint16 Colors = 0;        // 0: derived from Bits and Planes
    bool Placeholder = false; // a file whose miniature is still being made
    // Loaded from a database: the miniature's hex text stays in that file
    // (Bitmap empty until a cell needs it) and is written back as it is.
    std::shared_ptr<const StoredMiniatures> Stored;
    qint64 StoredOffset = 0;
    qint64 StoredLength = 0;
};
