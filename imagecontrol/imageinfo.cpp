#include "imageinfo.h"

#include "codec/binding/codecwrappers.h"
#include "codec/binding/iltdib.h"
#include "codec/binding/tbitmap.h"

#include <QFileInfo>

namespace {

QString extensionKey(const QString& fileName)
{
    const QString suffix = QFileInfo(fileName).suffix();
    if (suffix.isEmpty())
        return {};
    return (QLatin1Char('.') + suffix.toUpper()).left(4);
}

qint16 clamped16(int value)
{
    return qint16(qBound(-32768, value, 32767));
}

void describeShown(const TBitmap& shown, const QString& type, ImageInfo& info)
{
    info.type = type;
    info.width = shown.width();
    info.height = shown.height();
    info.bitsPerPixel = 0;
    info.planes = 0;
    info.colorsUsed = 0;
    info.pageCount = 0;
}

InfoFailure describeTiff(const QString& fileName, int page, ImageInfo& info)
{
    TiffPageInfo tiff;
    bool ok = ReadTiffPageInfo(fileName, qMax(0, page), tiff);
    if (!ok && page > 0) {
        // a page past the end: learn the count, then describe the last page
        TiffPageInfo first;
        if (ReadTiffPageInfo(fileName, 0, first) && first.pages > 0)
            ok = ReadTiffPageInfo(fileName, qMin(page, first.pages - 1), tiff);
    }
    info.type = QStringLiteral("TIF");
    info.width = tiff.width;
    info.height = tiff.height;
    info.bitsPerPixel = clamped16(tiff.bits);
    info.pageCount = clamped16(tiff.pages);
    info.compression = tiff.compression;
    info.planes = 0;
    info.colorsUsed = 0;
    return ok ? InfoFailure::None : InfoFailure::Codec;
}

InfoFailure describeDrawing(const QString& fileName, ImageInfo& info)
{
    int width = 0, height = 0, bits = 0;
    const bool ok = ReadDxfInfo(fileName, width, height, bits);
    info.type = info.compression = QStringLiteral("DXF");
    info.width = width;
    info.height = height;
    info.bitsPerPixel = clamped16(bits);
    info.planes = 0;
    info.colorsUsed = 0;
    return ok ? InfoFailure::None : InfoFailure::Codec;
}

InfoFailure describeFile(const QString& fileName, ImageInfo& info)
{
    PictureFileInfo file;
    const bool ok = ReadFileInfo(fileName, file);
    info.type = file.type;
    info.width = file.width;
    info.height = file.height;
    info.bitsPerPixel = clamped16(file.bits);
    info.planes = clamped16(file.planes);
    info.colorsUsed = clamped16(file.colors);
    info.compression = file.compression;
    return ok ? InfoFailure::None : InfoFailure::Codec;
}

}  // namespace

qint64 PackedDibSize(const TBitmap& bitmap)
{
    if (bitmap.empty())
        return 0;
    const int bits = bitmap.bitsPerPixel();
    const int colours = ILTDib::ColorsForBits(bits);
    return 40 + 4 * qint64(colours) + ILTDib::RowSize(bitmap.width(), bits) * bitmap.height();
}

InfoFailure ReadPictureInfo(const QString& fileName, int page, const TBitmap& shown, ImageInfo& info)
{
    const QString key = extensionKey(fileName);
    if (key == QLatin1String(".RES")) {
        describeShown(shown, QStringLiteral("RES"), info);
        info.compression = QStringLiteral("BMP");
        info.fileSize = PackedDibSize(shown);
        return InfoFailure::None;
    }
    const QFileInfo file(fileName);
    if (key == QLatin1String(".WMF") || key == QLatin1String(".ICO") || key == QLatin1String(".SCM") ||
        key == QLatin1String(".CMS")) {
        if (!file.isFile()) {
            info = ImageInfo{QStringLiteral("ERR"), -1, -1, -1, -1, -1, -1, QStringLiteral("ERR"), -1};
            return InfoFailure::MissingFile;
        }
        describeShown(shown, key.mid(1), info);
        info.compression = info.type;
        info.fileSize = file.size();
        return InfoFailure::None;
    }
    if (!file.isFile())
        return InfoFailure::MissingFile;
    info.fileSize = file.size();
    info.pageCount = 0;
    if (key == QLatin1String(".TIF"))
        return describeTiff(fileName, page, info);
    if (key == QLatin1String(".DXF"))
        return describeDrawing(fileName, info);
    return describeFile(fileName, info);
}
