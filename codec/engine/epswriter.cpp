#include "epswriter.h"

#include <algorithm>
#include <cstring>

#include "dibcore/dibcore.h"
#include "epsfilters.h"
#include "epsstructure.h"
#include "tiffwriter.h"

namespace epswriter {

namespace {

using dibcore::DibGuard;
using dibcore::DibView;
using dibcore::RgbQuad;

constexpr int kTiffUncompressed = 1;

struct ImageData {
    std::string colourSpace;
    std::string decode;
    int bitsPerComponent = 8;
    std::vector<std::uint8_t> samples;
};

int luminance(int r, int g, int b)
{
    return (r * 299 + g * 587 + b * 114 + 500) / 1000;
}

// RGB to CMYK as PostScript converts it with full black generation and
// undercolour removal, so that the PostScript conversion back gives the
// same RGB.
void appendCmyk(std::vector<std::uint8_t>& out, int r, int g, int b)
{
    const int max = std::max({r, g, b});
    out.push_back(static_cast<std::uint8_t>(max - r));
    out.push_back(static_cast<std::uint8_t>(max - g));
    out.push_back(static_cast<std::uint8_t>(max - b));
    out.push_back(static_cast<std::uint8_t>(255 - max));
}

RgbQuad pixelAt(const DibView& picture, const std::uint8_t* row, int x)
{
    if (picture.bitCount() == 24)
        return dibcore::rgb(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
    return picture.color(static_cast<int>(DibView::indexAt(row, x, picture.bitCount())));
}

std::string hexOf(const std::vector<std::uint8_t>& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0 && i % 32 == 0)
            out += '\n';
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}

// A palette picture keeps its indices under an /Indexed colour space.
std::string indexedSpace(const DibView& picture, bool cmyk)
{
    const int n = dibcore::colorsForBits(picture.bitCount());
    std::vector<std::uint8_t> lookup;
    for (int i = 0; i < n; ++i) {
        const RgbQuad c = picture.color(i);
        if (cmyk) {
            appendCmyk(lookup, c.red, c.green, c.blue);
        } else {
            lookup.push_back(c.red);
            lookup.push_back(c.green);
            lookup.push_back(c.blue);
        }
    }
    return std::string("[/Indexed ") + (cmyk ? "/DeviceCMYK " : "/DeviceRGB ") + std::to_string(n - 1) + "\n<" +
           hexOf(lookup) + ">]";
}

bool sampleRows(const DibView& picture, const Options& options, DecodeRequest& request, ImageData& image)
{
    const bool cmyk = options.level == 0;
    const int w = picture.width();
    const int h = picture.height();
    const bool indexed = !options.grey && picture.bitCount() <= 8;
    if (options.grey) {
        image.colourSpace = "/DeviceGray";
        image.decode = "[0 1]";
    } else if (indexed) {
        image.colourSpace = indexedSpace(picture, cmyk);
        image.bitsPerComponent = picture.bitCount();
        image.decode = "[0 " + std::to_string((1 << picture.bitCount()) - 1) + "]";
    } else {
        image.colourSpace = cmyk ? "/DeviceCMYK" : "/DeviceRGB";
        image.decode = cmyk ? "[0 1 0 1 0 1 0 1]" : "[0 1 0 1 0 1]";
    }
    const std::size_t packedRow = (std::size_t(w) * std::size_t(picture.bitCount()) + 7) / 8;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* row = picture.row(y);
        if (!row)
            return false;
        if (indexed) {
            image.samples.insert(image.samples.end(), row, row + packedRow);
        } else {
            for (int x = 0; x < w; ++x) {
                const RgbQuad c = pixelAt(picture, row, x);
                if (options.grey) {
                    image.samples.push_back(static_cast<std::uint8_t>(luminance(c.red, c.green, c.blue)));
                } else if (cmyk) {
                    appendCmyk(image.samples, c.red, c.green, c.blue);
                } else {
                    image.samples.push_back(c.red);
                    image.samples.push_back(c.green);
                    image.samples.push_back(c.blue);
                }
            }
        }
        if (y % 64 == 0 && !request.progress(y * 40 / h))
            return false;
    }
    return true;
}

// Printable ASCII only, so the comment stays one line.
std::string commentText(const std::string& text)
{
    std::string out;
    for (char c : text.substr(0, 200))
        out += (c >= 32 && c < 127) ? c : '_';
    return out;
}

std::string postscript(const DibView& picture, const Options& options, const ImageData& image,
                       const std::string& data)
{
    const std::string w = std::to_string(picture.width());
    const std::string h = std::to_string(picture.height());
    std::string ps;
    ps.reserve(data.size() + 2048);
    ps += "%!PS-Adobe-3.0 EPSF-3.0\n";
    ps += "%%BoundingBox: 0 0 " + w + " " + h + "\n";
    ps += "%%HiResBoundingBox: 0 0 " + w + " " + h + "\n";
    ps += "%%Creator: Korvane CRDE2001\n";
    ps += "%%Title: " + commentText(options.title) + "\n";
    ps += "%%LanguageLevel: 2\n";
    ps += "%%DocumentData: Clean7Bit\n";
    ps += "%%Pages: 1\n";
    ps += "%%EndComments\n";
    ps += "%%Page: 1 1\n";
    ps += "save\n";
    ps += "gsave\n";
    ps += w + " " + h + " scale\n";
    // the data follows the procedure; flushfile reads it up to its end
    // whatever the image took
    ps += "{\n/KvData currentfile /ASCII85Decode filter def\n";
    ps += image.colourSpace + " setcolorspace\n";
    ps += "<<\n/ImageType 1\n/Width " + w + "\n/Height " + h + "\n";
    ps += "/BitsPerComponent " + std::to_string(image.bitsPerComponent) + "\n";
    ps += "/Decode " + image.decode + "\n";
    ps += "/ImageMatrix [" + w + " 0 0 -" + h + " 0 " + h + "]\n";
    ps += options.compression == 1 ? "/DataSource KvData /LZWDecode filter\n" : "/DataSource KvData\n";
    ps += ">> image\nKvData flushfile\n} exec\n";
    ps += data;
    ps += "grestore\n";
    if (options.border) {
        // four filled strips on whole points cover exactly the outer pixels
        const std::string right = std::to_string(picture.width() - 1);
        const std::string top = std::to_string(picture.height() - 1);
        ps += "0 setgray 0 0 " + w + " 1 rectfill 0 " + top + " " + w + " 1 rectfill\n";
        ps += "0 0 1 " + h + " rectfill " + right + " 0 1 " + h + " rectfill\n";
    }
    ps += "restore\n";
    ps += "showpage\n";
    ps += "%%Trailer\n";
    ps += "%%EOF\n";
    return ps;
}

void drawFrame(const DibView& rgb)
{
    const int w = rgb.width();
    const int h = rgb.height();
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = rgb.mutableRow(y);
        for (int x = 0; x < w; ++x)
            if (y == 0 || y == h - 1 || x == 0 || x == w - 1)
                row[x * 3] = row[x * 3 + 1] = row[x * 3 + 2] = 0;
    }
}

// Each side a quarter (rounded up), every pixel the mean of its block.
GlobalHandle quarterSize(const DibView& rgb)
{
    const int w = (rgb.width() + 3) / 4;
    const int h = (rgb.height() + 3) / 4;
    GlobalHandle out = dibcore::allocDib(w, h, 24);
    if (!out)
        return nullptr;
    const DibView dst = dibcore::lockView(out);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* target = dst.mutableRow(y);
        for (int x = 0; x < w; ++x) {
            int sum[3] = {0, 0, 0};
            int count = 0;
            for (int sy = y * 4; sy < std::min(y * 4 + 4, rgb.height()); ++sy) {
                const std::uint8_t* src = rgb.row(sy);
                for (int sx = x * 4; sx < std::min(x * 4 + 4, rgb.width()); ++sx, ++count)
                    for (int k = 0; k < 3; ++k)
                        sum[k] += src[sx * 3 + k];
            }
            for (int k = 0; k < 3; ++k)
                target[x * 3 + k] = static_cast<std::uint8_t>((sum[k] + count / 2) / count);
        }
    }
    globalmem::unlock(out);
    return out;
}

GlobalHandle previewPicture(const DibView& picture, const Options& options)
{
    DibGuard rgb(dibcore::toRgb24(picture));
    if (!rgb.get())
        return nullptr;
    const DibView view = dibcore::lockView(rgb.get());
    if (options.border)
        drawFrame(view);
    using dibcore::Dither;
    switch (options.preview) {
    case 1:
        return dibcore::convertDepth(view, 4, Dither::Grey);
    case 2:
        return dibcore::reduceToPalette(view, 1, dibcore::monoPalette(), Dither::FloydSteinberg);
    case 3: {
        DibGuard small(quarterSize(view));
        if (!small.get())
            return nullptr;
        return dibcore::convertDepth(dibcore::lockView(small.get()), 8, Dither::FloydSteinberg);
    }
    case 4:
        return dibcore::convertDepth(view, 8, Dither::FloydSteinberg);
    default:
        return nullptr;
    }
}

bool tiffPreview(const DibView& picture, const Options& options, std::vector<std::uint8_t>& out)
{
    DibGuard preview(previewPicture(picture, options));
    if (!preview.get())
        return false;
    const DibView view = dibcore::lockView(preview.get());
    DecodeRequest own(0, 0, nullptr, nullptr);
    return view.valid() && tiffwriter::encode(view, kTiffUncompressed, own, out);
}

}  // namespace

bool validOptions(const Options& o)
{
    return o.level >= 0 && o.level <= 1 && o.preview >= 0 && o.preview <= 4 && o.compression >= 0 &&
           o.compression <= 1;
}

bool encode(const DibView& picture, const Options& options, DecodeRequest& request, std::vector<std::uint8_t>& out)
{
    out.clear();
    if (!validOptions(options) || !picture.valid() || picture.isRle())
        return false;
    ImageData image;
    if (!sampleRows(picture, options, request, image))
        return false;
    if (options.compression == 1) {
        image.samples = epsfilters::lzw(image.samples);
        if (!request.progress(55))
            return false;
    }
    std::string data = epsfilters::ascii85(image.samples);
    image.samples = {};
    if (!request.progress(65))
        return false;
    const std::string ps = postscript(picture, options, image, data);
    std::string().swap(data);
    if (options.preview == 0) {
        out.assign(ps.begin(), ps.end());
        return request.progress(80);
    }
    std::vector<std::uint8_t> tiff;
    if (!tiffPreview(picture, options, tiff) || !request.progress(75))
        return false;
    const std::uint64_t total = epsstructure::kDosHeaderBytes + ps.size() + tiff.size();
    if (total > 0xFFFFFFFFu)
        return false;
    out.resize(epsstructure::kDosHeaderBytes);
    const auto psOffset = static_cast<std::uint32_t>(epsstructure::kDosHeaderBytes);
    const auto tiffOffset = static_cast<std::uint32_t>(psOffset + ps.size());
    epsstructure::writeDosHeader(out.data(), psOffset, static_cast<std::uint32_t>(ps.size()), 0, 0, tiffOffset,
                                 static_cast<std::uint32_t>(tiff.size()));
    out.insert(out.end(), ps.begin(), ps.end());
    out.insert(out.end(), tiff.begin(), tiff.end());
    return request.progress(80);
}

}  // namespace epswriter
