#include "codecwrappers.h"

#include "codecmodule.h"
#include "codecstate.h"
#include "dibconvert.h"
#include "errorinvalid.h"
#include "tbitmap.h"
#include "tiffnames.h"

#include "dibcore/dibcore.h"
#include "engine/crde2001.h"
#include "codec/metafile/epswmfpreview.h"
#include "codec/metafile/wholefile.h"
#include "platform/fileops.h"
#include "platform/messagebox.h"
#include "platform/paths.h"
#include "platform/scannerpicker.h"
#include "platform/settings.h"

#include <QFile>
#include <QFileInfo>

#include <array>
#include <optional>

namespace {

using NameBuffer = std::array<char, kMaxCodecFileName + 1>;

// Largest EPS file searched for a WMF preview.
constexpr qint64 kMaxEpsBytes = qint64(256) * 1024 * 1024;

enum class Judge { Positive, NotMinusOne, NotNegative };

bool judged(short result, Judge judge)
{
    switch (judge) {
    case Judge::Positive: return result > 0;
    case Judge::NotMinusOne: return result != -1;
    case Judge::NotNegative: return result >= 0;
    }
    return false;
}

// The file name in the module's fixed buffer; none when it does not fit.
std::optional<NameBuffer> nameBuffer(const QString& file)
{
    const QByteArray bytes = QFile::encodeName(file);
    if (bytes.size() > kMaxCodecFileName || bytes.contains('\0'))
        return std::nullopt;
    NameBuffer buffer{};
    std::copy(bytes.begin(), bytes.end(), buffer.begin());
    return buffer;
}

// Why the last call on this thread failed, when the module or the binding
// said so.
thread_local QString t_failureReason;

// The module's reason for the failure of the entry just called.
QString moduleFailureReason()
{
    const CodecModule::Entry e = CodecModule::resolve("lastfailure");
    if (!e)
        return {};
    char text[256] = {};
    try {
        if (e.as<lastfailure_fn>()(text, int(sizeof text)) <= 0)
            return {};
    } catch (...) {
        return {};
    }
    return QString::fromUtf8(text);
}

template <typename Call>
bool guarded(Judge judge, Call&& call)
{
    t_failureReason.clear();
    bool ok = false;
    try {
        ok = judged(call(), judge);
    } catch (...) {
        ok = false;
    }
    if (!ok)
        t_failureReason = moduleFailureReason();
    return ok;
}

// Frame of an entry that takes a file name. verb: "Reading ", "Writing ",
// "Inserting ", or empty to leave OperationText as it is.
template <typename Fn, typename Call>
bool callFileEntry(const char* entry, const QString& file, const char* verb, Judge judge, Call&& call)
{
    const CodecModule::Entry e = CodecModule::resolve(entry);
    if (!e)
        return false;
    const auto name = nameBuffer(file);
    if (!name)
        return false;
    if (verb)
        SetOperationText(QLatin1String(verb) + file);
    return guarded(judge, [&] { return call(e.as<Fn>(), name->data()); });
}

// Frame of an entry that reads a buffer. stream: the text after "Reading ",
// or null to leave OperationText as it is.
template <typename Fn, typename Call>
bool callStreamEntry(const char* entry, const void* data, qint64 size, const char* stream, Judge judge,
                     Call&& call)
{
    const CodecModule::Entry e = CodecModule::resolve(entry);
    if (!e)
        return false;
    if (!data || size <= 0)
        throw ErrorInvalid(QString::fromLatin1(errortext::kStreamEmpty));
    if (stream)
        SetOperationText(QStringLiteral("Reading ") + QLatin1String(stream));
    return guarded(judge, [&] { return call(e.as<Fn>()); });
}

// Progress of a writer: the caller's callback, after the test hook of
// fileops, which can make the write fail at any report.
struct WriterProgress {
    CodecProgress callback;
    void* sender;
    QString file;
};

int watchWriter(int percent, void* watch)
{
    const auto* w = static_cast<const WriterProgress*>(watch);
    if (fileops::injectedFault(fileops::Op::Write, w->file))
        return 0;
    return w->callback ? w->callback(percent, w->sender) : 1;
}

// A failed decode, or one without a picture, leaves no handle behind.
bool settled(bool ok, GlobalHandle& dib)
{
    if (ok && globalmem::size(dib) > 0)
        return true;
    if (dib)
        FreeDIB(dib);
    dib = nullptr;
    return false;
}

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

QList<QRgb> colorsOf(PaletteHandle palette)
{
    QList<QRgb> colors;
    for (const dibcore::RgbQuad& q : dibcore::readLogPalette(palette))
        colors.append(qRgb(q.red, q.green, q.blue));
    return colors;
}

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

// Decode with read, then convert to the bitmap and free the DIB.
template <typename Read>
bool readIntoBitmap(Read&& read, int bits, bool dither, TBitmap& bitmap, void* sender, CodecProgress progress)
{
    GlobalHandle dib = nullptr;
    if (!read(dib))
        return false;
    bool ok = false;
    try {
        ok = DIBToBitmap(dib, bits, dither, progress, sender, bitmap);
    } catch (...) {
        FreeDIB(dib);
        throw;
    }
    FreeDIB(dib);
    return ok;
}

using FileDibReader = bool (*)(const QString&, int, bool, GlobalHandle&, void*, CodecProgress);

bool fileBitmap(FileDibReader read, const QString& file, int bits, bool dither, TBitmap& bitmap, void* sender,
                CodecProgress progress)
{
    return readIntoBitmap([&](GlobalHandle& dib) { return read(file, bits, dither, dib, sender, progress); }, bits,
                          dither, bitmap, sender, progress);
}

GlobalHandle convertWith(const char* entry, GlobalHandle dib)
{
    const CodecModule::Entry e = CodecModule::resolve(entry);
    if (!e || !globalmem::isValid(dib))
        return nullptr;
    try {
        return e.as<CopyDIB_fn>()(dib);
    } catch (...) {
        return nullptr;
    }
}

QString bmpCompressionName(std::uint32_t compression)
{
    switch (compression) {
    case 0: return QStringLiteral("RGB");
    case 1: return QStringLiteral("RLE8");
    case 2: return QStringLiteral("RLE4");
    case 3: return QStringLiteral("BITFIELDS");
    default: return QStringLiteral("None");
    }
}

// The DCT scalings the JPEG readers offer; any other scale fails the call.
bool acceptedJpegScale(int scale)
{
    if (scale == 1 || scale == 2 || scale == 4 || scale == 8)
        return true;
    t_failureReason = QStringLiteral("JPEG scale %1 is not 1, 2, 4 or 8").arg(scale);
    return false;
}

QString textOf(const char* buffer, std::size_t size)
{
    return QString::fromUtf8(buffer, qsizetype(strnlen(buffer, size)));
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

// ---- encoders ----------------------------------------------------------------------

bool WriteJpgFileDib(const QString& file, GlobalHandle dib, int bits, int quality, int smoothing, bool grey,
                     void* sender, CodecProgress progress)
{
    WriterProgress watch{progress, sender, file};
    return callFileEntry<wrjpgfiledib_fn>(
        "wrjpgfiledib", file, "Writing ", Judge::Positive, [&](wrjpgfiledib_fn fn, const char* name) {
            return fn(name, dib, short(bits), short(quality), short(smoothing), short(grey), &watch, watchWriter,
                      kCodecFlags);
        });
}

bool WritePngFileDib(const QString& file, GlobalHandle dib, int bits, bool interlaced, void* sender,
                     CodecProgress progress)
{
    WriterProgress watch{progress, sender, file};
    return callFileEntry<wrpngfiledib_fn>(
        "wrpngfiledib", file, "Writing ", Judge::Positive, [&](wrpngfiledib_fn fn, const char* name) {
            return fn(name, dib, short(bits), short(interlaced), &watch, watchWriter, kCodecFlags);
        });
}

bool WriteGifFileDib(const QString& file, GlobalHandle dib, int bits, void* sender, CodecProgress progress)
{
    WriterProgress watch{progress, sender, file};
    return callFileEntry<wrgiffiledib_fn>("wrgiffiledib", file, "Writing ", Judge::Positive,
                                          [&](wrgiffiledib_fn fn, const char* name) {
                                              return fn(name, dib, short(bits), &watch, watchWriter, kCodecFlags);
                                          });
}

bool WritePcxFileDib(const QString& file, GlobalHandle dib, int bits, void* sender, CodecProgress progress)
{
    WriterProgress watch{progress, sender, file};
    return callFileEntry<wrpcxfiledib_fn>("wrpcxfiledib", file, "Writing ", Judge::Positive,
                                          [&](wrpcxfiledib_fn fn, const char* name) {
                                              return fn(name, dib, short(bits), &watch, watchWriter, kCodecFlags);
                                          });
}

bool WriteTgaFileDib(const QString& file, GlobalHandle dib, int bits, void* sender, CodecProgress progress)
{
    WriterProgress watch{progress, sender, file};
    return callFileEntry<writetgafiledib_fn>(
        "writetgafiledib", file, "Writing ", Judge::Positive, [&](writetgafiledib_fn fn, const char* name) {
            return fn(name, dib, short(bits), 0, 0, &watch, watchWriter, kCodecFlags);
        });
}

bool WriteEpsFileDib(const QString& file, GlobalHandle dib, int bits, const EpsWriteOptions& o, void* sender,
                     CodecProgress progress)
{
    WriterProgress watch{progress, sender, file};
    return callFileEntry<writeepsfiledib_fn>(
        "writeepsfiledib", file, "Writing ", Judge::Positive, [&](writeepsfiledib_fn fn, const char* name) {
            return fn(name, dib, short(bits), o.level, o.preview, o.compression, o.border, o.grey, &watch,
                      watchWriter, kCodecFlags);
        });
}

bool WriteTiffFileDib(const QString& file, GlobalHandle dib, int bits, int compression, bool append, void* sender,
                      CodecProgress progress)
{
    WriterProgress watch{progress, sender, file};
    return callFileEntry<writetiffiledib_fn>(
        "writetiffiledib", file, append ? "Inserting " : "Writing ", Judge::Positive,
        [&](writetiffiledib_fn fn, const char* name) {
            return fn(name, dib, short(bits), short(compression), short(append), &watch, watchWriter,
                      kCodecFlags);
        });
}

bool WriteTiffFileDibPage(const QString& file, GlobalHandle dib, int bits, int compression, int page, void* sender,
                          CodecProgress progress)
{
    WriterProgress watch{progress, sender, file};
    return callFileEntry<writetiffiledibpage_fn>(
        "writetiffiledibpage", file, "Inserting ", Judge::Positive, [&](writetiffiledibpage_fn fn, const char* name) {
            return fn(name, dib, short(bits), short(compression), short(page), &watch, watchWriter, kCodecFlags);
        });
}

bool DeleteTiffPage(const QString& file, int page, void* sender, CodecProgress progress)
{
    WriterProgress watch{progress, sender, file};
    return callFileEntry<deletepage_fn>("deletepage", file, nullptr, Judge::Positive,
                                        [&](deletepage_fn fn, const char* name) {
                                            return fn(name, short(page), &watch, watchWriter, kCodecFlags);
                                        });
}

// ---- information ---------------------------------------------------------------------

bool HasTiffByteOrderMark(const void* data, qint64 size)
{
    if (!data || size < 4)
        return false;
    const auto* p = static_cast<const unsigned char*>(data);
    return (p[0] == 'I' && p[1] == 'I' && p[2] == '*' && p[3] == 0) ||
           (p[0] == 'M' && p[1] == 'M' && p[2] == 0 && p[3] == '*');
}

QString CodecFailureReason()
{
    return t_failureReason;
}

bool ReadBmpHeaderInfo(const QString& file, PictureFileInfo& info)
{
    t_failureReason.clear();
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = f.read(14 + 40);
    if (head.size() < 14 + 12 || head[0] != 'B' || head[1] != 'M')
        return false;
    const auto* h = reinterpret_cast<const std::uint8_t*>(head.constData()) + 14;
    const std::uint32_t infoSize = dibcore::le32(h);
    std::int64_t height = 0;
    if (infoSize == 12) {
        // OS/2 core header: 16-bit sizes, no compression field.
        info.width = dibcore::le16(h + 4);
        height = std::int16_t(dibcore::le16(h + 6));
        info.planes = dibcore::le16(h + 8);
        info.bits = dibcore::le16(h + 10);
        info.compression = bmpCompressionName(0);
    } else {
        if (head.size() < 14 + 40)
            return false;
        info.width = std::int32_t(dibcore::le32(h + 4));
        height = std::int32_t(dibcore::le32(h + 8));
        info.planes = dibcore::le16(h + 12);
        info.bits = dibcore::le16(h + 14);
        info.compression = bmpCompressionName(dibcore::le32(h + 16));
    }
    info.height = int(std::min<std::int64_t>(height < 0 ? -height : height, INT32_MAX));
    info.type = paths::extension(file).mid(1).toUpper();
    info.colors = 0;
    // a picture the decoder would refuse is refused here too
    const int depth = dibcore::describedDepth(info.bits);
    const bool sound = dibcore::imageBytes(info.width, info.height, depth) != 0;
    if (sound && !dibcore::fitsSource(info.width, info.height, depth, std::uint64_t(f.size()))) {
        t_failureReason = QString::fromLatin1(dibcore::kClaimTooLarge);
        return false;
    }
    return true;
}

bool ReadFileInfo(const QString& file, PictureFileInfo& info)
{
    const auto type = PicLibTypeOfFile(file);
    if (type == img_bmp || type == img_dib)
        return ReadBmpHeaderInfo(file, info);
    char typeText[64] = {};
    char compression[64] = {};
    short bits = 0;
    short planes = 0;
    const bool ok = callFileEntry<fileinfo_fn>(
        "fileinfo", file, nullptr, Judge::Positive, [&](fileinfo_fn fn, const char* name) {
            return fn(name, typeText, sizeof typeText, &info.width, &info.height, &bits, &planes, &info.colors,
                      compression, sizeof compression);
        });
    info.bits = bits;
    info.planes = planes;
    info.type = textOf(typeText, sizeof typeText);
    info.compression = ShownCompressionName(textOf(compression, sizeof compression));
    return ok;
}

bool ReadStreamInfo(const void* data, qint64 size, PictureFileInfo& info)
{
    if (HasTiffByteOrderMark(data, size)) {
        info = PictureFileInfo{};
        info.type = QStringLiteral("TIFF");
        return true;
    }
    char typeText[64] = {};
    char compression[64] = {};
    short bits = 0;
    short planes = 0;
    const bool ok = callStreamEntry<streaminfo_fn>(
        "streaminfo", data, size, nullptr, Judge::Positive, [&](streaminfo_fn fn) {
            return fn(data, size, typeText, sizeof typeText, compression, sizeof compression, &info.colors, &planes,
                      &bits, &info.height, &info.width);
        });
    info.bits = bits;
    info.planes = planes;
    info.type = textOf(typeText, sizeof typeText);
    info.compression = ShownCompressionName(textOf(compression, sizeof compression));
    return ok;
}

bool ReadTiffPageInfo(const QString& file, int page, TiffPageInfo& info)
{
    short bits = 0;
    short pages = 0;
    short compression = 0;
    const bool ok = callFileEntry<getinfo_fn>(
        "getinfo", file, nullptr, Judge::NotMinusOne, [&](getinfo_fn fn, const char* name) {
            return fn(name, short(page), &info.width, &info.height, &bits, &pages, &compression);
        });
    info.bits = bits;
    info.pages = pages;
    info.compressionCode = compression;
    info.compression = TiffCompressionName(compression);
    return ok;
}

bool ReadTiffStreamPageInfo(const void* data, qint64 size, int page, TiffPageInfo& info)
{
    short bits = 0;
    short pages = 0;
    short compression = 0;
    const bool ok = callStreamEntry<getinfostream_fn>(
        "getinfostream", data, size, nullptr, Judge::NotNegative, [&](getinfostream_fn fn) {
            return fn(data, size, short(page), &info.width, &info.height, &bits, &pages, &compression);
        });
    info.bits = bits;
    info.pages = pages;
    info.compressionCode = compression;
    info.compression = TiffCompressionName(compression);
    return ok;
}

bool ReadDxfInfo(const QString& file, int& width, int& height, int& bits)
{
    short b = 0;
    const bool ok = callFileEntry<getdxfinfo_fn>(
        "getdxfinfo", file, nullptr, Judge::Positive,
        [&](getdxfinfo_fn fn, const char* name) { return fn(name, &width, &height, &b); });
    bits = b;
    return ok;
}

// ---- scanning ------------------------------------------------------------------------

namespace {

class ScanSlot {
public:
    ScanSlot() : taken_(TryBeginScan()) {}
    ~ScanSlot()
    {
        if (taken_)
            EndScan();
    }
    ScanSlot(const ScanSlot&) = delete;
    ScanSlot& operator=(const ScanSlot&) = delete;
    bool taken() const { return taken_; }

private:
    bool taken_;
};

}  // namespace

namespace {

// The module lists the scanners and asks this chooser; context is the owner
// window.
int chooseScanner(void* context, const char* const* names, const char* const* descriptions, int count)
{
    QStringList labels;
    for (int i = 0; i < count; ++i) {
        const QString description = QString::fromUtf8(descriptions[i]);
        const QString name = QString::fromUtf8(names[i]);
        labels << (description.isEmpty() ? name : description + QStringLiteral(" (") + name + QLatin1Char(')'));
    }
    return ScannerPicker::choose(static_cast<QWidget*>(context), labels);
}

}  // namespace

bool SelectScanSource(void* window)
{
    ScanSlot slot;
    if (!slot.taken())
        return false;
    const CodecModule::Entry e = CodecModule::resolve("selectsource");
    if (!e)
        return false;
    ScanWindow chooser{window, chooseScanner};
    try {
        return e.as<selectsource_fn>()(&chooser) >= 0;
    } catch (...) {
        MessageBox::warning(nullptr, QString(),
                            QStringLiteral("An exception error occured in the piclib dll. We recommend to exit the "
                                           "application and to restart it by clicking its icon!"));
        return false;
    }
}

bool AcquireDibImage(void* window, int bits, bool dither, GlobalHandle& dib, void* sender, CodecProgress progress)
{
    dib = nullptr;
    ScanSlot slot;
    if (!slot.taken())
        return false;
    const CodecModule::Entry e = CodecModule::resolve("aquiredibimage");
    if (!e)
        return false;
    SetOperationText(QStringLiteral("Aquiring Image "));
    const bool ok = guarded(Judge::NotNegative, [&] {
        return e.as<aquiredibimage_fn>()(window, short(bits), short(dither), &dib, sender, progress, kCodecFlags);
    });
    return settled(ok, dib);
}

bool AcquireBitmap(void* window, int bits, bool dither, TBitmap& bitmap, void* sender, CodecProgress progress)
{
    return readIntoBitmap(
        [&](GlobalHandle& dib) { return AcquireDibImage(window, bits, dither, dib, sender, progress); }, bits,
        dither, bitmap, sender, progress);
}

// ---- DIB conversions of the module -------------------------------------------------------

GlobalHandle CopyDIB(GlobalHandle dib) { return convertWith("CopyDIB", dib); }
GlobalHandle DIB1To4(GlobalHandle dib) { return convertWith("DIB1to4", dib); }
GlobalHandle DIB1To8(GlobalHandle dib) { return convertWith("DIB1To8", dib); }
GlobalHandle DIB1To24(GlobalHandle dib) { return convertWith("DIB1To24", dib); }
GlobalHandle DIB4To8(GlobalHandle dib) { return convertWith("DIB4To8", dib); }
GlobalHandle DIB4To24(GlobalHandle dib) { return convertWith("DIB4To24", dib); }
GlobalHandle DIB16To24(GlobalHandle dib) { return convertWith("DIB16To24", dib); }
GlobalHandle DIB32To24(GlobalHandle dib) { return convertWith("DIB32To24", dib); }

bool DibToDdb(GlobalHandle dib, GlobalHandle& bitmap, QList<QRgb>& palette)
{
    bitmap = nullptr;
    const CodecModule::Entry e = CodecModule::resolve("DibtoDdb");
    if (!e || !globalmem::isValid(dib))
        return false;
    PaletteHandle paletteBlock = nullptr;
    const void* data = globalmem::lock(dib);
    const bool ok = guarded(Judge::Positive, [&] {
        return e.as<DibtoDdb_fn>()(data, qint64(globalmem::size(dib)), &paletteBlock, &bitmap);
    });
    globalmem::unlock(dib);
    palette = colorsOf(paletteBlock);
    globalmem::free(paletteBlock);
    return settled(ok, bitmap);
}

QString AnnotationSettingsFile()
{
    // the program folder may be read-only once installed
    return QFileInfo(Settings::filePath()).absolutePath() + QStringLiteral("/il_anno.ini");
}
