#include "printimage.h"

#include "imagecontrol/pmultiimage.h"

#include <QPainter>

namespace {

QImage burntCopy(const TPMultiImage& image, const QImage& picture)
{
    TBitmap copy(picture, image.Picture().pixelFormat());
    return image.BurnAnnotations(copy) ? copy.image() : picture;
}

}  // namespace

QImage PrintablePicture(const TPMultiImage& image, const AnnotationBurner& burn)
{
    QImage picture = image.Picture().image();
    if (picture.isNull())
        return {};
    if (image.PrintAnnotations && image.AnnotationCount() > 0)
        picture = burn ? burn(image, picture) : burntCopy(image, picture);
    if (picture.depth() == 16)
        picture = picture.convertToFormat(QImage::Format_RGB888);
    return picture;
}

void DrawPrintPicture(QPainter& painter, const QImage& picture, int X, int Y, int Height, int Width)
{
    if (Width < 1 || Height < 1) {
        Width = picture.width();
        Height = picture.height();
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QRect(X, Y, Width, Height), picture, picture.rect());
}

PrintOutcome PrintImage(TPMultiImage& image, QPrinter& printer, int X, int Y, int Height, int Width,
                        const AnnotationBurner& burn, QWidget* owner, QPainter* openJob)
{
    const QImage picture = PrintablePicture(image, burn);
    if (picture.isNull())
        return {PrintOutcome::Failed, {}};
    if (!image.P_Begin_End_Doc) {
        if (openJob)
            DrawPrintPicture(*openJob, picture, X, Y, Height, Width);
        return {openJob ? PrintOutcome::Printed : PrintOutcome::Failed, {}};
    }
    PrintJob job(printer, 1, [&](QPainter& painter, int, const std::atomic<bool>&) {
        DrawPrintPicture(painter, picture, X, Y, Height, Width);
        return true;
    });
    return job.run(owner);
}
