#include "pictureconversion.h"

#include "conversionnaming.h"

#include "codec/binding/codecwrappers.h"
#include "codec/binding/dibconvert.h"
#include "codec/binding/tbitmap.h"
#include "imagecontrol/picturedecoder.h"
#include "platform/fileops.h"
#include "platform/paths.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>

#include <cmath>

namespace {

constexpr int kLargestSide = 9999;

// The file's bytes on disk, then read back as a picture of the written size.
bool writtenSafely(const QString& target, QSize size)
{
    QFile file(target);
    if (!file.open(QIODevice::ReadOnly) || !fileops::syncFile(file.handle(), target))
        return false;
    file.close();
    if (!fileops::syncFolder(QFileInfo(target).absolutePath()))
        return false;
    TBitmap back;
    if (!LoadPicturePage(target, 0, back))
        return false;
    // metafiles and icons come back at their own size
    const QString ext = QFileInfo(target).suffix().toLower();
    return ext == QLatin1String("wmf") || ext == QLatin1String("emf") || ext == QLatin1String("eps") ||
           QSize(back.width(), back.height()) == size;
}

int goOn(int, void*)
{
    return 1;
}

// The upright size of a file the pane decodes as a JPEG; empty for any
// other file.
QSize jpegSize(const QString& file)
{
    PictureFileInfo info;
    if (!ReadFileInfo(file, info) || DecodeTypeFor(paths::extension(file), info.type) != QLatin1String("JPEG") ||
        info.width <= 0 || info.height <= 0)
        return {};
    return {info.width, info.height};
}

// The JPEG decoded at 1/scale of its size, at 24 bits.
bool loadJpegScaled(const QString& file, int scale, TBitmap& bitmap)
{
    GlobalHandle dib = nullptr;
    try {
        if (!ReadJpgFileDibScaled(file, 24, false, scale, dib, nullptr, goOn) || !dib)
            return false;
    } catch (const std::exception&) {
        return false;
    }
    const bool ok = DIBToBitmap(dib, 24, false, goOn, nullptr, bitmap) && !bitmap.empty();
    FreeDIB(dib);
    return ok;
}

}  // namespace

int PicturePageCount(const QString& file)
{
    if (!IsTiffName(file))
        return 1;
    TiffPageInfo info;
    if (!ReadTiffPageInfo(file, 0, info) || info.pages <= 0)
        return 0;
    return info.pages;
}

bool LoadPicturePage(const QString& file, int page, TBitmap& bitmap)
{
    bitmap = TBitmap();
    if (DecodeByContent(file, bitmap, page))
        return true;
    bitmap = TBitmap();
    return false;
}

QSize ConvertedSize(QSize picture, const ConversionOptions& options)
{
    if (options.percent > 0)
        return {std::clamp(int(std::lround(picture.width() * options.percent / 100.0)), 1, kLargestSide),
                std::clamp(int(std::lround(picture.height() * options.percent / 100.0)), 1, kLargestSide)};
    if (!options.changeSize)
        return picture;
    const QSize wanted(std::clamp(options.width, 1, kLargestSide), std::clamp(options.height, 1, kLargestSide));
    return options.keepAspect ? FitKeepingAspect(wanted, picture) : wanted;
}

TBitmap ResizedPicture(const TBitmap& picture, QSize size)
{
    if (picture.empty() || QSize(picture.width(), picture.height()) == size)
        return picture;
    QImage out(size, QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter painter(&out);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(QPoint(0, 0), size), picture.image());
    painter.end();
    return TBitmap(out, pf32bit);
}

TBitmap ConvertedPicture(const QString& source, int page, const ConversionOptions& options)
{
    if (const QSize full = jpegSize(source); !full.isEmpty()) {
        const QSize size = ConvertedSize(full, options);
        const int scale = LargestJpegScale(full.width(), full.height(), size.width(), size.height());
        if (scale > 1) {
            TBitmap reduced;
            return loadJpegScaled(source, scale, reduced) ? ResizedPicture(reduced, size) : TBitmap();
        }
    }
    TBitmap picture;
    if (!LoadPicturePage(source, page, picture))
        return {};
    return ResizedPicture(picture, ConvertedSize(QSize(picture.width(), picture.height()), options));
}

ConversionStatus ConvertPicture(const QString& source, int page, const QString& target,
                                const ConversionOptions& options, bool verify)
{
    const TBitmap converted = ConvertedPicture(source, page, options);
    if (converted.empty())
        return ConversionStatus::Unreadable;
    if (!SavePictureBitmap(target, converted, options.save, options.dialog))
        return ConversionStatus::WriteFailed;
    const QSize size(converted.width(), converted.height());
    if (verify && !writtenSafely(target, size))
        return ConversionStatus::NotVerified;
    return ConversionStatus::Converted;
}
