#include "slideannotations.h"

#include "codec/binding/annotationcalls.h"
#include "codec/binding/errorinvalid.h"
#include "imagecontrol/annotationfile.h"

#include <QFileInfo>
#include <QImage>
#include <QPainter>

void DrawSlideAnnotations(QImage& work, const QString& file, int page, QPoint offset, double scale)
{
    const QString annotations = PictureAnnotationFile(file);
    if (work.isNull() || !QFileInfo(annotations).isFile())
        return;
    try {
        annotationcalls::Scratch layer;
        if (!layer.load(annotations, page) || layer.count() == 0)
            return;
        QPainter painter(&work);
        annotationcalls::DrawWholeDC(layer.key(), scale, 0, 0, offset.x(), offset.y(), painter);
    } catch (const ErrorInvalid&) {
    }
}
