#include "pngcodec.h"

#include <cstdlib>
#include <cstring>

#include <png.h>

#include "alpha.h"
#include "decodefailure.h"
#include "dibcore/dibcore.h"

namespace pngcodec {

namespace {

constexpr png_uint_32 kMaxSide = 1u << 20;

struct PngJob {
    ByteSpan bytes;
    std::size_t pos = 0;
    DecodeRequest* request = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    png_uint_32 height = 0;
    int passes = 1;
    std::uint8_t* pixels = nullptr;  // malloc'd
    png_bytep* rows = nullptr;       // malloc'd
    GlobalHandle out = nullptr;
    dibcore::Palette palette;  // here, not on run()'s stack, which a longjmp leaves
};

void readData(png_structp png, png_bytep data, png_size_t length)
{
    auto* job = static_cast<PngJob*>(png_get_io_ptr(png));
    if (!job->bytes.has(job->pos, length))
        png_error(png, "read past the end");
    std::memcpy(data, job->bytes.data + job->pos, length);
    job->pos += length;
}

[[noreturn]] void onError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

void onRow(png_structp png, png_uint_32 row, int pass)
{
    auto* job = static_cast<PngJob*>(png_get_error_ptr(png));
    if (!job->request || job->height == 0)
        return;
    const long long done = static_cast<long long>(pass) * job->height + row;
    const long long total = static_cast<long long>(job->passes) * job->height;
    if (!job->request->progress(static_cast<int>(done * 95 / total)))
        png_error(png, "stopped");
}

bool create(PngJob& job)
{
    job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &job, onError, onWarning);
    if (!job.png)
        return false;
    job.info = png_create_info_struct(job.png);
    if (!job.info)
        return false;
    png_set_read_fn(job.png, &job, readData);
    png_set_user_limits(job.png, kMaxSide, kMaxSide);
    return true;
}

void destroy(PngJob& job)
{
    if (job.png)
        png_destroy_read_struct(&job.png, job.info ? &job.info : nullptr, nullptr);
    std::free(job.rows);
    std::free(job.pixels);
}

int naturalPaletteBits(int depth)
{
    return depth == 1 ? 1 : (depth <= 4 ? 4 : 8);
}

// Palette with tRNS alpha already laid over white.
dibcore::Palette readPalette(png_structp png, png_infop info)
{
    dibcore::Palette pal;
    png_colorp colours = nullptr;
    int count = 0;
    if (!png_get_PLTE(png, info, &colours, &count))
        return pal;
    png_bytep trans = nullptr;
    int transCount = 0;
    png_color_16p transColour = nullptr;
    if (!png_get_tRNS(png, info, &trans, &transCount, &transColour))
        transCount = 0;
    for (int i = 0; i < count && i < 256; ++i) {
        const int a = (trans && i < transCount) ? trans[i] : 255;
        pal.push_back(dibcore::rgb(alpha::overWhite(colours[i].red, a), alpha::overWhite(colours[i].green, a),
                                   alpha::overWhite(colours[i].blue, a)));
    }
    return pal;
}

void storeRow(const std::uint8_t* in, std::uint8_t* out, int width, int channels, int bits)
{
    for (int x = 0; x < width; ++x) {
        const std::uint8_t* p = in + std::size_t(x) * std::size_t(channels);
        switch (channels) {
        case 1:
            if (bits == 24) {
                out[3 * x] = out[3 * x + 1] = out[3 * x + 2] = p[0];
            } else {
                dibcore::setIndex(out, x, bits, p[0]);
            }
            break;
        case 2:  // grey + alpha
            out[x] = alpha::overWhite(p[0], p[1]);
            break;
        case 3:
            out[3 * x] = p[2];
            out[3 * x + 1] = p[1];
            out[3 * x + 2] = p[0];
            break;
        default:  // RGBA
            out[3 * x] = alpha::overWhite(p[2], p[3]);
            out[3 * x + 1] = alpha::overWhite(p[1], p[3]);
            out[3 * x + 2] = alpha::overWhite(p[0], p[3]);
            break;
        }
    }
}

// 16-bit grey+alpha or RGBA (big-endian samples) over white, then to 8 bits.
void storeWideRow(const std::uint8_t* in, std::uint8_t* out, int width, int channels)
{
    auto sample = [](const std::uint8_t* p) { return (std::uint32_t(p[0]) << 8) | p[1]; };
    auto over = [](std::uint32_t c, std::uint32_t a) {
        const std::uint64_t v = (std::uint64_t(c) * a + 65535ULL * (65535 - a) + 32767) / 65535;
        return static_cast<std::uint8_t>((v * 255 + 32767) / 65535);
    };
    for (int x = 0; x < width; ++x) {
        const std::uint8_t* p = in + std::size_t(x) * std::size_t(channels) * 2;
        if (channels == 2) {
            out[x] = over(sample(p), sample(p + 2));
        } else {
            const std::uint32_t a = sample(p + 6);
            out[3 * x] = over(sample(p + 4), a);
            out[3 * x + 1] = over(sample(p + 2), a);
            out[3 * x + 2] = over(sample(p), a);
        }
    }
}

bool run(PngJob& job)
{
    if (setjmp(png_jmpbuf(job.png)))
        return false;
    png_structp png = job.png;
    png_infop info = job.info;
    png_read_info(png, info);
    png_uint_32 width = 0, height = 0;
    int depth = 0, colourType = 0, interlace = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colourType, &interlace, nullptr, nullptr);
    if (!dibcore::fitsLimit(width, height, 32))
        return false;

    int bits = 24;
    dibcore::Palette& palette = job.palette;
    const bool hasTrns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        palette = readPalette(png, info);
        if (palette.empty())
            return false;
        bits = naturalPaletteBits(depth);
        if (depth < 8)
            png_set_packing(png);
    } else if (colourType == PNG_COLOR_TYPE_GRAY && !hasTrns) {
        if (depth == 1) {
            bits = 1;
            palette = dibcore::monoPalette();
            png_set_packing(png);
        } else {
            bits = 8;
            palette = dibcore::greyPalette(256);
            png_set_expand_gray_1_2_4_to_8(png);
        }
    } else if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        bits = 8;
        palette = dibcore::greyPalette(256);
        png_set_expand(png);  // grey 1/2/4 to 8 and tRNS to alpha
    } else if (hasTrns) {
        png_set_tRNS_to_alpha(png);
    }
    if (!decodefailure::admits(width, height, bits, job.bytes))
        return false;
    // 16-bit samples with alpha are laid over white at full precision
    const bool wide = depth == 16 && (colourType & PNG_COLOR_MASK_ALPHA || hasTrns) &&
                      colourType != PNG_COLOR_TYPE_PALETTE;
    if (depth == 16 && !wide)
        png_set_scale_16(png);
    job.passes = png_set_interlace_handling(png);
    job.height = height;
    png_set_read_status_fn(png, onRow);
    png_read_update_info(png, info);

    const std::size_t rowBytes = png_get_rowbytes(png, info);
    const int channels = png_get_channels(png, info);
    if (rowBytes == 0 || rowBytes / width < std::size_t(channels) * (wide ? 2 : 1) || rowBytes > dibcore::kMaxPixelBytes / height)
        return false;
    job.pixels = static_cast<std::uint8_t*>(std::malloc(rowBytes * height));
    job.rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
    if (!job.pixels || !job.rows)
        return false;
    for (png_uint_32 y = 0; y < height; ++y)
        job.rows[y] = job.pixels + rowBytes * y;
    job.out = dibcore::allocDib(static_cast<int>(width), static_cast<int>(height), bits, palette);
    if (!job.out)
        return false;
    png_read_image(png, job.rows);

    dibcore::DibView dib = dibcore::lockView(job.out);
    for (png_uint_32 y = 0; y < height; ++y) {
        if (wide)
            storeWideRow(job.rows[y], dib.mutableRow(static_cast<int>(y)), static_cast<int>(width), channels);
        else
            storeRow(job.rows[y], dib.mutableRow(static_cast<int>(y)), static_cast<int>(width), channels, bits);
    }
    globalmem::unlock(job.out);
    return true;
}

bool readInfo(PngJob& job, PictureInfo& out)
{
    if (setjmp(png_jmpbuf(job.png)))
        return false;
    png_read_info(job.png, job.info);
    png_uint_32 width = 0, height = 0;
    int depth = 0, colourType = 0;
    png_get_IHDR(job.png, job.info, &width, &height, &depth, &colourType, nullptr, nullptr, nullptr);
    out.type = "PNG";
    out.compression = "Deflate";
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    out.bits = depth * png_get_channels(job.png, job.info);
    out.planes = 1;
    out.colours = 0;
    out.pages = 1;
    png_colorp colours = nullptr;
    int count = 0;
    if (colourType == PNG_COLOR_TYPE_PALETTE && png_get_PLTE(job.png, job.info, &colours, &count))
        out.colours = count;
    return true;
}

}  // namespace

GlobalHandle decode(ByteSpan bytes, DecodeRequest& request)
{
    PngJob job;
    job.bytes = bytes;
    job.request = &request;
    bool ok = create(job) && run(job);
    destroy(job);
    dibcore::DibGuard out(job.out);
    if (!ok)
        return nullptr;
    return out.release();
}

bool info(ByteSpan bytes, PictureInfo& out)
{
    PngJob job;
    job.bytes = bytes;
    const bool ok = create(job) && readInfo(job, out);
    destroy(job);
    return ok;
}

}  // namespace pngcodec
