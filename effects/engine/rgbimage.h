#pragma once
// A working picture of the effects: blue, green, red bytes per pixel, rows
// top-down. It owns its pixels, or views the rows of a 24-bit DIB; a copy
// always owns its pixels.

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
    // A view of rows that belong to someone else (3 bytes per pixel).
    static RgbImage view(std::vector<std::uint8_t*> rows, int width);

    RgbImage(const RgbImage& other);
    RgbImage& operator=(const RgbImage& other);
    RgbImage(RgbImage&&) noexcept = default;
    RgbImage& operator=(RgbImage&&) noexcept = default;

    int width() const { return m_width; }
    int height() const { return m_height; }
    bool empty() const { return m_width <= 0 || m_height <= 0; }
    // Bytes of pixels in a row.
    std::size_t stride() const { return std::size_t(m_width) * 3; }
    std::size_t byteCount() const { return stride() * std::size_t(m_height); }

    std::uint8_t* row(int y) { return m_rows[std::size_t(y)]; }
    const std::uint8_t* row(int y) const { return m_rows[std::size_t(y)]; }
    std::uint8_t* pixel(int x, int y) { return row(y) + std::size_t(x) * 3; }
    const std::uint8_t* pixel(int x, int y) const { return row(y) + std::size_t(x) * 3; }
    // The pixel at (x, y) with both coordinates clamped into the picture.
    const std::uint8_t* clampedPixel(int x, int y) const;

private:
    void copyFrom(const RgbImage& other);

    int m_width = 0;
    int m_height = 0;
    std::vector<std::uint8_t> m_pixels;
    std::vector<std::uint8_t*> m_rows;
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

// Moves the pixel (blue, green, red) the fraction t of the way to colour.
inline void blendTowards(std::uint8_t* p, const std::uint8_t* colour, double t)
{
    for (int k = 0; k < 3; ++k)
        p[k] = clampByte(p[k] + (colour[k] - p[k]) * t);
}

}  // namespace isp
