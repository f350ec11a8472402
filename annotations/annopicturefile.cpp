#include "annopicturefile.h"

#include "codec/binding/tbitmap.h"
#include "imagecontrol/picturedecoder.h"

#include <cstring>

namespace annopicturefile {

QImage read(const QString& file)
{
    TBitmap bitmap;
    if (file.isEmpty() || !DecodeByContent(file, bitmap) || bitmap.empty())
        return {};
    QImage image = bitmap.image();
    if (image.width() > kMaxSide || image.height() > kMaxSide)
        image = image.scaled(kMaxSide, kMaxSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image.convertToFormat(QImage::Format_ARGB32);
}

bool toAnnoPicture(const QImage& image, AnnoPicture& picture)
{
    if (image.isNull())
        return false;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const std::size_t row = std::size_t(argb.width()) * 4;
    GlobalHandle block = globalmem::alloc(row * std::size_t(argb.height()));
    if (!block)
        return false;
    auto* to = static_cast<std::uint8_t*>(globalmem::lock(block));
    for (int y = 0; y < argb.height(); ++y) {
        // B, G, R, A in memory on a little-endian machine
        const QRgb* from = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        std::uint8_t* out = to + row * std::size_t(y);
        for (int x = 0; x < argb.width(); ++x) {
            out[4 * x] = std::uint8_t(qBlue(from[x]));
            out[4 * x + 1] = std::uint8_t(qGreen(from[x]));
            out[4 * x + 2] = std::uint8_t(qRed(from[x]));
            out[4 * x + 3] = std::uint8_t(qAlpha(from[x]));
        }
    }
    globalmem::unlock(block);
    picture.width = argb.width();
    picture.height = argb.height();
    picture.pixels = block;
    return true;
}

QString filter()
{
    return QStringLiteral("Alle unterstützten Formate (*.bmp *.dib *.gif *.jpg *.jpeg *.pcx *.png *.tga *.tif *.tiff "
                          "*.eps *.pcd *.dxf)");
}

}  // namespace annopicturefile
