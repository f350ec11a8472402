#include "selectionedits.h"

#include "effects/undoring.h"
#include "imagecontrol/clipboardpicture.h"
#include "imagecontrol/pmultiimage.h"
#include "platform/colors.h"

#include <QPainter>

namespace selectionedits {

namespace {

QRect inside(const TPMultiImage& image, const QRect& area)
{
    return area.intersected(image.Picture().image().rect());
}

// Paints on a true-colour copy and gives the result back in the picture's format.
template <typename Paint>
void paintOnPicture(TPMultiImage& image, Paint paint)
{
    const TBitmap& picture = image.Picture();
    QImage work = picture.image().convertToFormat(QImage::Format_ARGB32);
    {
        QPainter p(&work);
        paint(p);
    }
    image.setPicture(TBitmap(work, picture.pixelFormat()));
}

}  // namespace

bool copy(const TPMultiImage& image, const QRect& area)
{
    const QRect r = inside(image, area);
    if (r.isEmpty())
        return false;
    const TBitmap& picture = image.Picture();
    return clipboardpicture::copy(TBitmap(picture.image().copy(r), picture.pixelFormat()));
}

bool cut(TPMultiImage& image, const QRect& area)
{
    const QRect r = inside(image, area);
    if (r.isEmpty() || !copy(image, r))
        return false;
    PushUndo(image.Picture());
    const QColor fill = colors::toQColor(image.Color());
    paintOnPicture(image, [&](QPainter& p) { p.fillRect(r, fill); });
    return true;
}

bool pasteInto(TPMultiImage& image, const QRect& area)
{
    const QRect r = inside(image, area);
    if (r.isEmpty())
        return false;
    const TBitmap pasted = clipboardpicture::paste();
    if (pasted.empty())
        return false;
    PushUndo(image.Picture());
    paintOnPicture(image, [&](QPainter& p) {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(r, pasted.image());
    });
    return true;
}

bool crop(TPMultiImage& image, const QRect& area)
{
    const QRect r = inside(image, area);
    if (r.isEmpty())
        return false;
    const TBitmap& picture = image.Picture();
    TBitmap cropped(picture.image().copy(r), picture.pixelFormat());
    PushUndo(picture);
    image.setPicture(cropped);
    return true;
}

}  // namespace selectionedits
