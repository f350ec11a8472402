#include "dibview.h"

#include <climits>
#include <cstring>

#include "dibcore.h"

namespace dibcore {

DibView::DibView(const void* data, std::size_t size)
{
    parse(static_cast<const std::uint8_t*>(data), size);
}

DibView::DibView(void* data, std::size_t size)
    : m_writable(static_cast<std::uint8_t*>(data))
{
    parse(static_cast<const std::uint8_t*>(data), size);
}

namespace {

bool depthAllowed(int bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

bool compressionFits(std::uint32_t compression, int bits)
{
    switch (compression) {
    case kBiRgb:
        return true;
    case kBiRle8:
        return bits == 8;
    case kBiRle4:
        return bits == 4;
    case kBiBitfields:
        return bits == 16 || bits == 32;
    default:
        return false;
    }
}

}  // namespace

void DibView::parse(const std::uint8_t* data, std::size_t size)
{
    m_data = data;
    m_size = size;
    if (!data || !readDibHeader(data, size, m_header))
        return;
    const DibHeader& h = m_header;
    if (h.size < kInfoHeaderSize || h.size > size || h.width <= 0 || h.height == 0 || h.height == INT_MIN)
        return;
    if (!depthAllowed(h.bitCount) || !compressionFits(h.compression, h.bitCount))
        return;
    m_topDown = h.height < 0;
    m_height = m_topDown ? -h.height : h.height;
    if (m_topDown && (h.compression == kBiRle8 || h.compression == kBiRle4))
        return;  // RLE pictures are bottom-up by definition

    std::size_t offset = h.size;
    if (h.compression == kBiBitfields) {
        if (h.size == kInfoHeaderSize) {
            if (size - offset < 12)
                return;
            offset += 12;
        } else if (h.size < 52) {
            return;
        }
        for (int i = 0; i < 3; ++i)
            m_masks[i] = le32(data + kInfoHeaderSize + 4 * i);
        if (h.size >= 56)
            m_masks[3] = le32(data + kInfoHeaderSize + 12);
        if (!m_masks[0] && !m_masks[1] && !m_masks[2])
            return;
    } else if (h.bitCount == 16) {
        m_masks[0] = 0x7C00;
        m_masks[1] = 0x03E0;
        m_masks[2] = 0x001F;
    } else if (h.bitCount == 32) {
        m_masks[0] = 0x00FF0000;
        m_masks[1] = 0x0000FF00;
        m_masks[2] = 0x000000FF;
    }

    std::uint32_t tableEntries = h.clrUsed;
    if (tableEntries == 0 && h.bitCount <= 8)
        tableEntries = 1u << h.bitCount;
    if (tableEntries > 256)
        return;
    if (size - offset < std::size_t(tableEntries) * 4)
        return;
    m_colors = reinterpret_cast<const RgbQuad*>(data + offset);
    const int maxColors = h.bitCount <= 8 ? (1 << h.bitCount) : 256;
    m_colorCount = static_cast<int>(tableEntries) < maxColors ? static_cast<int>(tableEntries) : maxColors;
    offset += std::size_t(tableEntries) * 4;
    m_pixelOffset = offset;

    m_stride = dibcore::rowStride(h.width, h.bitCount);
    if (m_stride == 0)
        return;
    const std::size_t rest = size - offset;
    if (isRle()) {
        m_pixelBytes = (h.sizeImage && h.sizeImage < rest) ? h.sizeImage : rest;
    } else {
        if (std::size_t(m_height) > rest / m_stride)
            return;
        m_pixelBytes = m_stride * std::size_t(m_height);
    }
    m_valid = true;
}

RgbQuad* DibView::mutableColorTable() const
{
    if (!m_valid || !m_writable || !m_colors)
        return nullptr;
    return reinterpret_cast<RgbQuad*>(m_writable + (reinterpret_cast<const std::uint8_t*>(m_colors) - m_data));
}

RgbQuad DibView::color(int index) const
{
    if (!m_colors || index < 0 || index >= m_colorCount)
        return RgbQuad{};
    return m_colors[index];
}

const std::uint8_t* DibView::row(int y) const
{
    if (!m_valid || isRle() || y < 0 || y >= m_height)
        return nullptr;
    const int stored = m_topDown ? y : m_height - 1 - y;
    return m_data + m_pixelOffset + std::size_t(stored) * m_stride;
}

std::uint8_t* DibView::mutableRow(int y) const
{
    const std::uint8_t* r = row(y);
    if (!r || !m_writable)
        return nullptr;
    return m_writable + (r - m_data);
}

unsigned DibView::indexAt(const std::uint8_t* row, int x, int bits)
{
    switch (bits) {
    case 1:
        return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    case 4:
        return (x & 1) ? (row[x >> 1] & 0x0Fu) : (row[x >> 1] >> 4);
    case 8:
        return row[x];
    case 16:
        return le16(row + 2 * std::size_t(x));
    case 32:
        return le32(row + 4 * std::size_t(x));
    default:
        return 0;
    }
}

}  // namespace dibcore
