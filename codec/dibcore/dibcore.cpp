#include "dibcore.h"

#include <algorithm>
#include <cstring>

#include <sys/mman.h>

namespace dibcore {

namespace {

constexpr std::uintptr_t kHugePage = std::uintptr_t(1) << 21;
constexpr std::size_t kHugeWorthIt = std::size_t(4) << 20;

// A large new block gets huge pages over its untouched interior before its
// pixels are first written: far fewer page faults.
void adviseHugePages(void* data, std::size_t size)
{
    if (!data || size < kHugeWorthIt)
        return;
    const auto start = (reinterpret_cast<std::uintptr_t>(data) + kHugePage - 1) & ~(kHugePage - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + size) & ~(kHugePage - 1);
    if (end > start)
        madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
}

}  // namespace

std::size_t rowStride(std::int64_t width, int bits)
{
    if (width <= 0 || bits <= 0 || bits > 32 || width > (std::int64_t(1) << 31))
        return 0;
    const std::uint64_t bitsPerRow = std::uint64_t(width) * std::uint64_t(bits);
    return static_cast<std::size_t>((bitsPerRow + 31) / 32 * 4);
}

std::size_t imageBytes(std::int64_t width, std::int64_t height, int bits)
{
    const std::size_t stride = rowStride(width, bits);
    if (stride == 0 || height <= 0 || height > (std::int64_t(1) << 31))
        return 0;
    if (std::uint64_t(height) > std::uint64_t(SIZE_MAX) / stride)
        return 0;
    return stride * std::size_t(height);
}

bool fitsLimit(std::int64_t width, std::int64_t height, int bits)
{
    const std::size_t bytes = imageBytes(width, height, bits);
    return bytes != 0 && bytes <= kMaxPixelBytes;
}

int deliveredDepth(int bits)
{
    if (bits <= 0)
        return 0;
    if (bits <= 1)
        return 1;
    if (bits <= 4)
        return 4;
    if (bits <= 8)
        return 8;
    return 24;
}

int describedDepth(int fileBits)
{
    return fileBits > 0 ? deliveredDepth(fileBits) : 24;
}

std::size_t claimLimit(std::uint64_t sourceBytes)
{
    const std::uint64_t cap = kMaxPixelBytes;
    if (sourceBytes >= cap / kClaimRatio)
        return cap;
    return static_cast<std::size_t>(std::min(cap, sourceBytes * kClaimRatio + kClaimAllowance));
}

bool fitsSource(std::int64_t width, std::int64_t height, int bits, std::uint64_t sourceBytes)
{
    const std::size_t bytes = imageBytes(width, height, bits);
    return bytes != 0 && bytes <= claimLimit(sourceBytes);
}

int colorsForBits(int bits)
{
    switch (bits) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

GlobalHandle allocDib(int width, int height, int bits, const Palette& palette)
{
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return nullptr;
    if (!fitsLimit(width, height, bits))
        return nullptr;
    const std::size_t pixels = imageBytes(width, height, bits);
    const int colors = colorsForBits(bits);
    const std::size_t headerBytes = kInfoHeaderSize + std::size_t(colors) * 4;
    GlobalHandle h = globalmem::alloc(headerBytes + pixels);
    if (!h)
        return nullptr;
    auto* p = static_cast<std::uint8_t*>(globalmem::lock(h));
    adviseHugePages(p, headerBytes + pixels);
    DibHeader header;
    header.width = width;
    header.height = height;
    header.bitCount = static_cast<std::uint16_t>(bits);
    header.sizeImage = static_cast<std::uint32_t>(pixels);
    header.clrUsed = static_cast<std::uint32_t>(colors);
    header.clrImportant = static_cast<std::uint32_t>(colors);
    writeDibHeader(p, header);
    auto* table = reinterpret_cast<RgbQuad*>(p + kInfoHeaderSize);
    for (int i = 0; i < colors && i < static_cast<int>(palette.size()); ++i) {
        table[i] = palette[std::size_t(i)];
        table[i].reserved = 0;
    }
    globalmem::unlock(h);
    return h;
}

GlobalHandle copyBlock(GlobalHandle h)
{
    if (!globalmem::isValid(h))
        return nullptr;
    const std::size_t n = globalmem::size(h);
    GlobalHandle copy = globalmem::alloc(n);
    if (!copy)
        return nullptr;
    void* target = globalmem::lock(copy);
    adviseHugePages(target, n);
    std::memcpy(target, globalmem::lock(h), n);
    globalmem::unlock(copy);
    globalmem::unlock(h);
    return copy;
}

DibView lockView(GlobalHandle h)
{
    void* p = globalmem::lock(h);
    if (!p)
        return DibView();
    return DibView(p, globalmem::size(h));
}

void putLe16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void putLe32(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 16);
    p[3] = static_cast<std::uint8_t>(v >> 24);
}

void setIndex(std::uint8_t* row, int x, int bits, unsigned index)
{
    switch (bits) {
    case 1: {
        const auto bit = static_cast<std::uint8_t>(0x80u >> (x & 7));
        if (index & 1u)
            row[x >> 3] |= bit;
        else
            row[x >> 3] &= static_cast<std::uint8_t>(~bit);
        break;
    }
    case 4: {
        std::uint8_t& b = row[x >> 1];
        if (x & 1)
            b = static_cast<std::uint8_t>((b & 0xF0u) | (index & 0x0Fu));
        else
            b = static_cast<std::uint8_t>((b & 0x0Fu) | ((index & 0x0Fu) << 4));
        break;
    }
    case 8:
        row[x] = static_cast<std::uint8_t>(index);
        break;
    default:
        break;
    }
}

}  // namespace dibcore
