#pragma once
// Scales one bit field of a packed pixel (a BITFIELDS mask) to 0..255.

#include <algorithm>
#include <bit>
#include <cstdint>

namespace dibcore {

class FieldScale
{
public:
    FieldScale() = default;
    explicit FieldScale(std::uint32_t mask)
    {
        if (mask == 0)
            return;
        m_shift = std::countr_zero(mask);
        m_mask = mask;
        m_max = (std::uint64_t(1) << std::min(std::popcount(mask), 32)) - 1;
    }
    bool present() const { return m_max != 0; }
    std::uint8_t operator()(std::uint32_t value) const
    {
        if (m_max == 0)
            return 0;
        const std::uint64_t v = (value & m_mask) >> m_shift;
        return static_cast<std::uint8_t>(std::min<std::uint64_t>(255, (v * 255 + m_max / 2) / m_max));
    }

private:
    std::uint32_t m_mask = 0;
    int m_shift = 0;
    std::uint64_t m_max = 0;
};

}  // namespace dibcore
