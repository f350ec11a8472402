#include "iltdib.h"

#include "dibimage.h"
#include "display.h"
#include "errorinvalid.h"
#include "tbitmap.h"

#include "dibcore/dibcore.h"

#include <cstring>
#include <limits>

namespace {

constexpr int kInfoHeader = 40;
constexpr std::int64_t kMaxPixels = std::int64_t(1) << 30;
constexpr std::int32_t kPelsPerMeter = 2953;
constexpr int kMaxColorCount = 1 << 16;

}  // namespace

ILTDib::ILTDib(GlobalHandle dib, bool owns)
    : owns_(owns)
{
    SetDIB(dib);
}

ILTDib::~ILTDib()
{
    releaseDib();
}

void ILTDib::releaseDib()
{
    if (handle_) {
        if (owns_) {
            while (globalmem::lockCount(handle_) > 0)
                globalmem::unlock(handle_);
            globalmem::free(handle_);
            palette_.clear();
            paletteMade_ = false;
        } else {
            globalmem::unlock(handle_);
        }
    }
    handle_ = nullptr;
    header_ = nullptr;
    blockSize_ = 0;
}

void ILTDib::SetDIB(GlobalHandle dib)
{
    releaseDib();
    if (!globalmem::isValid(dib))
        return;
    handle_ = dib;
    header_ = static_cast<std::uint8_t*>(globalmem::lock(dib));
    blockSize_ = globalmem::size(dib);
    palette_.clear();
    paletteMade_ = false;
}

GlobalHandle ILTDib::Release()
{
    GlobalHandle h = handle_;
    if (h)
        globalmem::unlock(h);
    handle_ = nullptr;
    header_ = nullptr;
    blockSize_ = 0;
    return h;
}

std::uint8_t* ILTDib::Header() const
{
    return blockSize_ >= std::size_t(kInfoHeader) ? header_ : nullptr;
}

std::uint32_t ILTDib::field32(int offset) const
{
    const std::uint8_t* h = Header();
    return h ? dibcore::le32(h + offset) : 0;
}

std::uint16_t ILTDib::field16(int offset) const
{
    const std::uint8_t* h = Header();
    return h ? dibcore::le16(h + offset) : 0;
}

int ILTDib::BitCount() const { return field16(14); }
int ILTDib::Width() const { return std::int32_t(field32(4)); }
int ILTDib::Height() const { return std::int32_t(field32(8)); }
std::uint32_t ILTDib::Compression() const { return field32(16); }

int ILTDib::ColorCount() const
{
    if (!Header())
        return 0;
    const std::uint32_t used = field32(32);
    if (used != 0)
        return used > std::uint32_t(kMaxColorCount) ? kMaxColorCount : int(used);
    const int bits = BitCount();
    if (bits == 16 || bits == 24 || bits == 32 || bits > 16)
        return 0;
    return 1 << bits;
}

int ILTDib::HeaderSize() const
{
    if (!Header())
        return 0;
    // Headers larger than 40 bytes (V4, V5) keep the colour table after them;
    // BITFIELDS masks sit between header and pixels.
    const std::uint32_t infoSize = field32(0);
    const int info = infoSize > std::uint32_t(kInfoHeader) && infoSize <= 1024 ? int(infoSize) : kInfoHeader;
    const int masks = Compression() == dibcore::kBiBitfields && info == kInfoHeader ? 12 : 0;
    return info + masks + 4 * ColorCount();
}

std::int64_t ILTDib::RowSize(std::int64_t width, int bits)
{
    if (width <= 0 || bits <= 0)
        return 0;
    return ((width * bits + 31) / 32) * 4;
}

std::int64_t ILTDib::PixelSize()
{
    std::uint8_t* h = Header();
    if (!h)
        return 0;
    const std::uint32_t stored = field32(20);
    if (stored != 0)
        return stored;
    const std::int64_t rows = std::abs(std::int64_t(Height()));
    const std::int64_t size = rows * RowSize(Width(), BitCount());
    if (size > 0 && size <= std::numeric_limits<std::uint32_t>::max())
        dibcore::putLe32(h + 20, std::uint32_t(size));
    return size;
}

std::int64_t ILTDib::TotalSize()
{
    if (!Header())
        return 0;
    return HeaderSize() + PixelSize();
}

std::uint8_t* ILTDib::PixelPointer() const
{
    std::uint8_t* h = Header();
    if (!h || std::size_t(HeaderSize()) > blockSize_)
        return nullptr;
    return h + HeaderSize();
}

bool ILTDib::IsConsistent() const
{
    if (!Header())
        return false;
    return dibcore::DibView(header_, blockSize_).valid();
}

int ILTDib::ColorsForBits(int bits)
{
    switch (bits) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

QList<QRgb> ILTDib::Palette()
{
    if (!paletteMade_ && Header()) {
        palette_ = PaletteFromColorTable(dibimage::colorTable(header_, blockSize_), ScreenPalette());
        paletteMade_ = true;
    }
    return palette_;
}

void ILTDib::SetPalette(const QList<QRgb>& palette)
{
    std::uint8_t* table = Header() ? header_ + HeaderSize() - 4 * ColorCount() : nullptr;
    const int count = std::min<int>(ColorCount(), int(palette.size()));
    if (table && std::size_t(HeaderSize()) <= blockSize_) {
        for (int i = 0; i < count; ++i) {
            table[4 * i] = std::uint8_t(qBlue(palette[i]));
            table[4 * i + 1] = std::uint8_t(qGreen(palette[i]));
            table[4 * i + 2] = std::uint8_t(qRed(palette[i]));
            table[4 * i + 3] = 0;
        }
    }
    palette_ = palette;
    paletteMade_ = true;
}

bool ILTDib::CreateNew(const QList<QRgb>& palette, int width, int bitCount, int height)
{
    int storedBits = bitCount;
    int colors = 0;
    switch (bitCount) {
    case 1:
    case 2: storedBits = 1; colors = 2; break;
    case 4: colors = 16; break;
    case 8: colors = 256; break;
    case 16:
    case 24:
    case 32: break;
    default: return false;
    }
    if (width <= 0 || height <= 0)
        return false;
    const std::int64_t pixelSize = std::int64_t(height) * RowSize(width, storedBits);
    if (pixelSize > kMaxPixels)
        throw ErrorInvalid(QString::fromLatin1(errortext::kCantAllocate));
    const std::int64_t blockSize = kInfoHeader + 4 * colors + pixelSize;
    GlobalHandle block = globalmem::alloc(std::size_t(blockSize));
    if (!block)
        throw ErrorInvalid(QString::fromLatin1(errortext::kCantAllocate));

    auto* h = static_cast<std::uint8_t*>(globalmem::lock(block));
    dibcore::putLe32(h, kInfoHeader);
    dibcore::putLe32(h + 4, std::uint32_t(width));
    dibcore::putLe32(h + 8, std::uint32_t(height));
    dibcore::putLe16(h + 12, 1);
    dibcore::putLe16(h + 14, std::uint16_t(storedBits));
    dibcore::putLe32(h + 16, dibcore::kBiRgb);
    dibcore::putLe32(h + 20, std::uint32_t(pixelSize));
    dibcore::putLe32(h + 24, kPelsPerMeter);
    dibcore::putLe32(h + 28, kPelsPerMeter);
    dibcore::putLe32(h + 32, std::uint32_t(colors));
    dibcore::putLe32(h + 36, std::uint32_t(colors));
    std::uint8_t* table = h + kInfoHeader;
    for (int i = 0; i < colors && i < palette.size(); ++i) {
        table[4 * i] = std::uint8_t(qBlue(palette[i]));
        table[4 * i + 1] = std::uint8_t(qGreen(palette[i]));
        table[4 * i + 2] = std::uint8_t(qRed(palette[i]));
    }
    globalmem::unlock(block);
    SetDIB(block);
    return true;
}

GlobalHandle ILTDib::CopyHandle(GlobalHandle h)
{
    if (!globalmem::isValid(h))
        return nullptr;
    const std::size_t size = globalmem::size(h);
    GlobalHandle copy = globalmem::alloc(size);
    if (!copy)
        return nullptr;
    const void* from = globalmem::lock(h);
    void* to = globalmem::lock(copy);
    std::memcpy(to, from, size);
    globalmem::unlock(copy);
    globalmem::unlock(h);
    return copy;
}

int ILTDib::NearestSupportedBits(int bits)
{
    switch (bits) {
    case 1:
    case 4:
    case 8:
    case 24: return bits;
    case 2: return 1;
    case 15:
    case 16:
    case 32: return 24;
    default: return 4;
    }
}

bool ILTDib::FromGraphic(const TBitmap& graphic, int bits)
{
    if (graphic.empty())
        return false;
    GlobalHandle dib = dibimage::fromImage(graphic.image(), NearestSupportedBits(bits), {});
    if (!dib)
        return false;
    SetDIB(dib);
    owns_ = true;
    return true;
}
