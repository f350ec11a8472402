#pragma once
// A view of one packed DIB in a global memory block: its sizes, colour
// table and pixels, and the palette made from it.

#include "platform/globalmem.h"

#include <QList>
#include <QtGui/qrgb.h>
#include <cstdint>

class TBitmap;

class ILTDib {
public:
    ILTDib() = default;
    explicit ILTDib(GlobalHandle dib, bool owns = true);
    ~ILTDib();
    ILTDib(const ILTDib&) = delete;
    ILTDib& operator=(const ILTDib&) = delete;

    // Releases the current DIB as Owns() says (an owned DIB is unlocked
    // and freed, its palette dropped), then locks and takes dib.
    void SetDIB(GlobalHandle dib);
    GlobalHandle Handle() const { return handle_; }
    // Gives up the DIB without freeing it.
    GlobalHandle Release();
    bool Owns() const { return owns_; }
    void SetOwns(bool owns) { owns_ = owns; }
    // The locked header; null without a DIB or for a block under 40 bytes.
    std::uint8_t* Header() const;

    // Derived values; all 0 without a DIB.
    int BitCount() const;
    int Width() const;
    int Height() const;
    std::uint32_t Compression() const;
    int ColorCount() const;
    int HeaderSize() const;
    // biSizeImage, filled in from the rows when it is 0.
    std::int64_t PixelSize();
    std::int64_t TotalSize();
    // Null when the pixels would start past the block.
    std::uint8_t* PixelPointer() const;
    int AlignedWidth() const { return (Width() + 3) & ~3; }
    // Whether the header, colour table and pixel rows fit in the block.
    bool IsConsistent() const;

    static int ColorsForBits(int bits);
    static std::int64_t RowSize(std::int64_t width, int bits);

    // The palette made from the colour table on first use.
    QList<QRgb> Palette();
    // Copies the first ColorCount() entries into the colour table and keeps
    // the palette.
    void SetPalette(const QList<QRgb>& palette);

    // A new zero-filled DIB (1 or 2, 4, 8, 16, 24 or 32 bits) taken with
    // SetDIB; false for another bit count or bad sizes. Throws
    // ErrorInvalid("Can't allocate memory") when the memory is refused or
    // the pixels would exceed 1 GiB.
    bool CreateNew(const QList<QRgb>& palette, int width, int bitCount, int height);

    // A new block with the same bytes; null for none or no memory.
    static GlobalHandle CopyHandle(GlobalHandle h);
    static GlobalHandle CopyGlobal(GlobalHandle h) { return CopyHandle(h); }

    // Replaces the DIB by the graphic at the nearest depth this object
    // holds: 1, 4, 8, 24 stay, 2 gives 1, 15, 16 and 32 give 24, any other 4.
    bool FromGraphic(const TBitmap& graphic, int bits);
    static int NearestSupportedBits(int bits);

private:
    std::uint32_t field32(int offset) const;
    std::uint16_t field16(int offset) const;
    void releaseDib();

    GlobalHandle handle_ = nullptr;
    std::uint8_t* header_ = nullptr;
    std::size_t blockSize_ = 0;
    bool owns_ = true;
    QList<QRgb> palette_;
    bool paletteMade_ = false;
};
