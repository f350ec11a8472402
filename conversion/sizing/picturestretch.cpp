#include "picturestretch.h"

#include "conversion/pictureconversion.h"

#include "codec/binding/tbitmap.h"

namespace {

bool paletted(TPixelFormat format)
{
    return format == pf1bit || format == pf4bit || format == pf8bit;
}

}  // namespace

TBitmap StretchedPicture(const TBitmap& picture, QSize size)
{
    if (picture.empty() || size.width() < 1 || size.height() < 1)
        return {};
    const TBitmap stretched = ResizedPicture(picture, size);
    if (stretched.empty() || stretched.image().size() != size)
        return {};
    const TPixelFormat format = picture.pixelFormat();
    const QList<QRgb> table = picture.image().colorTable();
    if (paletted(format) && !table.isEmpty()) {
        const QImage::Format target = format == pf1bit ? QImage::Format_Mono : QImage::Format_Indexed8;
        const QImage mapped = stretched.image().convertToFormat(target, table, Qt::ThresholdDither);
        if (mapped.isNull())
            return {};
        TBitmap result(mapped, format);
        result.setPalette(picture.palette());
        return result;
    }
    TBitmap result = stretched;
    result.setPixelFormat(format == pfCustom ? pf32bit : format);
    return result.empty() ? TBitmap() : result;
}
