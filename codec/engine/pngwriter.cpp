#include "pngwriter.h"

#include <png.h>

#include "dibcore/dibcore.h"

namespace pngwriter {

namespace {

struct PngJob {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::vector<std::uint8_t>* out = nullptr;
    // here, not on run()'s stack, which a longjmp leaves
    std::vector<png_color> palette;
    std::vector<std::uint8_t> line;
};

void writeData(png_structp png, png_bytep data, png_size_t length)
{
    auto* job = static_cast<PngJob*>(png_get_io_ptr(png));
    try {
        job->out->insert(job->out->end(), data, data + length);
    } catch (...) {
        png_error(png, "out of memory");
    }
}

void flushData(png_structp) {}

[[noreturn]] void onError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

// True when entry i of the table is the grey i * 255 / (n - 1).
bool isGreyRamp(const dibcore::DibView& dib)
{
    const int n = dibcore::colorsForBits(dib.bitCount());
    for (int i = 0; i < n; ++i) {
        const dibcore::RgbQuad c = dib.color(i);
        const int level = i * 255 / (n - 1);
        if (c.red != level || c.green != level || c.blue != level)
            return false;
    }
    return true;
}

// The picture's row y (from the top) in PNG sample order.
const std::uint8_t* lineAt(PngJob& job, const dibcore::DibView& dib, int y)
{
    const std::uint8_t* row = dib.row(y);
    if (dib.bitCount() != 24)
        return row;  // 1, 4 and 8 bits pack the same way in both
    const int w = dib.width();
    for (int x = 0; x < w; ++x) {
        job.line[3 * x] = row[3 * x + 2];
        job.line[3 * x + 1] = row[3 * x + 1];
        job.line[3 * x + 2] = row[3 * x];
    }
    return job.line.data();
}

void writeHeader(PngJob& job, const dibcore::DibView& dib, bool interlaced)
{
    const int bits = dib.bitCount();
    const bool grey = bits <= 8 && isGreyRamp(dib);
    int colourType = PNG_COLOR_TYPE_RGB;
    if (bits <= 8)
        colourType = grey ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_PALETTE;
    png_set_IHDR(job.png, job.info, static_cast<png_uint_32>(dib.width()), static_cast<png_uint_32>(dib.height()),
                 bits <= 8 ? bits : 8, colourType, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        const int n = dibcore::colorsForBits(bits);
        for (int i = 0; i < n; ++i) {
            const dibcore::RgbQuad c = dib.color(i);
            job.palette.push_back(png_color{c.red, c.green, c.blue});
        }
        png_set_PLTE(job.png, job.info, job.palette.data(), n);
    }
    const int xppm = dib.header().xPelsPerMeter, yppm = dib.header().yPelsPerMeter;
    if (xppm > 0 && yppm > 0)
        png_set_pHYs(job.png, job.info, static_cast<png_uint_32>(xppm), static_cast<png_uint_32>(yppm),
                     PNG_RESOLUTION_METER);
    png_write_info(job.png, job.info);
}

bool run(PngJob& job, const dibcore::DibView& dib, bool interlaced, DecodeRequest& request)
{
    if (setjmp(png_jmpbuf(job.png)))
        return false;
    png_set_write_fn(job.png, &job, writeData, flushData);
    writeHeader(job, dib, interlaced);
    job.line.resize(std::size_t(dib.width()) * 3);
    const int passes = png_set_interlace_handling(job.png);
    const long long total = static_cast<long long>(passes) * dib.height();
    for (int pass = 0; pass < passes; ++pass) {
        for (int y = 0; y < dib.height(); ++y) {
            png_write_row(job.png, lineAt(job, dib, y));
            const long long done = static_cast<long long>(pass) * dib.height() + y + 1;
            if (!request.progress(static_cast<int>(done * 80 / total)))
                return false;
        }
    }
    png_write_end(job.png, job.info);
    return true;
}

}  // namespace

bool encode(const dibcore::DibView& dib, bool interlaced, DecodeRequest& request, std::vector<std::uint8_t>& out)
{
    if (!dib.valid() || dib.isRle())
        return false;
    out.clear();
    PngJob job;
    job.out = &out;
    job.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &job, onError, onWarning);
    if (job.png)
        job.info = png_create_info_struct(job.png);
    const bool ok = job.info && run(job, dib, interlaced, request);
    if (job.png)
        png_destroy_write_struct(&job.png, job.info ? &job.info : nullptr);
    return ok && !out.empty();
}

}  // namespace pngwriter
