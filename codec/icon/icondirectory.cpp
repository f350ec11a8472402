#include "icondirectory.h"

#include "codec/metafile/bytereader.h"
#include "dibcore/dibcore.h"

#include <QString>

#include <algorithm>

namespace icondirectory {

namespace {

constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

bool isPng(const ByteReader& data)
{
    if (!data.has(0, 8))
        return false;
    for (int i = 0; i < 8; ++i)
        if (data.u8(std::size_t(i)) != kPngSignature[i])
            return false;
    return true;
}

std::uint32_t be32(const ByteReader& r, std::size_t at)
{
    return (std::uint32_t(r.u8(at)) << 24) | (std::uint32_t(r.u8(at + 1)) << 16) | (std::uint32_t(r.u8(at + 2)) << 8) |
           std::uint32_t(r.u8(at + 3));
}

// The size and depth from the PNG's IHDR chunk.
bool readPngHeader(const ByteReader& data, IconEntry& e)
{
    if (!data.has(8, 25) || be32(data, 12) != 0x49484452)  // "IHDR"
        return false;
    const std::uint32_t w = be32(data, 16), h = be32(data, 20);
    if (w == 0 || h == 0 || w > std::uint32_t(kLargestSide) || h > std::uint32_t(kLargestSide))
        return false;
    e.imageWidth = int(w);
    e.imageHeight = int(h);
    const int depth = data.u8(24), colourType = data.u8(25);
    const int channels = colourType == 2 ? 3 : colourType == 4 ? 2 : colourType == 6 ? 4 : 1;
    e.imageBits = depth * channels;
    return true;
}

// Header, colour table, XOR rows and AND rows must all lie in the entry.
bool readDibHeader(const ByteReader& data, IconEntry& e)
{
    const std::uint32_t headerSize = data.u32(0);
    if (data.overrun() || headerSize < 40 || headerSize > data.size())
        return false;
    const std::int32_t w = data.i32(4), doubled = data.i32(8);
    const int bits = data.u16(14);
    const std::uint32_t compression = data.u32(16), used = data.u32(32);
    if (w <= 0 || w > kLargestSide || doubled <= 0 || doubled > 2 * kLargestSide)
        return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return false;
    if (compression != 0 && !(compression == 3 && (bits == 16 || bits == 32)))
        return false;
    // the height counts the XOR and the AND rows together
    const std::int64_t h = std::max<std::int64_t>(1, doubled / 2);
    const std::int64_t colors = bits <= 8 ? (used != 0 && used < (1u << bits) ? used : (1u << bits)) : 0;
    const std::int64_t masks = compression == 3 && headerSize == 40 ? 12 : 0;
    const std::int64_t xorStride = ((std::int64_t(w) * bits + 31) / 32) * 4;
    const std::int64_t xorEnd = headerSize + masks + 4 * colors + xorStride * h;
    if (xorEnd > std::int64_t(data.size()))
        return false;
    e.imageWidth = w;
    e.imageHeight = int(h);
    e.imageBits = bits;
    e.imageColors = int(colors);
    // a missing AND mask is tolerated: the picture is then opaque
    return true;
}

}  // namespace

QList<IconEntry> read(const QByteArray& file, QString* error)
{
    const ByteReader r(reinterpret_cast<const std::uint8_t*>(file.constData()), std::size_t(file.size()));
    QList<IconEntry> entries;
    auto failed = [&](const char* why) {
        if (error)
            *error = QString::fromLatin1(why);
        return QList<IconEntry>();
    };
    if (!r.has(0, kHeaderSize))
        return failed("not an icon file");
    if (r.u16(0) != 0 || r.u16(2) != 1)
        return failed("not an icon file");
    const int count = std::min<int>(r.u16(4), kMostEntries);
    bool claimsTooMuch = false;
    if (count == 0)
        return failed("icon file without pictures");
    for (int i = 0; i < count; ++i) {
        const std::size_t at = kHeaderSize + std::size_t(i) * kEntrySize;
        if (!r.has(at, kEntrySize))
            break;  // the directory runs past the file: the entries read so far
        IconEntry e;
        e.index = i;
        e.width = r.u8(at) == 0 ? 256 : r.u8(at);
        e.height = r.u8(at + 1) == 0 ? 256 : r.u8(at + 1);
        e.colorsField = r.u16(at + 2);
        e.bitCountField = r.u16(at + 6);
        e.bytes = r.u32(at + 8);
        e.offset = r.u32(at + 12);
        if (e.bytes == 0 || !r.has(e.offset, e.bytes) || e.offset < kHeaderSize)
            continue;
        const ByteReader data = r.sub(e.offset, e.bytes);
        e.png = isPng(data);
        if (!(e.png ? readPngHeader(data, e) : readDibHeader(data, e)))
            continue;
        // decoded as 32-bit ARGB from the entry's bytes alone
        if (!dibcore::fitsSource(e.imageWidth, e.imageHeight, 32, e.bytes)) {
            claimsTooMuch = true;
            continue;
        }
        entries.append(e);
    }
    if (entries.isEmpty())
        return failed(claimsTooMuch ? dibcore::kClaimTooLarge : "no sound picture in the icon file");
    return entries;
}

bool firstEntryFields(const QByteArray& file, int& widthByte, int& heightByte, std::uint16_t& colors)
{
    if (file.size() < kHeaderSize + kEntrySize)
        return false;
    const auto* e = reinterpret_cast<const std::uint8_t*>(file.constData()) + kHeaderSize;
    widthByte = e[0];
    heightByte = e[1];
    colors = std::uint16_t(e[2] | (e[3] << 8));
    return true;
}

}  // namespace icondirectory
