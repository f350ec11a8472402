#include "rgbimage.h"

#include <algorithm>

namespace isp {

RgbImage::RgbImage(int width, int height)
    : m_width(std::max(width, 0))
    , m_height(std::max(height, 0))
    , m_pixels(std::size_t(m_width) * std::size_t(m_height) * 3, 0)
{
}

const std::uint8_t* RgbImage::clampedPixel(int x, int y) const
{
    x = std::clamp(x, 0, m_width - 1);
    y = std::clamp(y, 0, m_height - 1);
    return pixel(x, y);
}

}  // namespace isp
