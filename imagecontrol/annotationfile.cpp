#include "annotationfile.h"

QString PictureAnnotationFile(const QString& picture)
{
    const int dot = picture.lastIndexOf(QLatin1Char('.'));
    const int slash = picture.lastIndexOf(QLatin1Char('/'));
    const QString stem = dot > slash ? picture.left(dot) + QLatin1Char('-') + picture.mid(dot + 1) : picture;
    return stem + QStringLiteral(".ant");
}
