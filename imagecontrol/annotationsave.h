#pragma once
// What the save routine does with the picture control's annotations.

#include "savedialogoptions.h"

#include "codec/binding/tbitmap.h"

#include <QString>

class TPMultiImage;

// The picture as it is written: with EmbedAnnotations and annotations, a
// copy with them burnt in (the shown picture keeps them apart).
TBitmap PictureForSaving(const TPMultiImage& image);

// After the picture went to file (fileExisted: before the save), with
// SaveAnnotationsOnSave: the annotations go to the file's annotation file
// (annotationfile.h). A picture written whole has them as page 0, and
// without annotations its annotation file goes. A page added to an existing
// TIFF file keeps the pages' annotations in step: appended, they become the
// new last page; inserted, the later pages move up; replacing, they replace
// that page's.
void SaveAnnotationsBeside(TPMultiImage& image, const QString& file, const SaveDialogOptions& dialog,
                           bool fileExisted);
