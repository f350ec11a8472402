#pragma once
// The 40-byte BITMAPINFOHEADER of a packed DIB, in host order.

#include <cstddef>
#include <cstdint>

namespace dibcore {

enum DibCompression : std::uint32_t {
    kBiRgb = 0,
    kBiRle8 = 1,
    kBiRle4 = 2,
    kBiBitfields = 3,
};

constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::int32_t kDefaultPelsPerMeter = 2953;  // 75 dots per inch

struct DibHeader {
    std::uint32_t size = kInfoHeaderSize;
    std::int32_t width = 0;
    std::int32_t height = 0;  // positive: rows bottom-up
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = kBiRgb;
    std::uint32_t sizeImage = 0;
    std::int32_t xPelsPerMeter = kDefaultPelsPerMeter;
    std::int32_t yPelsPerMeter = kDefaultPelsPerMeter;
    std::uint32_t clrUsed = 0;
    std::uint32_t clrImportant = 0;
};

// Reads the 40 bytes at data; false when fewer than 40 bytes are there.
bool readDibHeader(const void* data, std::size_t available, DibHeader& out);
// Writes the 40 bytes (biSize is written as 40).
void writeDibHeader(void* data, const DibHeader& header);

}  // namespace dibcore
