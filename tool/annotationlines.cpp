#include "annotationlines.h"

#include "codec/binding/annotationcalls.h"
#include "imagecontrol/annotationfile.h"

#include <QFileInfo>

QStringList AnnotationLines(const QString& picture, int pages)
{
    const QString file = PictureAnnotationFile(picture);
    QStringList lines;
    if (!QFileInfo(file).isFile())
        return lines;
    annotationcalls::Scratch layer;
    for (int page = 0; page < pages; ++page) {
        if (!layer.load(file, page) || layer.count() == 0)
            continue;
        QStringList kinds = annotationcalls::KindNames(layer.key());
        kinds.removeDuplicates();
        lines << QStringLiteral("page=%1 annotations=%2 kinds=%3").arg(page).arg(layer.count()).arg(kinds.join(','));
    }
    return lines;
}

bool BurnPictureAnnotations(const QString& picture, int page, TBitmap& bitmap)
{
    const QString file = PictureAnnotationFile(picture);
    if (!QFileInfo(file).isFile())
        return false;
    annotationcalls::Scratch layer;
    return layer.load(file, page) && layer.count() > 0 && annotationcalls::Burn(layer.key(), bitmap);
}
