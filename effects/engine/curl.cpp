#include "curl.h"

#include <algorithm>
#include <cmath>

namespace isp {

bool pageCurl(RgbImage& image, const CurlStyle& style, ProgressMeter& meter)
{
    const int w = image.width(), h = image.height();
    const bool right = style.corner == CurlCorner::RightBottom || style.corner == CurlCorner::RightTop;
    const bool bottom = style.corner == CurlCorner::RightBottom || style.corner == CurlCorner::LeftBottom;
    const double cornerX = right ? w : 0.0, cornerY = bottom ? h : 0.0;
    // direction from the corner into the page
    double dx = right ? -double(w) : double(w);
    double dy = bottom ? -double(h) : double(h);
    if (style.horizontal && !style.vertical)
        dy = 0.0;
    else if (style.vertical && !style.horizontal)
        dx = 0.0;
    const double len = std::hypot(dx, dy);
    dx /= len, dy /= len;
    // depth of the far corner along the direction; the fold sits at 35 %
    const double extent = std::abs(w * dx) + std::abs(h * dy);
    const double fold = 0.35 * extent;
    const double shadowWidth = std::max(2.0, 0.04 * extent);
    const double shadowStrength = std::clamp(1.0 - style.shadowTransparency, 0.0, 1.0) * 0.6;
    const std::uint8_t* uncovered = style.uncoveredInForeground ? style.fore : style.back;
    const std::uint8_t* shadow = style.shadowInBackground ? style.back : style.fore;
    static const std::uint8_t black[3] = {0, 0, 0};
    if (!style.shadowInBackground && style.fore[0] == 255 && style.fore[1] == 255 && style.fore[2] == 255)
        shadow = black;  // a white shadow would not show

    const RgbImage src = image;
    for (int y = 0; y < h; ++y) {
        if (!meter.row(y, h))
            return false;
        std::uint8_t* p = image.row(y);
        for (int x = 0; x < w; ++x, p += 3) {
            const double px = x + 0.5, py = y + 0.5;
            const double t = (px - cornerX) * dx + (py - cornerY) * dy;  // depth from the corner
            if (t < fold) {
                // lifted off: what lies under the page
                if (!style.keepPicture)
                    std::copy(uncovered, uncovered + 3, p);
                if (style.shadeUnder && t > fold - shadowWidth)
                    blendTowards(p, black, shadowStrength * (t - (fold - shadowWidth)) / shadowWidth);
                continue;
            }
            if (t > 2.0 * fold + shadowWidth)
                continue;
            // the flap: the lifted part mirrored over the fold line
            const double back = 2.0 * (t - fold);
            const double mx = px - back * dx, my = py - back * dy;
            if (t <= 2.0 * fold && mx >= 0 && my >= 0 && mx < w && my < h) {
                const std::uint8_t* under = src.pixel(static_cast<int>(mx), static_cast<int>(my));
                const double bend = (t - fold) / fold;  // 0 at the fold, 1 at the flap's edge
                std::copy(under, under + 3, p);
                blendTowards(p, style.fore, 0.7);
                blendTowards(p, black, 0.35 * (1.0 - std::sin(bend * M_PI / 2.0)));
                continue;
            }
            // shadow the flap throws on the page
            const double edge = std::max(0.0, t - 2.0 * fold);
            if (edge < shadowWidth)
                blendTowards(p, shadow, shadowStrength * (1.0 - edge / shadowWidth));
        }
    }
    return true;
}

}  // namespace isp
