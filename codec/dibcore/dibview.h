#pragma once
// A checked view of one packed DIB in memory: header, colour table and rows.
// The view never reads outside the bytes it was given; a DIB whose header,
// colour table or pixel rows do not fit is not valid().

#include <cstddef>
#include <cstdint>

#include "dibheader.h"
#include "rgbquad.h"

namespace dibcore {

class DibView
{
public:
    DibView() = default;
    // Read-only view.
    DibView(const void* data, std::size_t size);
    // Writable view: mutableRow() and mutableColorTable() are available.
    DibView(void* data, std::size_t size);

    bool valid() const { return m_valid; }
    const DibHeader& header() const { return m_header; }

    int width() const { return m_header.width; }
    // Absolute height; topDown() tells the row order.
    int height() const { return m_height; }
    bool topDown() const { return m_topDown; }
    int bitCount() const { return m_header.bitCount; }
    std::uint32_t compression() const { return m_header.compression; }
    bool isRle() const { return m_header.compression == kBiRle8 || m_header.compression == kBiRle4; }

    // Entries in the colour table (0 for 16/24/32 bits without biClrUsed).
    int colorCount() const { return m_colorCount; }
    const RgbQuad* colorTable() const { return m_colors; }
    RgbQuad* mutableColorTable() const;
    RgbQuad color(int index) const;  // black for an index past the table

    // BITFIELDS masks (red, green, blue, alpha); the 5-5-5 or 8-8-8 defaults
    // for 16 and 32 bits without BITFIELDS.
    std::uint32_t redMask() const { return m_masks[0]; }
    std::uint32_t greenMask() const { return m_masks[1]; }
    std::uint32_t blueMask() const { return m_masks[2]; }

    std::size_t rowStride() const { return m_stride; }
    // Offset of the pixel data from the start of the DIB.
    std::size_t pixelOffset() const { return m_pixelOffset; }
    // Bytes of pixel data present (for RLE DIBs: the compressed stream).
    std::size_t pixelBytes() const { return m_pixelBytes; }
    const std::uint8_t* pixels() const { return m_data + m_pixelOffset; }

    // Row y counted from the top of the picture; null for RLE DIBs or y out
    // of range.
    const std::uint8_t* row(int y) const;
    std::uint8_t* mutableRow(int y) const;

    // Palette index or packed value of pixel x in a row of this depth.
    static unsigned indexAt(const std::uint8_t* row, int x, int bits);

private:
    void parse(const std::uint8_t* data, std::size_t size);

    const std::uint8_t* m_data = nullptr;
    std::uint8_t* m_writable = nullptr;
    std::size_t m_size = 0;
    DibHeader m_header;
    bool m_valid = false;
    bool m_topDown = false;
    int m_height = 0;
    int m_colorCount = 0;
    const RgbQuad* m_colors = nullptr;
    std::uint32_t m_masks[4] = {0, 0, 0, 0};
    std::size_t m_stride = 0;
    std::size_t m_pixelOffset = 0;
    std::size_t m_pixelBytes = 0;
};

}  // namespace dibcore
