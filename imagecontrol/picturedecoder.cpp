#include "picturedecoder.h"

#include "codec/binding/codecstate.h"
#include "codec/binding/dibconvert.h"
#include "codec/binding/iltdib.h"
#include "codec/binding/tbitmap.h"
#include "dibcore/dibcore.h"
#include "platform/paths.h"

#include <QFile>

#include <array>
#include <cstring>
#include <utility>
#include <vector>

namespace {

// Largest file read whole into memory.
constexpr qint64 kMaxStreamBytes = qint64(1) << 30;

constexpr std::array<std::pair<const char*, const char*>, 12> kTypeOfExtension{{
    {".BMP", "BMP"},
    {".DIB", "DIB"},
    {".PNG", "PNG"},
    {".GIF", "GIF"},
    {".TIF", "TIF"},
    {".TIFF", "TIF"},
    {".TGA", "TGA"},
    {".PCX", "PCX"},
    {".EPS", "EPS"},
    {".PCD", "PCD"},
    {".DXF", "DXF"},
    {".JPG", "JPEG"},
}};

int depthFor(const DecodeRequest& request)
{
    return request.monochrome ? 1 : request.bits;
}

void releaseAdoptedDib(void* dib)
{
    FreeDIB(static_cast<GlobalHandle>(dib));
}

// A 24-bit uncompressed DIB taken over as the bitmap's pixels without a
// copy: its rows are put top-down and into RGB order in place, and the
// image frees the block when its last copy goes. False, with the DIB left
// as it was, for any other DIB.
bool adoptTrueColor(GlobalHandle dib, TBitmap& bitmap)
{
    ILTDib view(dib, false);
    const int w = view.Width(), h = view.Height();
    if (!view.IsConsistent() || view.BitCount() != 24 || view.Compression() != dibcore::kBiRgb || w <= 0 ||
        h <= 0)
        return false;
    std::uint8_t* pixels = view.PixelPointer();
    const std::int64_t stride = ILTDib::RowSize(w, 24);
    if (!pixels || reinterpret_cast<std::uintptr_t>(pixels) % 4 != 0 || stride > INT32_MAX)
        return false;
    std::vector<std::uint8_t> spare(static_cast<std::size_t>(3 * w));
    const auto swapInto = [w](std::uint8_t* dst, const std::uint8_t* src) {
        for (int x = 0; x < w; ++x) {
            const std::uint8_t b = src[3 * x], g = src[3 * x + 1], r = src[3 * x + 2];
            dst[3 * x] = r;
            dst[3 * x + 1] = g;
            dst[3 * x + 2] = b;
        }
    };
    for (int top = 0, bottom = h - 1; top <= bottom; ++top, --bottom) {
        std::uint8_t* upper = pixels + stride * top;
        std::uint8_t* lower = pixels + stride * bottom;
        std::memcpy(spare.data(), upper, spare.size());
        swapInto(upper, lower);
        if (top != bottom)
            swapInto(lower, spare.data());
    }
    globalmem::lock(dib);  // held by the image until it frees the block
    const QImage image(pixels, w, h, qsizetype(stride), QImage::Format_RGB888, releaseAdoptedDib, dib);
    bitmap.assign(image, pf24bit);
    const QList<QRgb> shared = SharedPalette();
    bitmap.setPalette(shared);
    return true;
}

// A decoded DIB into the bitmap at bits; the DIB is given up either way.
bool intoBitmap(GlobalHandle dib, int bits, const DecodeRequest& request, TBitmap& bitmap)
{
    TBitmap decoded;
    if ((bits == 24 || bits == 0) && adoptTrueColor(dib, decoded)) {
        bitmap = decoded;
        return true;
    }
    dibcore::DibGuard guard(dib);
    if (!DIBToBitmap(guard.get(), bits, request.dither, request.progress, request.sender, decoded) ||
        decoded.empty())
        return false;
    bitmap = decoded;
    return true;
}

bool readGif(const DecodeRequest& request, GlobalHandle& dib)
{
    QFile file(request.file);
    if (!file.open(QIODevice::ReadOnly) || file.size() <= 0 || file.size() > kMaxStreamBytes)
        return false;
    const QByteArray bytes = file.readAll();
    if (bytes.isEmpty())
        return false;
    return ReadGifStreamDib(bytes.constData(), bytes.size(), 24, request.dither, dib, request.sender,
                            request.progress);
}

// The file decoded to a DIB by its type's reader; false for a failure or an
// unknown type.
bool readDib(const DecodeRequest& r, int bits, GlobalHandle& dib)
{
    using FileReader = bool (*)(const QString&, int, bool, GlobalHandle&, void*, CodecProgress);
    const QString& t = r.type;
    FileReader reader = nullptr;
    if (t == QLatin1String("BMP") || t == QLatin1String("DIB"))
        return ReadBmpFileDib(r.file, 0, false, dib, r.sender, r.progress);  // bitmap files keep their depth
    if (t == QLatin1String("GIF"))
        return readGif(r, dib);
    if (t == QLatin1String("TIF"))
        return ReadTiffFileDib(r.file, bits, r.dither, r.page, dib, r.sender, r.progress);
    if (t == QLatin1String("PCD"))
        return ReadPcdFileDib(r.file, bits, r.dither, r.pcdMode, dib, r.sender, r.progress);
    if (t == QLatin1String("DXF")) {
        QList<QRgb> palette;
        return ReadDxfFileDdb(r.file, 0, 0, dib, palette, r.sender, r.progress);
    }
    if (t == QLatin1String("PNG"))
        reader = ReadPngFileDib;
    else if (t == QLatin1String("TGA"))
        reader = ReadTgaFileDib;
    else if (t == QLatin1String("PCX"))
        reader = ReadPcxFileDib;
    else if (t == QLatin1String("EPS"))
        reader = ReadEpsFileDib;
    else if (t == QLatin1String("JPEG"))
        reader = ReadJpgFileDib;
    return reader && reader(r.file, bits, r.dither, dib, r.sender, r.progress);
}

}  // namespace

QString DecodeTypeFor(const QString& extension, const QString& reportedType)
{
    const QString upper = extension.toUpper();
    if (upper == QLatin1String(".JPEG"))
        return QStringLiteral("JPEG");
    for (const auto& [ext, type] : kTypeOfExtension) {
        if (upper == QLatin1String(ext))
            return QLatin1String(type);
    }
    return reportedType;
}

bool DecodableType(const QString& type)
{
    for (const auto& entry : kTypeOfExtension) {
        if (type == QLatin1String(entry.second))
            return true;
    }
    return false;
}

bool MonochromeFile(int bitsPerPixel)
{
    return bitsPerPixel == 1;
}

bool DecodePicture(const DecodeRequest& r, TBitmap& bitmap)
{
    const int requested = depthFor(r);
    GlobalHandle dib = nullptr;
    if (!readDib(r, requested, dib) || !dib)
        return false;
    // a GIF comes at 24 bits, bitmap files and drawings at their own depth
    const bool ownDepth = r.type == QLatin1String("BMP") || r.type == QLatin1String("DIB") ||
                          r.type == QLatin1String("DXF");
    const int bits = r.type == QLatin1String("GIF") ? (r.monochrome ? 1 : 24) : ownDepth ? 0 : requested;
    return intoBitmap(dib, bits, r, bitmap);
}

bool DecodeByContent(const QString& file, TBitmap& bitmap, int page)
{
    PictureFileInfo info;
    if (!ReadFileInfo(file, info))
        return false;
    DecodeRequest request;
    request.file = file;
    request.type = DecodeTypeFor(paths::extension(file), info.type);
    if (!DecodableType(request.type))
        return false;
    request.monochrome = MonochromeFile(info.bits);
    request.page = std::max(0, page);
    request.progress = [](int, void*) { return 1; };
    try {
        return DecodePicture(request, bitmap) && !bitmap.empty();
    } catch (const std::exception&) {
        return false;
    }
}
