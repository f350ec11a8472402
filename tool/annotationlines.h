#pragma once
// The annotations of a picture file (its annotation file) for glimra-tool.

#include <QString>
#include <QStringList>

class TBitmap;

// "page=P annotations=N kinds=K1,K2,..." for each of the pages 0 ..
// pages - 1 that has annotations (kinds named once, in drawing order).
QStringList AnnotationLines(const QString& picture, int pages);
// Burns the annotations of the picture's page into bitmap; false when it
// has none.
bool BurnPictureAnnotations(const QString& picture, int page, TBitmap& bitmap);
