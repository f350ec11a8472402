#include "bmpcodec.h"

#include <climits>
#include <cstring>

#include "alpha.h"
#include "decodefailure.h"
#include "dibcore/dibcore.h"
#include "dibcore/fieldscale.h"
#include "jpegcodec.h"
#include "pngcodec.h"

namespace bmpcodec {

namespace {

using dibcore::le16;
using dibcore::le32;

constexpr std::size_t kFileHeader = 14;
constexpr std::uint32_t kBiJpeg = 4;
constexpr std::uint32_t kBiPng = 5;
constexpr std::uint32_t kBiAlphaBitfields = 6;

struct BmpLayout {
    std::uint32_t headerSize = 0;
    bool core = false;  // OS/2 BITMAPCOREHEADER: 16-bit sizes, 3-byte colours
    bool os2v2 = false;
    int width = 0;
    int height = 0;  // absolute
    bool topDown = false;
    int planes = 1;
    int bits = 0;
    std::uint32_t compression = dibcore::kBiRgb;
    std::uint32_t clrUsed = 0;
    std::uint32_t masks[4] = {0, 0, 0, 0};
    dibcore::Palette palette;
    std::size_t pixelOffset = 0;
};

bool validVersion(std::uint32_t size)
{
    return size == 12 || (size >= 16 && size <= 64) || size == 108 || size == 124;
}

bool readMasks(ByteSpan b, BmpLayout& l, std::size_t& offset)
{
    const bool bitfields = l.compression == dibcore::kBiBitfields || l.compression == kBiAlphaBitfields;
    if (bitfields && l.headerSize < 52) {
        const std::size_t count = l.compression == kBiAlphaBitfields ? 4 : 3;
        if (!b.has(offset, count * 4))
            return false;
        for (std::size_t i = 0; i < count; ++i)
            l.masks[i] = le32(b.data + offset + 4 * i);
        offset += count * 4;
    } else if (l.headerSize >= 52) {
        const std::uint8_t* h = b.data + kFileHeader;
        for (int i = 0; i < 3; ++i)
            l.masks[i] = le32(h + 40 + 4 * i);
        if (l.headerSize >= 56)
            l.masks[3] = le32(h + 52);
    }
    if (!bitfields) {
        l.masks[3] = l.headerSize >= 56 ? l.masks[3] : 0;
        if (l.bits == 16) {
            l.masks[0] = 0x7C00;
            l.masks[1] = 0x03E0;
            l.masks[2] = 0x001F;
        } else if (l.bits == 32) {
            l.masks[0] = 0x00FF0000;
            l.masks[1] = 0x0000FF00;
            l.masks[2] = 0x000000FF;
            // the fourth byte is taken as alpha unless it is zero throughout
            if (l.masks[3] == 0)
                l.masks[3] = 0xFF000000;
        }
    }
    return !bitfields || l.masks[0] || l.masks[1] || l.masks[2];
}

bool compressionFits(const BmpLayout& l)
{
    switch (l.compression) {
    case dibcore::kBiRgb:
        return l.bits == 1 || l.bits == 4 || l.bits == 8 || l.bits == 16 || l.bits == 24 || l.bits == 32;
    case dibcore::kBiRle8:
        return l.bits == 8 && !l.topDown;
    case dibcore::kBiRle4:
        return l.bits == 4 && !l.topDown;
    case dibcore::kBiBitfields:
    case kBiAlphaBitfields:
        return !l.os2v2 && (l.bits == 16 || l.bits == 32);
    case kBiJpeg:
    case kBiPng:
        return !l.os2v2;
    default:
        return false;
    }
}

// Reads the headers, masks and colour table; checks them against the data.
bool readLayout(ByteSpan b, BmpLayout& l)
{
    if (b.size < kFileHeader + 12 || b.data[0] != 'B' || b.data[1] != 'M')
        return false;
    l.headerSize = le32(b.data + kFileHeader);
    if (!validVersion(l.headerSize) || !b.has(kFileHeader, l.headerSize))
        return false;
    const std::uint8_t* h = b.data + kFileHeader;
    std::int64_t height = 0;
    if (l.headerSize == 12) {
        l.core = true;
        l.width = le16(h + 4);
        height = static_cast<std::int16_t>(le16(h + 6));
        l.planes = le16(h + 8);
        l.bits = le16(h + 10);
    } else {
        l.os2v2 = l.headerSize != 40 && l.headerSize != 52 && l.headerSize != 56 && l.headerSize < 108;
        l.width = static_cast<std::int32_t>(le32(h + 4));
        height = static_cast<std::int32_t>(le32(h + 8));
        l.planes = le16(h + 12);
        l.bits = le16(h + 14);
        if (l.headerSize >= 20)
            l.compression = le32(h + 16);
        if (l.headerSize >= 36)
            l.clrUsed = le32(h + 32);
    }
    if (l.width <= 0 || height == 0 || height == INT_MIN)
        return false;
    l.topDown = height < 0;
    l.height = static_cast<int>(height < 0 ? -height : height);
    if (!compressionFits(l))
        return false;

    std::size_t offset = kFileHeader + l.headerSize;
    if (!readMasks(b, l, offset))
        return false;
    std::uint32_t entries = l.clrUsed;
    if (entries == 0 && l.bits <= 8)
        entries = 1u << l.bits;
    if (entries > 256)
        return false;
    const std::size_t entrySize = l.core ? 3 : 4;
    if (l.bits <= 8) {
        if (!b.has(offset, entries * entrySize))
            return false;
        for (std::uint32_t i = 0; i < entries && i < (1u << l.bits); ++i) {
            const std::uint8_t* e = b.data + offset + i * entrySize;
            l.palette.push_back(dibcore::rgb(e[2], e[1], e[0]));
        }
    }
    offset += std::min<std::size_t>(entries * entrySize, b.size - offset);
    const std::uint32_t declared = le32(b.data + 10);
    l.pixelOffset = (declared >= kFileHeader + l.headerSize && declared < b.size) ? declared : offset;
    return l.pixelOffset < b.size;
}

// 1/4/8-bit rows copied into a DIB with the file's colour table.
GlobalHandle decodeIndexed(ByteSpan b, const BmpLayout& l, DecodeRequest& request)
{
    const std::size_t stride = dibcore::rowStride(l.width, l.bits);
    if (!decodefailure::admits(l.width, l.height, l.bits, b) || !b.has(l.pixelOffset, stride * std::size_t(l.height)))
        return nullptr;
    dibcore::DibGuard out(dibcore::allocDib(l.width, l.height, l.bits, l.palette));
    if (!out.get())
        return nullptr;
    dibcore::DibView dib = dibcore::lockView(out.get());
    for (int y = 0; y < l.height; ++y) {
        const int stored = l.topDown ? y : l.height - 1 - y;
        std::memcpy(dib.mutableRow(y), b.data + l.pixelOffset + std::size_t(stored) * stride, stride);
        if ((y & 63) == 0 && !request.progress(y * 90 / l.height))
            return nullptr;
    }
    return out.release();
}

bool usesAlpha(ByteSpan b, const BmpLayout& l, std::size_t stride)
{
    if (l.masks[3] == 0 || (l.bits != 16 && l.bits != 32))
        return false;
    for (int y = 0; y < l.height; ++y) {
        const std::uint8_t* row = b.data + l.pixelOffset + std::size_t(y) * stride;
        for (int x = 0; x < l.width; ++x) {
            const std::uint32_t v = l.bits == 32 ? le32(row + 4 * std::size_t(x)) : le16(row + 2 * std::size_t(x));
            if (v & l.masks[3])
                return true;
        }
    }
    return false;
}

// 16/24/32-bit rows as 24 bits.
GlobalHandle decodeTrueColour(ByteSpan b, const BmpLayout& l, DecodeRequest& request)
{
    const std::size_t stride = dibcore::rowStride(l.width, l.bits);
    if (!decodefailure::admits(l.width, l.height, 24, b) || !b.has(l.pixelOffset, stride * std::size_t(l.height)))
        return nullptr;
    dibcore::DibGuard out(dibcore::allocDib(l.width, l.height, 24));
    if (!out.get())
        return nullptr;
    dibcore::DibView dib = dibcore::lockView(out.get());
    const dibcore::FieldScale red(l.masks[0]), green(l.masks[1]), blue(l.masks[2]), opacity(l.masks[3]);
    const bool withAlpha = usesAlpha(b, l, stride);
    for (int y = 0; y < l.height; ++y) {
        const int stored = l.topDown ? y : l.height - 1 - y;
        const std::uint8_t* in = b.data + l.pixelOffset + std::size_t(stored) * stride;
        std::uint8_t* o = dib.mutableRow(y);
        if (l.bits == 24) {
            std::memcpy(o, in, std::size_t(l.width) * 3);
        } else {
            for (int x = 0; x < l.width; ++x) {
                const std::uint32_t v = l.bits == 32 ? le32(in + 4 * std::size_t(x)) : le16(in + 2 * std::size_t(x));
                const int a = withAlpha ? opacity(v) : 255;
                o[3 * x] = alpha::overWhite(blue(v), a);
                o[3 * x + 1] = alpha::overWhite(green(v), a);
                o[3 * x + 2] = alpha::overWhite(red(v), a);
            }
        }
        if ((y & 63) == 0 && !request.progress(y * 90 / l.height))
            return nullptr;
    }
    return out.release();
}

// The RLE stream wrapped in a packed DIB and expanded by the DIB core.
GlobalHandle decodeRle(ByteSpan b, const BmpLayout& l)
{
    if (!decodefailure::admits(l.width, l.height, l.bits, b))
        return nullptr;
    const std::size_t streamBytes = b.size - l.pixelOffset;
    const std::size_t tableBytes = l.palette.size() * 4;
    dibcore::DibGuard packed(globalmem::alloc(dibcore::kInfoHeaderSize + tableBytes + streamBytes));
    if (!packed.get())
        return nullptr;
    auto* p = static_cast<std::uint8_t*>(globalmem::lock(packed.get()));
    dibcore::DibHeader header;
    header.width = l.width;
    header.height = l.height;
    header.bitCount = static_cast<std::uint16_t>(l.bits);
    header.compression = l.compression;
    header.sizeImage = static_cast<std::uint32_t>(streamBytes);
    header.clrUsed = static_cast<std::uint32_t>(l.palette.size());
    dibcore::writeDibHeader(p, header);
    if (tableBytes)
        std::memcpy(p + dibcore::kInfoHeaderSize, l.palette.data(), tableBytes);
    std::memcpy(p + dibcore::kInfoHeaderSize + tableBytes, b.data + l.pixelOffset, streamBytes);
    const dibcore::DibView view(p, globalmem::size(packed.get()));
    bool complete = false;
    dibcore::DibGuard plain(dibcore::decodeRle(view, &complete));
    // a stream that stops before the last row is a truncated file
    return complete ? plain.release() : nullptr;
}

const char* compressionText(std::uint32_t c)
{
    switch (c) {
    case dibcore::kBiRgb:
        return "RGB";
    case dibcore::kBiRle8:
        return "RLE8";
    case dibcore::kBiRle4:
        return "RLE4";
    case dibcore::kBiBitfields:
        return "BITFIELDS";
    default:
        return "None";
    }
}

}  // namespace

GlobalHandle decode(ByteSpan bytes, DecodeRequest& request)
{
    BmpLayout layout;
    if (!readLayout(bytes, layout))
        return nullptr;
    const ByteSpan rest{bytes.data + layout.pixelOffset, bytes.size - layout.pixelOffset};
    switch (layout.compression) {
    case kBiJpeg:
        return jpegcodec::decode(rest, request, 1);
    case kBiPng:
        return pngcodec::decode(rest, request);
    case dibcore::kBiRle8:
    case dibcore::kBiRle4:
        return decodeRle(bytes, layout);
    default:
        return layout.bits <= 8 ? decodeIndexed(bytes, layout, request) : decodeTrueColour(bytes, layout, request);
    }
}

bool info(ByteSpan bytes, PictureInfo& out)
{
    BmpLayout layout;
    if (!readLayout(bytes, layout))
        return false;
    out.type = "BMP";
    out.compression = compressionText(layout.compression);
    out.width = layout.width;
    out.height = layout.height;
    out.bits = layout.bits;
    out.planes = layout.planes;
    out.colours = static_cast<int>(layout.clrUsed);
    out.pages = 1;
    return true;
}

}  // namespace bmpcodec
