#include "picturedecoder.h"

#include "codec/binding/dibconvert.h"
#include "codec/binding/tbitmap.h"
#include "dibcore/dibcore.h"

#include <QFile>

#include <array>
#include <utility>

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

// A decoded DIB into the bitmap at bits; the DIB is freed.
bool intoBitmap(GlobalHandle dib, int bits, const DecodeRequest& request, TBitmap& bitmap)
{
    dibcore::DibGuard guard(dib);
    TBitmap decoded;
    if (!DIBToBitmap(guard.get(), bits, request.dither, request.progress, request.sender, decoded) ||
        decoded.empty())
        return false;
    bitmap = decoded;
    return true;
}

bool decodeGif(const DecodeRequest& request, TBitmap& bitmap)
{
    QFile file(request.file);
    if (!file.open(QIODevice::ReadOnly) || file.size() <= 0 || file.size() > kMaxStreamBytes)
        return false;
    const QByteArray bytes = file.readAll();
    if (bytes.isEmpty())
        return false;
    GlobalHandle dib = nullptr;
    if (!ReadGifStreamDib(bytes.constData(), bytes.size(), 24, request.dither, dib, request.sender,
                          request.progress))
        return false;
    return intoBitmap(dib, request.monochrome ? 1 : 24, request, bitmap);
}

bool decodeDrawing(const DecodeRequest& request, TBitmap& bitmap)
{
    GlobalHandle dib = nullptr;
    QList<QRgb> palette;
    if (!ReadDxfFileDdb(request.file, 0, 0, dib, palette, request.sender, request.progress))
        return false;
    if (!intoBitmap(dib, 0, request, bitmap))
        return false;
    if (!palette.isEmpty())
        bitmap.setPalette(palette);
    return true;
}

template <typename Reader>
bool viaBitmap(Reader&& read, TBitmap& bitmap)
{
    TBitmap decoded;
    if (!read(decoded) || decoded.empty())
        return false;
    bitmap = decoded;
    return true;
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

bool MonochromeFile(const QString& type, int bitsPerPixel)
{
    Q_UNUSED(type);
    return bitsPerPixel == 1;
}

bool DecodePicture(const DecodeRequest& r, TBitmap& bitmap)
{
    const int bits = depthFor(r);
    const QString& t = r.type;
    if (t == QLatin1String("BMP") || t == QLatin1String("DIB")) {
        // bitmap files keep their own depth
        return viaBitmap([&](TBitmap& b) { return ReadBmpFileBitmap(r.file, 0, false, b, r.sender, r.progress); },
                         bitmap);
    }
    if (t == QLatin1String("GIF"))
        return decodeGif(r, bitmap);
    if (t == QLatin1String("DXF"))
        return decodeDrawing(r, bitmap);
    if (t == QLatin1String("TIF"))
        return viaBitmap(
            [&](TBitmap& b) { return ReadTiffFileBitmap(r.file, bits, r.dither, r.page, b, r.sender, r.progress); },
            bitmap);
    if (t == QLatin1String("PCD"))
        return viaBitmap(
            [&](TBitmap& b) { return ReadPcdFileBitmap(r.file, bits, r.dither, r.pcdMode, b, r.sender, r.progress); },
            bitmap);
    using FileReader = bool (*)(const QString&, int, bool, TBitmap&, void*, CodecProgress);
    FileReader reader = nullptr;
    if (t == QLatin1String("PNG"))
        reader = ReadPngFileBitmap;
    else if (t == QLatin1String("TGA"))
        reader = ReadTgaFileBitmap;
    else if (t == QLatin1String("PCX"))
        reader = ReadPcxFileBitmap;
    else if (t == QLatin1String("EPS"))
        reader = ReadEpsFileBitmap;
    else if (t == QLatin1String("JPEG"))
        reader = ReadJpgFileBitmap;
    if (!reader)
        return false;
    return viaBitmap([&](TBitmap& b) { return reader(r.file, bits, r.dither, b, r.sender, r.progress); }, bitmap);
}
