#include "rgbimage.h"

#include <algorithm>
#include <cstring>

namespace isp {

RgbImage::RgbImage(int width, int height)
    : m_width(std::max(width, 0))
    , m_height(std::max(height, 0))
    , m_pixels(std::size_t(m_width) * std::size_t(m_height) * 3, 0)
    , m_rows(std::size_t(m_height))
{
    for (int y = 0; y < m_height; ++y)
        m_rows[std::size_t(y)] = m_pixels.data() + std::size_t(y) * stride();
}

RgbImage RgbImage::view(std::vector<std::uint8_t*> rows, int width)
{
    RgbImage img;
    img.m_width = std::max(width, 0);
    img.m_height = static_cast<int>(rows.size());
    img.m_rows = std::move(rows);
    return img;
}

RgbImage::RgbImage(const RgbImage& other)
{
    copyFrom(other);
}

RgbImage& RgbImage::operator=(const RgbImage& other)
{
    if (this != &other)
        copyFrom(other);
    return *this;
}

void RgbImage::copyFrom(const RgbImage& other)
{
    RgbImage fresh(other.m_width, other.m_height);
    for (int y = 0; y < other.m_height; ++y)
        std::memcpy(fresh.row(y), other.row(y), other.stride());
    *this = std::move(fresh);
}

const std::uint8_t* RgbImage::clampedPixel(int x, int y) const
{
    x = std::clamp(x, 0, m_width - 1);
    y = std::clamp(y, 0, m_height - 1);
    return pixel(x, y);
}

}  // namespace isp
