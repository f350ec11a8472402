#pragma once
// Transparent pixels are shown over white.

#include <cstdint>

namespace alpha {

// Straight (unassociated) alpha.
inline std::uint8_t overWhite(int colour, int a)
{
    return static_cast<std::uint8_t>((colour * a + 255 * (255 - a) + 127) / 255);
}

// Premultiplied (associated) alpha.
inline std::uint8_t premultipliedOverWhite(int colour, int a)
{
    const int v = colour + 255 - a;
    return static_cast<std::uint8_t>(v > 255 ? 255 : (v < 0 ? 0 : v));
}

}  // namespace alpha
