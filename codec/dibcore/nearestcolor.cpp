#include "nearestcolor.h"

namespace dibcore {

namespace {
constexpr std::size_t kCacheSize = 1 << 16;
}

NearestColor::NearestColor(const Palette& palette)
    : m_palette(palette.empty() ? monoPalette() : palette)
    , m_keys(kCacheSize, 0)
    , m_values(kCacheSize, 0)
{
}

int NearestColor::search(int r, int g, int b) const
{
    return nearestIndex(m_palette, r, g, b);
}

int NearestColor::index(int r, int g, int b)
{
    const std::uint32_t colour = (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | std::uint32_t(b);
    const std::size_t slot = ((colour * 2654435761u) >> 16) & (kCacheSize - 1);
    if (m_keys[slot] == colour + 1)
        return m_values[slot];
    const int found = search(r, g, b);
    m_keys[slot] = colour + 1;
    m_values[slot] = static_cast<std::uint8_t>(found);
    return found;
}

}  // namespace dibcore
