// The codec wrappers: the decoders, from a file, from memory and into a
// bitmap object.

#include "codecwrappers.h"

#include "codeccall.h"
#include "tbitmap.h"

#include "dibcore/dibcore.h"
#include "codec/metafile/epswmfpreview.h"
#include "codec/metafile/wholefile.h"

#include <vector>

using namespace codeccall;

namespace {

// Largest EPS file searched for a WMF preview.
constexpr qint64 kMaxEpsBytes = qint64(256) * 1024 * 1024;

// The shared palette as the module takes it; freed when it goes.
class SharedPaletteBlock {
public:
    SharedPaletteBlock()
    {
        const QList<QRgb> colors = SharedPalette();
        if (colors.isEmpty() || colors.size() > 256)
            return;
        std::vector<dibcore::RgbQuad> quads;
        for (QRgb c : colors)
            quads.push_back(dibcore::rgb(qRed(c), qGreen(c), qBlue(c)));
        block_ = dibcore::makeLogPalette(quads);
    }
    ~SharedPaletteBlock() { globalmem::free(block_); }
    SharedPaletteBlock(const SharedPaletteBlock&) = delete;
    SharedPaletteBlock& operator=(const SharedPaletteBlock&) = delete;
    PaletteHandle get() const { return block_; }

private:
    GlobalHandle block_ = nullptr;
};

// Decoders from a file with no extra inputs share one signature.
template <typename Fn>
bool readFileDib(const char* entry, const QString& file, int bits, bool dither, GlobalHandle& dib, void* sender,
                 CodecProgress progress)
{
    dib = nullptr;
    SharedPaletteBlock palette;
    const bool ok = callFileEntry<Fn>(entry, file, "Reading ", Judge::Positive, [&](Fn fn, const char* name) {
        return fn(name, short(bits), short(dither), &dib, palette.get(), sender, progress, kCodecFlags);
    });
    return settled(ok, dib);
}

template <typename Fn>
bool readStreamDib(const char* entry, const char* stream, const void* data, qint64 size, int bits, bool dither,
                   GlobalHandle& dib, void* sender, CodecProgress progress)
{
    dib = nullptr;
    const bool ok = callStreamEntry<Fn>(entry, data, size, stream, Judge::Positive, [&](Fn fn) {
        return fn(data, size, short(bits), short(dither), &dib, sender, progress, kCodecFlags);
    });
    return settled(ok, dib);
}

using FileDibReader = bool (*)(const QString&, int, bool, GlobalHandle&, void*, CodecProgress);

bool fileBitmap(FileDibReader read, const QString& file, int bits, bool dither, TBitmap& bitmap, void* sender,
                CodecProgress progress)
{
    return readIntoBitmap([&](GlobalHandle& dib) { return read(file, bits, dither, dib, sender, progress); }, bits,
                          dither, bitmap, sender, progress);
}

// The DCT scalings the JPEG readers offer; any other scale fails the call.
bool acceptedJpegScale(int scale)
{
    if (scale == 1 || scale == 2 || scale == 4 || scale == 8)
        return true;
    t_failureReason = QStringLiteral("JPEG scale %1 is not 1, 2, 4 or 8").arg(scale);
    return false;
}

}  // namespace

// ---- decoders from a file ---------------------------------------------------------

bool ReadJpgFileDib(const QString& file, int bits, bool dither, GlobalHandle& dib, void* sender,
                    CodecProgress progress)
{
    return ReadJpgFileDibScaled(file, bits, dither, 1, dib, sender, progress);
}

bool ReadJpgFileDibScaled(const QString& file, int bits, bool dither, int scale, GlobalHandle& dib,
                          void* sender, CodecProgress progress)
{
    dib = nullptr;
    if (!acceptedJpegScale(scale))
        return false;
    SharedPaletteBlock palette;
    const bool ok = callFileEntry<rdjpgfiledib_fn>(
        "rdjpgfiledib", file, "Reading ", Judge::Positive, [&](rdjpgfiledib_fn fn, const char* name) {
            return fn(name, short(bits), short(dither), short(scale), &dib, palette.get(), sender, progress,
                      kCodecFlags);
        });
    if (!settled(ok, dib)) {
        CodecModule::unload();
        return false;
    }
    return true;
}

int LargestJpegScale(int width, int height, int atLeastWidth, int atLeastHeight)
{
    if (width <= 0 || height <= 0)
        return 1;
    const auto reaches = [](int side, int scale, int wanted) {
        return side / scale + (side % scale != 0 ? 1 : 0) >= wanted;
    };
    for (int scale : {8, 4, 2})
        if (reaches(width, scale, atLeastWidth) && reaches(height, scale, atLeastHeight))
            return scale;
    return 1;
}

bool ReadBmpFileDib(const QString& file, int bits, bool dither, GlobalHandle& dib, void* sender,
                    CodecProgress progress)
{
    return readFileDib<rdbmpfiledib_fn>("rdbmpfiledib", file, bits, dither, dib, sender, progress);
}

bool ReadPngFileDib(const QString& file, int bits, bool dither, GlobalHandle& dib, void* sender,
                    CodecProgress progress)
{
    return readFileDib<rdpngfiledib_fn>("rdpngfiledib", file, bits, dither, dib, sender, progress);
}

bool ReadGifFileDib(const QString& file, int bits, bool dither, GlobalHandle& dib, void* sender,
                    CodecProgress progress)
{
    return readFileDib<rdgiffiledib_fn>("rdgiffiledib", file, bits, dither, dib, sender, progress);
}

bool ReadPcxFileDib(const QString& file, int bits, bool dither, GlobalHandle& dib, void* sender,
                    CodecProgress progress)
{
    return readFileDib<rdpcxfiledib_fn>("rdpcxfiledib", file, bits, dither, dib, sender, progress);
}

bool ReadTgaFileDib(const QString& file, int bits, bool dither, GlobalHandle& dib, void* sender,
                    CodecProgress progress)
{
    return readFileDib<readtgafiledib_fn>("readtgafiledib", file, bits, dither, dib, sender, progress);
}

bool ReadEpsFileDib(const QString& file, int bits, bool dither, GlobalHandle& dib, void* sender,
                    CodecProgress progress)
{
    if (readFileDib<readepsfiledib_fn>("readepsfiledib", file, bits, dither, dib, sender, progress))
        return true;
    // the PostScript could not be drawn: a WMF preview is the last resort,
    // unless the caller asked to stop
    if (progress && progress(0, sender) == 0)
        return false;
    QByteArray eps;
    QString error;
    if (!wholefile::read(file, kMaxEpsBytes, eps, error))
        return false;
    dib = EpsWmfPreviewDib(eps, bits, dither, progress, sender);
    return dib != nullptr;
}

bool ReadTiffFileDib(const QString& file, int bits, bool dither, int page, GlobalHandle& dib, void* sender,
                     CodecProgress progress)
{
    dib = nullptr;
    SharedPaletteBlock palette;
    const bool ok = callFileEntry<readtiffiledib_fn>(
        "readtiffiledib", file, "Reading ", Judge::Positive, [&](readtiffiledib_fn fn, const char* name) {
            return fn(name, short(bits), short(dither), short(page), &dib, palette.get(), sender, progress,
                      kCodecFlags);
        });
    return settled(ok, dib);
}

bool ReadPcdFileDib(const QString& file, int bits, bool dither, TPCDMode mode, GlobalHandle& dib, void* sender,
                    CodecProgress progress)
{
    dib = nullptr;
    SharedPaletteBlock palette;
    const bool ok = callFileEntry<readpcdfiledib_fn>(
        "readpcdfiledib", file, "Reading ", Judge::Positive, [&](readpcdfiledib_fn fn, const char* name) {
            return fn(name, short(bits), short(dither), short(mode), &dib, palette.get(), sender, progress,
                      kCodecFlags);
        });
    return settled(ok, dib);
}

bool ReadDxfFileDdb(const QString& file, int width, int height, GlobalHandle& bitmap, QList<QRgb>& palette,
                    void* sender, CodecProgress progress)
{
    bitmap = nullptr;
    PaletteHandle paletteBlock = nullptr;
    const bool ok = callFileEntry<readdxftoddb_fn>(
        "readdxftoddb", file, "Reading ", Judge::Positive, [&](readdxftoddb_fn fn, const char* name) {
            return fn(name, width, height, &bitmap, &paletteBlock, sender, progress, kCodecFlags);
        });
    palette = colorsOf(paletteBlock);
    globalmem::free(paletteBlock);
    return settled(ok, bitmap);
}

// ---- decoders from memory -------------------------------------------------------

bool ReadJpgStreamDib(const void* data, qint64 size, int bits, bool dither, GlobalHandle& dib, void* sender,
                      CodecProgress progress)
{
    return ReadJpgStreamDibScaled(data, size, bits, dither, 1, dib, sender, progress);
}

bool ReadJpgStreamDibScaled(const void* data, qint64 size, int bits, bool dither, int scale, GlobalHandle& dib,
                            void* sender, CodecProgress progress)
{
    dib = nullptr;
    if (!acceptedJpegScale(scale))
        return false;
    const bool ok = callStreamEntry<rdjpgstreamdib_fn>(
        "rdjpgstreamdib", data, size, "JPG Stream", Judge::Positive, [&](rdjpgstreamdib_fn fn) {
            return fn(data, size, short(bits), short(dither), short(scale), &dib, sender, progress, kCodecFlags);
        });
    if (!settled(ok, dib)) {
        CodecModule::unload();
        return false;
    }
    return true;
}

bool ReadBmpStreamDib(const void* data, qint64 size, int bits, bool dither, GlobalHandle& dib, void* sender,
                      CodecProgress progress)
{
    return readStreamDib<rdbmpstreamdib_fn>("rdbmpstreamdib", "BMP Stream", data, size, bits, dither, dib, sender,
                                            progress);
}

bool ReadPngStreamDib(const void* data, qint64 size, int bits, bool dither, GlobalHandle& dib, void* sender,
                      CodecProgress progress)
{
    return readStreamDib<rdpngstreamdib_fn>("rdpngstreamdib", "PNG Stream", data, size, bits, dither, dib, sender,
                                            progress);
}

bool ReadGifStreamDib(const void* data, qint64 size, int bits, bool dither, GlobalHandle& dib, void* sender,
                      CodecProgress progress)
{
    return readStreamDib<rdgifstreamdib_fn>("rdgifstreamdib", "GIF Stream", data, size, bits, dither, dib, sender,
                                            progress);
}

bool ReadPcxStreamDib(const void* data, qint64 size, int bits, bool dither, GlobalHandle& dib, void* sender,
                      CodecProgress progress)
{
    return readStreamDib<rdpcxstreamdib_fn>("rdpcxstreamdib", "PCX Stream", data, size, bits, dither, dib, sender,
                                            progress);
}

bool ReadTgaStreamDib(const void* data, qint64 size, int bits, bool dither, GlobalHandle& dib, void* sender,
                      CodecProgress progress)
{
    return readStreamDib<readtgafilestreamdib_fn>("readtgafilestreamdib", "TGA Stream", data, size, bits, dither,
                                                  dib, sender, progress);
}

bool ReadEpsStreamDib(const void* data, qint64 size, int bits, bool dither, GlobalHandle& dib, void* sender,
                      CodecProgress progress)
{
    if (readStreamDib<readepsfiledibstream_fn>("readepsfiledibstream", "EPS Stream", data, size, bits, dither,
                                               dib, sender, progress))
        return true;
    if (!data || size <= 0 || size > kMaxEpsBytes || (progress && progress(0, sender) == 0))
        return false;
    dib = EpsWmfPreviewDib(QByteArray::fromRawData(static_cast<const char*>(data), qsizetype(size)), bits, dither,
                           progress, sender);
    return dib != nullptr;
}

bool ReadDcxStreamDib(const void* data, qint64 size, int bits, bool dither, int page, GlobalHandle& dib,
                      void* sender, CodecProgress progress)
{
    dib = nullptr;
    const bool ok = callStreamEntry<rddcxstreamdib_fn>(
        "rddcxstreamdib", data, size, "DCX Stream", Judge::Positive, [&](rddcxstreamdib_fn fn) {
            return fn(data, size, short(bits), short(dither), short(page), &dib, sender, progress, kCodecFlags);
        });
    return settled(ok, dib);
}

bool ReadTiffStreamDib(const void* data, qint64 size, int bits, bool dither, int page, GlobalHandle& dib,
                       void* sender, CodecProgress progress)
{
    dib = nullptr;
    const bool ok = callStreamEntry<readtiffiledibstream_fn>(
        "readtiffiledibstream", data, size, "Tiff Stream", Judge::Positive, [&](readtiffiledibstream_fn fn) {
            return fn(data, size, short(bits), short(dither), short(page), &dib, sender, progress, kCodecFlags);
        });
    return settled(ok, dib);
}

bool ReadPcdStreamDib(const void* data, qint64 size, int bits, bool dither, TPCDMode mode, GlobalHandle& dib,
                      void* sender, CodecProgress progress)
{
    dib = nullptr;
    const bool ok = callStreamEntry<readpcdfiledibstream_fn>(
        "readpcdfiledibstream", data, size, "PCD Stream", Judge::Positive, [&](readpcdfiledibstream_fn fn) {
            return fn(data, size, short(bits), short(dither), short(mode), &dib, sender, progress, kCodecFlags);
        });
    return settled(ok, dib);
}

// ---- decoders into a bitmap object -------------------------------------------------

bool ReadJpgFileBitmap(const QString& file, int bits, bool dither, TBitmap& bitmap, void* sender,
                       CodecProgress progress)
{
    return fileBitmap(ReadJpgFileDib, file, bits, dither, bitmap, sender, progress);
}

bool ReadBmpFileBitmap(const QString& file, int bits, bool dither, TBitmap& bitmap, void* sender,
                       CodecProgress progress)
{
    return fileBitmap(ReadBmpFileDib, file, bits, dither, bitmap, sender, progress);
}

bool ReadPngFileBitmap(const QString& file, int bits, bool dither, TBitmap& bitmap, void* sender,
                       CodecProgress progress)
{
    return fileBitmap(ReadPngFileDib, file, bits, dither, bitmap, sender, progress);
}

bool ReadGifFileBitmap(const QString& file, int bits, bool dither, TBitmap& bitmap, void* sender,
                       CodecProgress progress)
{
    return fileBitmap(ReadGifFileDib, file, bits, dither, bitmap, sender, progress);
}

bool ReadPcxFileBitmap(const QString& file, int bits, bool dither, TBitmap& bitmap, void* sender,
                       CodecProgress progress)
{
    return fileBitmap(ReadPcxFileDib, file, bits, dither, bitmap, sender, progress);
}

bool ReadTgaFileBitmap(const QString& file, int bits, bool dither, TBitmap& bitmap, void* sender,
                       CodecProgress progress)
{
    return fileBitmap(ReadTgaFileDib, file, bits, dither, bitmap, sender, progress);
}

bool ReadEpsFileBitmap(const QString& file, int bits, bool dither, TBitmap& bitmap, void* sender,
                       CodecProgress progress)
{
    return fileBitmap(ReadEpsFileDib, file, bits, dither, bitmap, sender, progress);
}


bool ReadTiffFileBitmap(const QString& file, int bits, bool dither, int page, TBitmap& bitmap, void* sender,
                        CodecProgress progress)
{
    return readIntoBitmap(
        [&](GlobalHandle& dib) { return ReadTiffFileDib(file, bits, dither, page, dib, sender, progress); }, bits,
        dither, bitmap, sender, progress);
}

bool ReadPcdFileBitmap(const QString& file, int bits, bool dither, TPCDMode mode, TBitmap& bitmap, void* sender,
                       CodecProgress progress)
{
    return readIntoBitmap(
        [&](GlobalHandle& dib) { return ReadPcdFileDib(file, bits, dither, mode, dib, sender, progress); }, bits,
        dither, bitmap, sender, progress);
}
