#include "tiffwriter.h"

#include <algorithm>

#include "dibcore/dibcore.h"
#include "tiffmemory.h"
#include "writerinput.h"

namespace tiffwriter {

namespace {

bool isCcitt(int code)
{
    return code == COMPRESSION_CCITTRLE || code == COMPRESSION_CCITTFAX3 || code == COMPRESSION_CCITTFAX4;
}

bool sameColour(dibcore::RgbQuad a, int r, int g, int b)
{
    return a.red == r && a.green == g && a.blue == b;
}

// True when entry i of the table is the grey i * 255 / (n - 1).
bool isGreyRamp(const dibcore::DibView& dib)
{
    const int n = dibcore::colorsForBits(dib.bitCount());
    for (int i = 0; i < n; ++i) {
        const int level = i * 255 / (n - 1);
        if (!sameColour(dib.color(i), level, level, level))
            return false;
    }
    return true;
}

bool isInverseRamp(const dibcore::DibView& dib)
{
    return dib.bitCount() == 1 && sameColour(dib.color(0), 255, 255, 255) && sameColour(dib.color(1), 0, 0, 0);
}

struct PageLayout {
    std::uint16_t photometric = PHOTOMETRIC_RGB;
    std::uint16_t bitsPerSample = 8;
    std::uint16_t samples = 3;
    bool invert = false;  // stored bits are the DIB's bits inverted
};

PageLayout layoutFor(const dibcore::DibView& dib, int code)
{
    PageLayout l;
    if (dib.bitCount() == 24)
        return l;
    l.bitsPerSample = static_cast<std::uint16_t>(dib.bitCount());
    l.samples = 1;
    if (isCcitt(code)) {
        // fax convention: 0 is white; the caller made the picture black (0) and white (1)
        l.photometric = PHOTOMETRIC_MINISWHITE;
        l.invert = true;
    } else if (isGreyRamp(dib)) {
        l.photometric = PHOTOMETRIC_MINISBLACK;
    } else if (isInverseRamp(dib)) {
        l.photometric = PHOTOMETRIC_MINISWHITE;
    } else {
        l.photometric = PHOTOMETRIC_PALETTE;
    }
    return l;
}

bool setColourMap(TIFF* tif, const dibcore::DibView& dib)
{
    const int n = dibcore::colorsForBits(dib.bitCount());
    const std::size_t count = static_cast<std::size_t>(n);
    std::vector<std::uint16_t> red(count), green(count), blue(count);
    for (int i = 0; i < n; ++i) {
        const dibcore::RgbQuad c = dib.color(i);
        red[std::size_t(i)] = static_cast<std::uint16_t>(c.red * 257);
        green[std::size_t(i)] = static_cast<std::uint16_t>(c.green * 257);
        blue[std::size_t(i)] = static_cast<std::uint16_t>(c.blue * 257);
    }
    return TIFFSetField(tif, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data()) == 1;
}

bool setFields(TIFF* tif, const dibcore::DibView& dib, int code, const PageLayout& l)
{
    bool ok = TIFFSetField(tif, TIFFTAG_SUBFILETYPE, 0) == 1 &&
              TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, std::uint32_t(dib.width())) == 1 &&
              TIFFSetField(tif, TIFFTAG_IMAGELENGTH, std::uint32_t(dib.height())) == 1 &&
              TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, l.bitsPerSample) == 1 &&
              TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, l.samples) == 1 &&
              TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, l.photometric) == 1 &&
              TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) == 1 &&
              TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT) == 1 &&
              TIFFSetField(tif, TIFFTAG_COMPRESSION, std::uint16_t(code)) == 1;
    if (ok && l.photometric == PHOTOMETRIC_PALETTE)
        ok = setColourMap(tif, dib);
    if (ok && (code == COMPRESSION_LZW || code == COMPRESSION_ADOBE_DEFLATE) && l.bitsPerSample == 8 &&
        l.photometric != PHOTOMETRIC_PALETTE)
        ok = TIFFSetField(tif, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL) == 1;
    const int xppm = dib.header().xPelsPerMeter, yppm = dib.header().yPelsPerMeter;
    if (ok && xppm > 0 && yppm > 0)
        ok = TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_CENTIMETER) == 1 &&
             TIFFSetField(tif, TIFFTAG_XRESOLUTION, float(xppm) / 100.0f) == 1 &&
             TIFFSetField(tif, TIFFTAG_YRESOLUTION, float(yppm) / 100.0f) == 1;
    return ok && TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0)) == 1;
}

// Row y (from the top) in TIFF sample order.
void fillLine(const dibcore::DibView& dib, int y, const PageLayout& l, std::vector<std::uint8_t>& line)
{
    const std::uint8_t* row = dib.row(y);
    if (dib.bitCount() == 24) {
        for (int x = 0; x < dib.width(); ++x) {
            line[3 * std::size_t(x)] = row[3 * x + 2];
            line[3 * std::size_t(x) + 1] = row[3 * x + 1];
            line[3 * std::size_t(x) + 2] = row[3 * x];
        }
        return;
    }
    std::copy(row, row + line.size(), line.begin());
    if (l.invert)
        for (std::uint8_t& b : line)
            b = static_cast<std::uint8_t>(~b);
}

}  // namespace

bool knownCompression(int code)
{
    return code == COMPRESSION_NONE || isCcitt(code) || code == COMPRESSION_LZW || code == COMPRESSION_PACKBITS;
}

bool prepare(WriterInput& input, int code)
{
    return input.valid() && (!isCcitt(code) || input.makeBlackAndWhite());
}

bool writePage(TIFF* tif, const dibcore::DibView& dib, int code, DecodeRequest& request)
{
    if (!tif || !dib.valid() || dib.isRle() || !knownCompression(code) || (isCcitt(code) && dib.bitCount() != 1))
        return false;
    const PageLayout l = layoutFor(dib, code);
    if (!setFields(tif, dib, code, l))
        return false;
    std::vector<std::uint8_t> line((std::size_t(dib.width()) * l.bitsPerSample * l.samples + 7) / 8);
    for (int y = 0; y < dib.height(); ++y) {
        fillLine(dib, y, l, line);
        if (TIFFWriteScanline(tif, line.data(), std::uint32_t(y), 0) != 1)
            return false;
        if (!request.progress(static_cast<int>((y + 1) * 80LL / dib.height())))
            return false;
    }
    return TIFFWriteDirectory(tif) == 1;
}

bool encode(const dibcore::DibView& dib, int code, DecodeRequest& request, std::vector<std::uint8_t>& out)
{
    TiffMemory file(out, "w");
    if (!writePage(file.get(), dib, code, request))
        return false;
    file.close();
    return !out.empty();
}

}  // namespace tiffwriter
