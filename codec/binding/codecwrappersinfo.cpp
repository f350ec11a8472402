// The codec wrappers: the information of picture files and buffers, TIFF
// pages and drawings, and why the last call failed.

#include "codecwrappers.h"

#include "codeccall.h"
#include "tiffnames.h"

#include "dibcore/dibcore.h"
#include "platform/paths.h"

#include <QFile>

#include <algorithm>
#include <cstring>

using namespace codeccall;

namespace {

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

QString textOf(const char* buffer, std::size_t size)
{
    return QString::fromUtf8(buffer, qsizetype(strnlen(buffer, size)));
}

}  // namespace

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
