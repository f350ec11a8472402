#include "tiffcodec.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <tiffio.h>

#include "alpha.h"
#include "decodefailure.h"
#include "tifffloat.h"
#include "tiffpagefacts.h"
#include "tiffmemory.h"
#include "dibcore/dibcore.h"

namespace tiffcodec {

namespace {

constexpr int kMaxPages = 65535;

int pageCount(TIFF* tif)
{
    const tdir_t n = TIFFNumberOfDirectories(tif);
    return n > kMaxPages ? kMaxPages : static_cast<int>(n);
}

bool selectPage(TIFF* tif, int page)
{
    if (page < 0 || page >= pageCount(tif))
        return false;
    return TIFFSetDirectory(tif, static_cast<tdir_t>(page)) == 1;
}

// The depth a page keeps when the caller asks for its own depth.
int naturalBits(const PageFacts& f)
{
    const bool indexed = f.photometric == PHOTOMETRIC_PALETTE || f.photometric == PHOTOMETRIC_MINISBLACK ||
                         f.photometric == PHOTOMETRIC_MINISWHITE;
    if (!indexed || f.samples > 2)
        return 24;
    if (f.bitsPerSample == 1)
        return 1;
    if (f.bitsPerSample <= 4)
        return 4;
    return 8;
}

// The largest strip or tile buffer libtiff fills for the page.
std::uint64_t largestChunkBytes(TIFF* tif)
{
    return TIFFIsTiled(tif) ? TIFFTileSize64(tif) : TIFFStripSize64(tif);
}

// Rows decoded per call: whole strips or tile rows, at least 64 rows.
std::uint32_t bandHeight(TIFF* tif, const PageFacts& f)
{
    if (f.orientation != ORIENTATION_TOPLEFT)
        return f.height;
    std::uint32_t unit = 0;
    if (TIFFIsTiled(tif))
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &unit);
    else
        TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &unit);
    if (unit == 0 || unit >= f.height)
        return f.height;
    const std::uint32_t band = (64 + unit - 1) / unit * unit;
    return std::min(band, f.height);
}

// TIFFRGBAImage gives premultiplied RGBA; lay it over white into BGR rows.
void storeBand(const std::uint32_t* raster, std::uint32_t width, std::uint32_t rows, bool hasAlpha,
               const dibcore::DibView& dib, std::uint32_t top)
{
    for (std::uint32_t r = 0; r < rows; ++r) {
        std::uint8_t* out = dib.mutableRow(static_cast<int>(top + r));
        const std::uint32_t* in = raster + std::size_t(r) * width;
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint32_t px = in[x];
            const int red = static_cast<int>(TIFFGetR(px));
            const int green = static_cast<int>(TIFFGetG(px));
            const int blue = static_cast<int>(TIFFGetB(px));
            const int a = hasAlpha ? static_cast<int>(TIFFGetA(px)) : 255;
            out[3 * x] = alpha::premultipliedOverWhite(blue, a);
            out[3 * x + 1] = alpha::premultipliedOverWhite(green, a);
            out[3 * x + 2] = alpha::premultipliedOverWhite(red, a);
        }
    }
}

class RgbaImage
{
public:
    RgbaImage(TIFF* tif)
    {
        char message[1024] = {};
        if (TIFFRGBAImageOK(tif, message) && TIFFRGBAImageBegin(&m_img, tif, 1, message))
            m_begun = true;
    }
    ~RgbaImage()
    {
        if (m_begun)
            TIFFRGBAImageEnd(&m_img);
    }
    RgbaImage(const RgbaImage&) = delete;
    RgbaImage& operator=(const RgbaImage&) = delete;
    bool ok() const { return m_begun; }
    TIFFRGBAImage& img() { return m_img; }

private:
    TIFFRGBAImage m_img{};
    bool m_begun = false;
};

GlobalHandle decodeRgb(TIFF* tif, const PageFacts& f, DecodeRequest& request)
{
    RgbaImage rgba(tif);
    if (!rgba.ok())
        return nullptr;
    TIFFRGBAImage& img = rgba.img();
    img.req_orientation = ORIENTATION_TOPLEFT;
    const bool hasAlpha = img.alpha != 0;
    const std::uint32_t band = bandHeight(tif, f);
    if (!dibcore::fitsLimit(f.width, band, 32))
        return nullptr;
    dibcore::DibGuard out(dibcore::allocDib(static_cast<int>(f.width), static_cast<int>(f.height), 24));
    if (!out.get())
        return nullptr;
    dibcore::DibView dib = dibcore::lockView(out.get());
    auto* raster = static_cast<std::uint32_t*>(std::malloc(std::size_t(f.width) * band * 4));
    if (!raster)
        return nullptr;
    bool ok = true;
    for (std::uint32_t top = 0; ok && top < f.height; top += band) {
        const std::uint32_t rows = std::min(band, f.height - top);
        img.row_offset = static_cast<int>(top);
        img.col_offset = 0;
        ok = TIFFRGBAImageGet(&img, raster, f.width, rows) == 1;
        if (ok)
            storeBand(raster, f.width, rows, hasAlpha, dib, top);
        ok = ok && request.progress(static_cast<int>((top + rows) * 90ULL / f.height));
    }
    std::free(raster);
    if (!ok)
        return nullptr;
    return out.release();
}

// Pages that TIFFRGBAImage does not read: grey or RGB strips with sample
// sizes other than 1, 2, 4, 8 and 16 bits or signed integers (shifted by half
// their range). Floating point is tifffloat's.
bool needsPlainSamples(const PageFacts& f)
{
    const bool usual = f.bitsPerSample == 1 || f.bitsPerSample == 2 || f.bitsPerSample == 4 ||
                       f.bitsPerSample == 8 || f.bitsPerSample == 16;
    return !usual || f.sampleFormat != SAMPLEFORMAT_UINT;
}

bool plainSamplesSupported(TIFF* tif, const PageFacts& f)
{
    const bool grey = f.photometric == PHOTOMETRIC_MINISBLACK || f.photometric == PHOTOMETRIC_MINISWHITE;
    const bool colour = f.photometric == PHOTOMETRIC_RGB && f.samples >= 3;
    if ((!grey && !colour) || TIFFIsTiled(tif) || f.planar != PLANARCONFIG_CONTIG || f.bitsPerSample == 0 ||
        f.bitsPerSample > 32)
        return false;
    if (f.sampleFormat == SAMPLEFORMAT_INT)
        return f.bitsPerSample == 8 || f.bitsPerSample == 16 || f.bitsPerSample == 32;
    return f.sampleFormat == SAMPLEFORMAT_UINT;
}

// One sample scaled to 0..255.
std::uint8_t sampleAt(const std::uint8_t* row, std::size_t index, const PageFacts& f)
{
    const int bits = f.bitsPerSample;
    std::uint64_t v = 0;
    if (bits == 8) {
        v = row[index];
    } else if (bits == 16) {
        std::uint16_t w = 0;
        std::memcpy(&w, row + 2 * index, 2);
        v = w;
    } else if (bits == 32) {
        std::uint32_t w = 0;
        std::memcpy(&w, row + 4 * index, 4);
        v = w;
    } else {
        const std::uint64_t first = index * std::uint64_t(bits);
        for (int i = 0; i < bits; ++i) {
            const std::uint64_t bit = first + std::uint64_t(i);
            v = (v << 1) | ((row[bit >> 3] >> (7 - (bit & 7))) & 1u);
        }
    }
    const std::uint64_t max = (std::uint64_t(1) << bits) - 1;
    if (f.sampleFormat == SAMPLEFORMAT_INT)
        v = (v + (std::uint64_t(1) << (bits - 1))) & max;  // two's complement to offset binary
    return static_cast<std::uint8_t>((v * 255 + max / 2) / max);
}

GlobalHandle decodePlainSamples(TIFF* tif, const PageFacts& f, DecodeRequest& request)
{
    if (!plainSamplesSupported(tif, f))
        return nullptr;
    const tmsize_t lineBytes = TIFFScanlineSize(tif);
    const std::uint64_t needed = (std::uint64_t(f.width) * f.samples * f.bitsPerSample + 7) / 8;
    if (lineBytes <= 0 || std::uint64_t(lineBytes) < needed)
        return nullptr;
    dibcore::DibGuard out(dibcore::allocDib(static_cast<int>(f.width), static_cast<int>(f.height), 24));
    if (!out.get())
        return nullptr;
    dibcore::DibView dib = dibcore::lockView(out.get());
    std::vector<std::uint8_t> line(static_cast<std::size_t>(lineBytes));
    const bool grey = f.photometric != PHOTOMETRIC_RGB;
    for (std::uint32_t y = 0; y < f.height; ++y) {
        if (TIFFReadScanline(tif, line.data(), y, 0) != 1)
            return nullptr;
        std::uint8_t* o = dib.mutableRow(static_cast<int>(y));
        for (std::uint32_t x = 0; x < f.width; ++x) {
            const std::size_t first = std::size_t(x) * f.samples;
            if (grey) {
                std::uint8_t v = sampleAt(line.data(), first, f);
                if (f.photometric == PHOTOMETRIC_MINISWHITE)
                    v = static_cast<std::uint8_t>(255 - v);
                o[3 * x] = o[3 * x + 1] = o[3 * x + 2] = v;
            } else {
                o[3 * x + 2] = sampleAt(line.data(), first, f);
                o[3 * x + 1] = sampleAt(line.data(), first + 1, f);
                o[3 * x] = sampleAt(line.data(), first + 2, f);
            }
        }
        if ((y & 63) == 0 && !request.progress(static_cast<int>(y * 90ULL / f.height)))
            return nullptr;
    }
    return out.release();
}

}  // namespace

GlobalHandle decode(ByteSpan bytes, int page, DecodeRequest& request)
{
    TiffMemory file(bytes);
    TIFF* tif = file.get();
    if (!tif || !selectPage(tif, page))
        return nullptr;
    const PageFacts facts = readFacts(tif);
    if (!dibcore::fitsLimit(facts.width, facts.height, 24) ||
        !decodefailure::admits(facts.width, facts.height, naturalBits(facts), bytes) ||
        !decodefailure::admitsBuffer(largestChunkBytes(tif), bytes))
        return nullptr;
    dibcore::DibGuard rgb(tifffloat::isFloatPage(tif) ? tifffloat::decode(tif, bytes, request)
                          : needsPlainSamples(facts) ? decodePlainSamples(tif, facts, request)
                                                     : decodeRgb(tif, facts, request));
    if (!rgb.get())
        return nullptr;
    const int bits = naturalBits(facts);
    if (bits == 24)
        return rgb.release();
    dibcore::DibView view = dibcore::lockView(rgb.get());
    return dibcore::convertDepth(view, bits, dibcore::Dither::None);
}

bool info(ByteSpan bytes, int page, PictureInfo& out)
{
    TiffMemory file(bytes);
    TIFF* tif = file.get();
    if (!tif)
        return false;
    const int pages = pageCount(tif);
    if (!selectPage(tif, page))
        return false;
    const PageFacts f = readFacts(tif);
    const bool floating = tifffloat::isFloatPage(tif);
    if (floating && !tifffloat::supported(tif)) {
        decodefailure::record("the picture's floating-point samples are not 32 or 64 bits of grey or RGB");
        return false;
    }
    // a strip or tile larger than the data can fill is damage, as in decode
    if (!decodefailure::admitsBuffer(largestChunkBytes(tif), bytes))
        return false;
    out.type = "TIFF";
    out.width = static_cast<int>(f.width);
    out.height = static_cast<int>(f.height);
    // floating-point samples are shown at 8 bits each
    out.bits = floating ? tifffloat::deliveredBits(tif) : f.bitsPerSample * f.samples;
    out.planes = 1;
    out.pages = pages;
    out.tiffCompression = f.compression;
    out.compression = compressionName(f.compression);
    out.colours = 0;
    if (f.photometric == PHOTOMETRIC_PALETTE && f.bitsPerSample <= 8)
        out.colours = 1 << f.bitsPerSample;
    return true;
}

std::string compressionName(int code)
{
    switch (code) {
    case 1:
        return "NONE";
    case 2:
        return "CCITT3";
    case 3:
        return "FAXCCITT3";
    case 4:
        return "FAXCCITT4";
    case 5:
        return "LZW";
    case 32773:
    case -32763:
    case 32763:
        return "PACKBITS";
    default:
        return "UNKNOWN";
    }
}

}  // namespace tiffcodec
