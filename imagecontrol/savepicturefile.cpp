#include "savepicturefile.h"

#include "annotationsave.h"
#include "bmpfilewriter.h"
#include "pmultiimage.h"

#include "codec/binding/codecwrappers.h"
#include "codec/binding/dibconvert.h"
#include "codec/binding/dibimage.h"
#include "codec/binding/display.h"
#include "codec/binding/tiffnames.h"
#include "codec/metafile/metafileconvert.h"
#include "codec/metafile/tmetafile.h"
#include "dibcore/dibguard.h"
#include "platform/fileops.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

#include <array>

namespace {

constexpr int kLargestIcon = 256;

const std::array<const char*, 14> kWrittenExtensions = {"bmp", "dib", "gif", "jpg",  "jpeg", "pcx", "png",
                                                        "tif", "tiff", "tga", "eps", "wmf", "emf", "ico"};

struct SaveJob {
    QString file;
    QString ext;
    const TBitmap& picture;
    const PictureSaveSettings& settings;
    const SaveDialogOptions& dialog;
    GlobalHandle dib;
    int depth;
};

int requestedBits(TSaveResolution resolution)
{
    switch (resolution) {
    case sColorVga: return 0;
    case sMonoChrome: return 1;
    case sColor16: return 4;
    case sColor256: return 8;
    case sColor15b: return 15;
    case sColor16b: return 16;
    case sColorTrue: return 24;
    case sColor32b: return 32;
    case sJpegGray: return 8;
    case sAutoMatic: return DeviceDepth();
    }
    return 24;
}

TPixelFormat bitmapFormatFor(TSaveResolution resolution)
{
    switch (resolution) {
    case sColorVga:
    case sColor16: return pf4bit;
    case sMonoChrome: return pf1bit;
    case sColor256:
    case sJpegGray: return pf8bit;
    case sColor15b: return pf15bit;
    case sColor16b: return pf16bit;
    case sColor32b: return pf32bit;
    case sColorTrue:
    case sAutoMatic: return pf24bit;
    }
    return pf24bit;
}

bool tiffExtension(const QString& ext)
{
    return ext == QLatin1String("tif") || ext == QLatin1String("tiff");
}

// The file a name stands for: a symbolic link is followed to the file it
// points to, so that saving over the link writes that file and keeps the link.
QString writtenPath(const QString& fileName)
{
    constexpr int kMostLinks = 40;
    QString path = fileName;
    for (int hop = 0; hop < kMostLinks && QFileInfo(path).isSymLink(); ++hop)
        path = QFileInfo(path).symLinkTarget();
    return path;
}

// The whole file goes to a temporary file beside the target, which takes
// the target's name only when complete; the old file stays until then.
bool commitFile(const QString& path, const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()
        || fileops::injectedFault(fileops::Op::Write, path)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool writeMetafile(const SaveJob& job, bool enhanced)
{
    TMetafile metafile;
    return BitmapToMetafile(&job.picture, &metafile, enhanced) && !metafile.Empty() &&
           commitFile(job.file, metafile.Data());
}

// The picture in the bitmap format the resolution names, written as a BMP
// file; the shown picture itself is not changed.
bool writeBitmapFile(const SaveJob& job)
{
    TBitmap copy = job.picture;
    copy.setPixelFormat(bitmapFormatFor(job.settings.writeRes));
    const int formatBits = BitsOfPixelFormat(copy.pixelFormat());
    const int bits = formatBits == 15 ? 16 : formatBits;
    dibcore::DibGuard dib(dibimage::fromImage(copy.image(), bits, {}));
    return dib.get() && commitFile(job.file, BmpFileBytes(dib.get()));
}

bool writeTiff(const SaveJob& job, void* sender, CodecProgress progress)
{
    const int code = TiffCompressionCode(job.settings.tiffCompression);
    if (!job.dialog.TIFFAppended || !QFileInfo(job.file).isFile())
        return WriteTiffFileDib(job.file, job.dib, job.depth, code, false, sender, progress);
    const int page = std::max(0, job.dialog.TIFFFirfPageValue - 1);
    switch (job.dialog.TIFFARI) {
    case 1:
        return WriteTiffFileDibPage(job.file, job.dib, job.depth, code, page, sender, progress);
    case 2:
        // the new page goes in before the old one is taken out, so a failed
        // write loses nothing
        return WriteTiffFileDibPage(job.file, job.dib, job.depth, code, page, sender, progress) &&
               DeleteTiffPage(job.file, page + 1, sender, progress);
    default:
        return WriteTiffFileDib(job.file, job.dib, job.depth, code, true, sender, progress);
    }
}

bool writeIcon(const SaveJob& job)
{
    const QImage& picture = job.picture.image();
    if (picture.width() > kLargestIcon || picture.height() > kLargestIcon)
        return false;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "ico");
    return writer.write(picture.convertToFormat(QImage::Format_ARGB32)) && commitFile(job.file, bytes);
}

bool writeByExtension(const SaveJob& job)
{
    void* sender = job.settings.sender;
    const CodecProgress progress = job.settings.progress;
    const QString& ext = job.ext;
    const PictureSaveSettings& opts = job.settings;
    if (ext == QLatin1String("bmp") || ext == QLatin1String("dib"))
        return writeBitmapFile(job);
    if (ext == QLatin1String("gif"))
        return WriteGifFileDib(job.file, job.dib, job.depth == 0 ? 0 : std::min(job.depth, 8), sender, progress);
    if (ext == QLatin1String("jpg") || ext == QLatin1String("jpeg"))
        return WriteJpgFileDib(job.file, job.dib, job.depth, opts.jpegQuality, opts.jpegSmooth,
                               opts.writeRes == sJpegGray, sender, progress);
    if (ext == QLatin1String("pcx"))
        return WritePcxFileDib(job.file, job.dib, job.depth, sender, progress);
    if (ext == QLatin1String("png"))
        return WritePngFileDib(job.file, job.dib, job.depth, opts.pngInterlaced, sender, progress);
    if (tiffExtension(ext))
        return writeTiff(job, sender, progress);
    if (ext == QLatin1String("tga"))
        return WriteTgaFileDib(job.file, job.dib, job.depth, sender, progress);
    if (ext == QLatin1String("eps")) {
        EpsWriteOptions eps;
        eps.level = qint16(job.dialog.EPSSaveLevel);
        eps.preview = qint16(job.dialog.EPSSavePreview);
        eps.compression = qint16(job.dialog.EPSSaveCompression);
        eps.border = qint16(job.dialog.EPSSaveBorder);
        eps.grey = opts.writeRes == sJpegGray ? 1 : 0;
        return WriteEpsFileDib(job.file, job.dib, job.depth == 0 ? 4 : job.depth, eps, sender, progress);
    }
    if (ext == QLatin1String("wmf") || ext == QLatin1String("emf"))
        return writeMetafile(job, ext == QLatin1String("emf"));
    if (ext == QLatin1String("ico"))
        return writeIcon(job);
    return false;
}

}  // namespace

int SaveDepthFor(TSaveResolution resolution)
{
    const int bits = requestedBits(resolution);
    if (bits == 0 || bits == 1 || bits == 4 || bits == 8 || bits == 24)
        return bits;
    if (bits < 4)
        return 4;
    if (bits < 8)
        return 8;
    return 24;
}

bool WritableExtension(const QString& ext)
{
    return std::any_of(kWrittenExtensions.begin(), kWrittenExtensions.end(),
                       [&](const char* e) { return ext == QLatin1String(e); });
}

bool SavePictureBitmap(const QString& fileName, const TBitmap& picture, const PictureSaveSettings& settings,
                       const SaveDialogOptions& dialog)
{
    const QString ext = QFileInfo(fileName).suffix().toLower();
    if (picture.empty() || !WritableExtension(ext))
        return false;
    const TBitmap work(picture.image(), pf32bit);
    dibcore::DibGuard dib(GraphicToDIB(&work));
    if (globalmem::size(dib.get()) <= 4)
        return false;

    // Every writer puts a complete new file in place of the old one by a
    // rename; the old file is never removed first.
    const SaveJob job{writtenPath(fileName), ext, picture, settings, dialog, dib.get(), SaveDepthFor(settings.writeRes)};
    return writeByExtension(job);
}

bool SavePictureFile(const QString& fileName, TPMultiImage& image, const SaveDialogOptions& dialog)
{
    const TPMultiImage::ProgressWork work(image);
    PictureSaveSettings settings;
    settings.writeRes = image.ImageWriteRes;
    settings.tiffCompression = image.TifSaveCompress;
    settings.jpegQuality = image.JPegSaveQuality();
    settings.jpegSmooth = image.JPegSaveSmooth();
    settings.pngInterlaced = image.PNGInterLaced;
    settings.sender = &image;
    settings.progress = TPMultiImage::CodecProgressOf;
    const bool existed = QFileInfo(fileName).isFile();
    if (!SavePictureBitmap(fileName, PictureForSaving(image), settings, dialog))
        return false;
    SaveAnnotationsBeside(image, fileName, dialog, existed);
    image.setModified(false);
    return true;
}
