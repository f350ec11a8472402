#include "effectsdepth.h"

#include <QSet>

namespace {

bool colourCountAtMost(const QImage& image, int limit)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    QSet<QRgb> seen;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            seen.insert(row[x] | 0xFF000000u);
            if (seen.size() > limit)
                return false;
        }
    }
    return true;
}

// JPEG's 8 bits are grey levels of a lossy picture, not a palette.
bool paletteFile(const ImageInfo& file)
{
    const int bits = file.bitsPerPixel;
    const QString type = file.type.toUpper();
    return (bits == 1 || bits == 4 || bits == 8) && type != QLatin1String("JPEG") && type != QLatin1String("JPG");
}

}  // namespace

int EffectsDialogDepth(const TBitmap& picture, const ImageInfo& file, int loadDepth)
{
    if (picture.monochrome())
        return 1;
    const int own = picture.bitsPerPixel();
    if (own == 4 || own == 8)
        return own;
    if (paletteFile(file) && !picture.empty() && colourCountAtMost(picture.image(), 1 << file.bitsPerPixel))
        return file.bitsPerPixel;
    return loadDepth;
}
