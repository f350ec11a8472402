#include "bytereader.h"

#include <cmath>
#include <cstring>

float ByteReader::f32(std::size_t offset) const
{
    const std::uint32_t bits = u32(offset);
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return std::isfinite(value) ? value : 0.0f;
}

ByteReader ByteReader::sub(std::size_t offset, std::size_t count) const
{
    if (!has(offset, count)) {
        overrun_ = true;
        return {};
    }
    return ByteReader(data_ + offset, count);
}
