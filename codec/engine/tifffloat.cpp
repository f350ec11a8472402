#include "tifffloat.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "decodefailure.h"
#include "dibcore/dibcore.h"
#include "tiffpagefacts.h"

namespace tifffloat {

namespace {

struct FloatPage {
    PageFacts facts;
    int channels = 1;  // 1 grey, 3 RGB; further samples (alpha) are left out
    bool tiled = false;
    std::uint32_t chunkWidth = 0;   // a strip is a chunk as wide as the page
    std::uint32_t chunkHeight = 0;
};

FloatPage readPage(TIFF* tif)
{
    FloatPage p;
    p.facts = readFacts(tif);
    const PageFacts& f = p.facts;
    p.channels = f.photometric == PHOTOMETRIC_RGB && f.samples >= 3 ? 3 : 1;
    p.tiled = TIFFIsTiled(tif) != 0;
    if (p.tiled) {
        TIFFGetField(tif, TIFFTAG_TILEWIDTH, &p.chunkWidth);
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &p.chunkHeight);
    } else {
        p.chunkWidth = f.width;
        TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &p.chunkHeight);
        p.chunkHeight = std::min(p.chunkHeight, f.height);
    }
    return p;
}

bool pageSupported(const FloatPage& p)
{
    const PageFacts& f = p.facts;
    const bool grey = f.photometric == PHOTOMETRIC_MINISBLACK || f.photometric == PHOTOMETRIC_MINISWHITE;
    const bool rgb = f.photometric == PHOTOMETRIC_RGB && f.samples >= 3;
    return (f.bitsPerSample == 32 || f.bitsPerSample == 64) && (grey || rgb) && f.samples >= 1 && f.width > 0 &&
           f.height > 0 && p.chunkWidth > 0 && p.chunkHeight > 0;
}

double valueAt(const std::uint8_t* p, int bits)
{
    if (bits == 32) {
        float f = 0;
        std::memcpy(&f, p, 4);
        return f;
    }
    double d = 0;
    std::memcpy(&d, p, 8);
    return d;
}

// Every sample of the kept channels, pixel by pixel, as floats.
class SampleGrid
{
public:
    SampleGrid(TIFF* tif, const FloatPage& page) : m_tif(tif), m_page(page) {}

    bool read(std::vector<float>& out, DecodeRequest& request)
    {
        const std::uint32_t chunks = m_page.tiled ? TIFFNumberOfTiles(m_tif) : TIFFNumberOfStrips(m_tif);
        const std::uint32_t across = (m_page.facts.width + m_page.chunkWidth - 1) / m_page.chunkWidth;
        const std::uint32_t down = (m_page.facts.height + m_page.chunkHeight - 1) / m_page.chunkHeight;
        const std::uint32_t perPlane = across * down;
        const std::uint32_t planes = m_page.facts.planar == PLANARCONFIG_SEPARATE ? m_page.facts.samples : 1;
        if (perPlane == 0 || chunks < perPlane * std::min<std::uint32_t>(planes, std::uint32_t(m_page.channels)))
            return false;
        const tmsize_t chunkBytes = m_page.tiled ? TIFFTileSize(m_tif) : TIFFStripSize(m_tif);
        if (chunkBytes <= 0)
            return false;
        std::vector<std::uint8_t> buffer(static_cast<std::size_t>(chunkBytes));
        const std::uint32_t used = perPlane * std::min<std::uint32_t>(planes, std::uint32_t(m_page.channels));
        for (std::uint32_t chunk = 0; chunk < used; ++chunk) {
            const tmsize_t got = m_page.tiled ? TIFFReadEncodedTile(m_tif, chunk, buffer.data(), chunkBytes)
                                              : TIFFReadEncodedStrip(m_tif, chunk, buffer.data(), chunkBytes);
            if (got <= 0)
                return false;
            const std::uint32_t plane = chunk / perPlane, place = chunk % perPlane;
            store(buffer.data(), std::size_t(got), plane, (place % across) * m_page.chunkWidth,
                  (place / across) * m_page.chunkHeight, out);
            if (!request.progress(static_cast<int>((chunk + 1) * 80ULL / used)))
                return false;
        }
        return true;
    }

private:
    // One strip or tile into out; samples past the bytes read stay 0.
    void store(const std::uint8_t* chunk, std::size_t bytes, std::uint32_t plane, std::uint32_t left,
               std::uint32_t top, std::vector<float>& out) const
    {
        const bool separate = m_page.facts.planar == PLANARCONFIG_SEPARATE;
        const std::size_t step = m_page.facts.bitsPerSample / 8;
        const std::size_t inPixel = separate ? 1 : m_page.facts.samples;
        const std::uint32_t rows = std::min(m_page.chunkHeight, m_page.facts.height - top);
        const std::uint32_t cols = std::min(m_page.chunkWidth, m_page.facts.width - left);
        const int channels = m_page.channels;
        for (std::uint32_t r = 0; r < rows; ++r) {
            for (std::uint32_t x = 0; x < cols; ++x) {
                const std::size_t pixel = (std::size_t(r) * m_page.chunkWidth + x) * inPixel;
                float* o = out.data() + ((std::size_t(top) + r) * m_page.facts.width + left + x) * std::size_t(channels);
                for (int c = 0; c < channels; ++c) {
                    if (separate && std::uint32_t(c) != plane)
                        continue;
                    const std::size_t at = (pixel + (separate ? 0 : std::size_t(c))) * step;
                    if (at + step <= bytes)
                        o[c] = static_cast<float>(valueAt(chunk + at, m_page.facts.bitsPerSample));
                }
            }
        }
    }

    TIFF* m_tif;
    const FloatPage& m_page;
};

struct Range {
    double low = 0;
    double high = 1;
};

// The stated range, else 0..1 when every sample lies there, else the data's.
Range rangeOf(TIFF* tif, const std::vector<float>& samples)
{
    double stated[2] = {0, 0};
    if (TIFFGetField(tif, TIFFTAG_SMINSAMPLEVALUE, &stated[0]) && TIFFGetField(tif, TIFFTAG_SMAXSAMPLEVALUE, &stated[1]) &&
        std::isfinite(stated[0]) && std::isfinite(stated[1]) && stated[1] > stated[0])
        return {stated[0], stated[1]};
    double low = INFINITY, high = -INFINITY;
    for (float v : samples) {
        if (std::isfinite(v)) {
            low = std::min(low, double(v));
            high = std::max(high, double(v));
        }
    }
    if (!(low <= high) || (low >= 0 && high <= 1))
        return {};
    if (high == low)
        return {low - 0.5, low + 0.5};
    return {low, high};
}

std::uint8_t scaled(float v, const Range& r)
{
    if (std::isnan(v))
        return 0;
    const double t = (double(v) - r.low) / (r.high - r.low);
    if (!(t > 0))
        return 0;
    return t >= 1 ? 255 : static_cast<std::uint8_t>(t * 255 + 0.5);
}

}  // namespace

bool isFloatPage(TIFF* tif)
{
    std::uint16_t format = SAMPLEFORMAT_UINT;
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &format);
    return format == SAMPLEFORMAT_IEEEFP;
}

bool supported(TIFF* tif)
{
    return isFloatPage(tif) && pageSupported(readPage(tif));
}

int deliveredBits(TIFF* tif)
{
    return readPage(tif).channels == 3 ? 24 : 8;
}

GlobalHandle decode(TIFF* tif, ByteSpan source, DecodeRequest& request)
{
    const FloatPage page = readPage(tif);
    if (!isFloatPage(tif) || !pageSupported(page))
        return nullptr;
    const std::uint64_t count = std::uint64_t(page.facts.width) * page.facts.height * std::uint64_t(page.channels);
    if (!decodefailure::admitsBuffer(count * sizeof(float), source))
        return nullptr;
    std::vector<float> samples(static_cast<std::size_t>(count), 0.0f);
    if (!SampleGrid(tif, page).read(samples, request))
        return nullptr;
    const Range range = rangeOf(tif, samples);
    const PageFacts& f = page.facts;
    dibcore::DibGuard out(dibcore::allocDib(static_cast<int>(f.width), static_cast<int>(f.height), 24));
    if (!out.get())
        return nullptr;
    dibcore::DibView dib = dibcore::lockView(out.get());
    const bool inverted = page.facts.photometric == PHOTOMETRIC_MINISWHITE;
    const float* in = samples.data();
    for (std::uint32_t y = 0; y < page.facts.height; ++y) {
        std::uint8_t* o = dib.mutableRow(static_cast<int>(y));
        for (std::uint32_t x = 0; x < page.facts.width; ++x, in += page.channels) {
            if (page.channels == 3) {
                o[3 * x + 2] = scaled(in[0], range);
                o[3 * x + 1] = scaled(in[1], range);
                o[3 * x] = scaled(in[2], range);
            } else {
                const std::uint8_t v = scaled(in[0], range);
                o[3 * x] = o[3 * x + 1] = o[3 * x + 2] = inverted ? static_cast<std::uint8_t>(255 - v) : v;
            }
        }
    }
    return out.release();
}

}  // namespace tifffloat
