#pragma once
// A working picture of the effects: blue, green, red bytes per pixel, rows
// top-down and tightly packed.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace isp {

class RgbImage
{
public:
    RgbImage() = default;
    // A black picture; throws std::bad_alloc when the memory is not there.
    RgbImage(int width, int height);

    int width() const { return m_width; }
    int height() const { return m_height; }
    bool empty() const { return m_width <= 0 || m_height <= 0; }
    std::size_t stride() const { return std::size_t(m_width) * 3; }

    std::uint8_t* row(int y) { return m_pixels.data() + std::size_t(y) * stride(); }
    const std::uint8_t* row(int y) const { return m_pixels.data() + std::size_t(y) * stride(); }
    std::uint8_t* pixel(int x, int y) { return row(y) + std::size_t(x) * 3; }
    const std::uint8_t* pixel(int x, int y) const { return row(y) + std::size_t(x) * 3; }
    // The pixel at (x, y) with both coordinates clamped into the picture.
    const std::uint8_t* clampedPixel(int x, int y) const;

    std::uint8_t* data() { return m_pixels.data(); }
    const std::uint8_t* data() const { return m_pixels.data(); }
    std::size_t byteCount() const { return m_pixels.size(); }

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<std::uint8_t> m_pixels;
};

// Rec. 601 luminance of 8-bit blue, green, red.
inline int luminance(int b, int g, int r)
{
    return (r * 19595 + g * 38470 + b * 7471 + 32768) >> 16;
}

inline std::uint8_t clampByte(int v)
{
    return static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

inline std::uint8_t clampByte(double v)
{
    return static_cast<std::uint8_t>(v <= 0.0 ? 0 : (v >= 255.0 ? 255 : int(v + 0.5)));
}

}  // namespace isp
