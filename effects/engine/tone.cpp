#include "tone.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "lockeddib.h"

namespace isp {

namespace {

std::array<std::uint8_t, 256> gammaTable(double gamma)
{
    std::array<std::uint8_t, 256> t{};
    for (int v = 0; v < 256; ++v)
        t[std::size_t(v)] = clampByte(255.0 * std::pow(v / 255.0, 1.0 / gamma));
    return t;
}

ChannelTables sameTables(const std::array<std::uint8_t, 256>& t)
{
    return ChannelTables{t, t, t};
}

}  // namespace

ChannelTables invertTables()
{
    std::array<std::uint8_t, 256> t{};
    for (int v = 0; v < 256; ++v)
        t[std::size_t(v)] = static_cast<std::uint8_t>(255 - v);
    return sameTables(t);
}

ChannelTables brightnessTables(int amount)
{
    std::array<std::uint8_t, 256> t{};
    for (int v = 0; v < 256; ++v)
        t[std::size_t(v)] = clampByte(v + amount);
    return sameTables(t);
}

ChannelTables gammaTables(int gammaTimesTen)
{
    return sameTables(gammaTable(std::max(1, gammaTimesTen) / 10.0));
}

ChannelTables enhanceTables(int brightness, int contrast, int gammaBlue, int gammaGreen, int gammaRed)
{
    contrast = std::clamp(contrast, -255, 255);
    const double factor = (259.0 * (contrast + 255)) / (255.0 * (259 - contrast));
    const int gammas[3] = {gammaBlue, gammaGreen, gammaRed};
    ChannelTables tables{};
    for (int k = 0; k < 3; ++k) {
        const auto g = gammaTable(std::max(1, gammas[k]) / 10.0);
        for (int v = 0; v < 256; ++v) {
            const double c = factor * (g[std::size_t(v)] - 128.0) + 128.0 + brightness;
            tables[std::size_t(k)][std::size_t(v)] = clampByte(c);
        }
    }
    return tables;
}

bool applyTables(RgbImage& image, const ChannelTables& tables, ProgressMeter& meter)
{
    for (int y = 0; y < image.height(); ++y) {
        if (!meter.row(y, image.height()))
            return false;
        std::uint8_t* p = image.row(y);
        for (int x = 0; x < image.width(); ++x, p += 3) {
            p[0] = tables[0][p[0]];
            p[1] = tables[1][p[1]];
            p[2] = tables[2][p[2]];
        }
    }
    return true;
}

bool applyToColorTable(GlobalHandle dib, const ChannelTables& tables)
{
    LockedDib in(dib);
    if (!in.valid() || in.view().bitCount() > 8)
        return false;
    dibcore::RgbQuad* table = in.view().mutableColorTable();
    for (int i = 0; table && i < in.view().colorCount(); ++i) {
        table[i].blue = tables[0][table[i].blue];
        table[i].green = tables[1][table[i].green];
        table[i].red = tables[2][table[i].red];
    }
    return true;
}

bool autoContrast(RgbImage& image, ProgressMeter& meter)
{
    std::vector<std::int64_t> histogram(256, 0);
    for (int y = 0; y < image.height(); ++y) {
        const std::uint8_t* p = image.row(y);
        for (std::size_t j = 0; j < image.stride(); ++j)
            ++histogram[p[j]];
    }
    const std::int64_t clip = std::int64_t(image.byteCount()) / 200;
    int low = 0;
    for (std::int64_t seen = 0; low < 255 && seen + histogram[std::size_t(low)] <= clip; ++low)
        seen += histogram[std::size_t(low)];
    int high = 255;
    for (std::int64_t seen = 0; high > 0 && seen + histogram[std::size_t(high)] <= clip; --high)
        seen += histogram[std::size_t(high)];
    if (high <= low)
        return true;
    std::array<std::uint8_t, 256> t{};
    for (int v = 0; v < 256; ++v)
        t[std::size_t(v)] = clampByte((v - low) * 255.0 / (high - low));
    return applyTables(image, sameTables(t), meter);
}

bool grayArea(RgbImage& image, ProgressMeter& meter)
{
    for (int y = 0; y < image.height(); ++y) {
        if (!meter.row(y, image.height()))
            return false;
        std::uint8_t* p = image.row(y);
        for (int x = 0; x < image.width(); ++x, p += 3)
            p[0] = p[1] = p[2] = static_cast<std::uint8_t>(luminance(p[0], p[1], p[2]));
    }
    return true;
}

bool threshold(RgbImage& image, int level, bool antiAlias, ProgressMeter& meter)
{
    const int w = image.width();
    const int h = image.height();
    std::vector<std::uint8_t> lum(std::size_t(w) * std::size_t(h));
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* p = image.row(y);
        for (int x = 0; x < w; ++x, p += 3)
            lum[std::size_t(y) * w + x] = static_cast<std::uint8_t>(luminance(p[0], p[1], p[2]));
    }
    const auto at = [&](int x, int y) {
        return int(lum[std::size_t(std::clamp(y, 0, h - 1)) * w + std::clamp(x, 0, w - 1)]);
    };
    for (int y = 0; y < h; ++y) {
        if (!meter.row(y, h))
            return false;
        std::uint8_t* p = image.row(y);
        for (int x = 0; x < w; ++x, p += 3) {
            int v;
            if (!antiAlias) {
                v = at(x, y) >= level ? 255 : 0;
            } else {
                // four samples a quarter pixel off the centre, bilinear
                const int c = at(x, y) * 9;
                int count = 0;
                for (int sy = -1; sy <= 1; sy += 2)
                    for (int sx = -1; sx <= 1; sx += 2) {
                        const int s = c + 3 * at(x + sx, y) + 3 * at(x, y + sy) + at(x + sx, y + sy);
                        count += s >= level * 16 ? 1 : 0;
                    }
                v = count * 255 / 4;
            }
            p[0] = p[1] = p[2] = static_cast<std::uint8_t>(v);
        }
    }
    return true;
}

namespace {

struct Hsl {
    double h, s, l;  // degrees, 0..1, 0..1
};

Hsl toHsl(int b, int g, int r)
{
    const double R = r / 255.0, G = g / 255.0, B = b / 255.0;
    const double mx = std::max({R, G, B});
    const double mn = std::min({R, G, B});
    Hsl out{0.0, 0.0, (mx + mn) / 2.0};
    const double d = mx - mn;
    if (d <= 0.0)
        return out;
    out.s = out.l > 0.5 ? d / (2.0 - mx - mn) : d / (mx + mn);
    if (mx == R)
        out.h = 60.0 * std::fmod((G - B) / d + 6.0, 6.0);
    else if (mx == G)
        out.h = 60.0 * ((B - R) / d + 2.0);
    else
        out.h = 60.0 * ((R - G) / d + 4.0);
    return out;
}

double hueChannel(double p, double q, double t)
{
    if (t < 0)
        t += 1;
    if (t > 1)
        t -= 1;
    if (t < 1.0 / 6)
        return p + (q - p) * 6 * t;
    if (t < 0.5)
        return q;
    if (t < 2.0 / 3)
        return p + (q - p) * (2.0 / 3 - t) * 6;
    return p;
}

void fromHsl(const Hsl& c, std::uint8_t* bgr)
{
    if (c.s <= 0.0) {
        bgr[0] = bgr[1] = bgr[2] = clampByte(c.l * 255.0);
        return;
    }
    const double q = c.l < 0.5 ? c.l * (1 + c.s) : c.l + c.s - c.l * c.s;
    const double p = 2 * c.l - q;
    const double h = c.h / 360.0;
    bgr[2] = clampByte(255.0 * hueChannel(p, q, h + 1.0 / 3));
    bgr[1] = clampByte(255.0 * hueChannel(p, q, h));
    bgr[0] = clampByte(255.0 * hueChannel(p, q, h - 1.0 / 3));
}

// How much a hue belongs to the selection: 1 within 15 degrees of a chosen
// colour, falling to 0 at 45 degrees.
double selectionWeight(const HueSelection& sel, const Hsl& c)
{
    if (sel.all())
        return 1.0;
    if (c.s <= 0.0)
        return 0.0;
    const std::pair<bool, double> centres[6] = {{sel.red, 0},    {sel.yellow, 60},   {sel.green, 120},
                                                {sel.cyan, 180}, {sel.blue, 240},    {sel.magenta, 300}};
    double best = 0.0;
    for (const auto& [chosen, centre] : centres) {
        if (!chosen)
            continue;
        double d = std::abs(c.h - centre);
        d = std::min(d, 360.0 - d);
        best = std::max(best, std::clamp((45.0 - d) / 30.0, 0.0, 1.0));
    }
    return best;
}

}  // namespace

bool hueSaturation(RgbImage& image, const HueSelection& selection, int hueShift, int saturation, int lightness,
                   ProgressMeter& meter)
{
    if (hueShift == 0 && saturation == 0 && lightness == 0)
        return true;
    const double satFactor = saturation / 100.0;
    const double light = std::clamp(lightness, -100, 100) / 100.0;
    for (int y = 0; y < image.height(); ++y) {
        if (!meter.row(y, image.height()))
            return false;
        std::uint8_t* p = image.row(y);
        for (int x = 0; x < image.width(); ++x, p += 3) {
            Hsl c = toHsl(p[0], p[1], p[2]);
            const double w = selectionWeight(selection, c);
            if (w <= 0.0)
                continue;
            c.h = std::fmod(c.h + hueShift * w + 3600.0, 360.0);
            c.s = std::clamp(c.s * (1.0 + satFactor * w), 0.0, 1.0);
            c.l = light >= 0 ? c.l + (1.0 - c.l) * light * w : c.l + c.l * light * w;
            fromHsl(c, p);
        }
    }
    return true;
}

}  // namespace isp
