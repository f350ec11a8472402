#pragma once
// One colour-table entry of a packed DIB (RGBQUAD: blue, green, red, reserved).

#include <cstdint>

namespace dibcore {

struct RgbQuad {
    std::uint8_t blue = 0;
    std::uint8_t green = 0;
    std::uint8_t red = 0;
    std::uint8_t reserved = 0;

    friend bool operator==(const RgbQuad&, const RgbQuad&) = default;
};

inline RgbQuad rgb(int r, int g, int b)
{
    return RgbQuad{static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(r), 0};
}

}  // namespace dibcore
