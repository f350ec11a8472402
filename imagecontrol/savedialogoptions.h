#pragma once
// The save dialog's choices that the save routine reads: TIFF page mode and
// page, EPS options and the annotation flags. The save dialog fills it.

#include <QtGlobal>

struct SaveDialogOptions {
    bool TIFFAppended = false;     // add the picture to an existing TIFF
    qint32 TIFFARI = 0;            // page mode: 0 append, 1 insert, 2 replace
    qint32 TIFFFirfPageValue = 1;  // page for insert and replace, from 1
    qint32 TiffPageCount = 0;      // pages of the TIFF the dialog previewed last
    qint32 EPSSaveLevel = 0;       // 0 CMYK, 1 level 2
    qint32 EPSSavePreview = 0;     // 0 none, 1 4_BW, 2 1_BW, 3 1_4, 4 1_1
    qint32 EPSSaveCompression = 0; // 0 none, 1 LZW
    qint32 EPSSaveBorder = 0;      // 0 none, 1 border
    bool Annoeinbetten = false;    // burn the annotations into the picture
    bool Annosave = true;          // save the annotation file with the picture
};
