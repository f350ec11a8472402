#include "jpegwriter.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "dibcore/dibcore.h"

namespace jpegwriter {

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

struct JpegJob {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    jpeg_destination_mgr dest{};
    std::jmp_buf jump;
    bool created = false;
    std::vector<std::uint8_t>* out = nullptr;
    // here, not on run()'s stack, which a longjmp leaves
    std::vector<JOCTET> buffer;
    std::vector<JSAMPLE> line;
};

JpegJob& jobOf(j_compress_ptr c)
{
    return *static_cast<JpegJob*>(c->client_data);
}

[[noreturn]] void onError(j_common_ptr c)
{
    std::longjmp(static_cast<JpegJob*>(c->client_data)->jump, 1);
}

// The compressed bytes go to the job's vector in buffer-sized pieces.
void flush(j_compress_ptr c, std::size_t count)
{
    JpegJob& job = jobOf(c);
    try {
        job.out->insert(job.out->end(), job.buffer.data(), job.buffer.data() + count);
    } catch (...) {
        std::longjmp(job.jump, 1);
    }
    job.dest.next_output_byte = job.buffer.data();
    job.dest.free_in_buffer = job.buffer.size();
}

void initDestination(j_compress_ptr c)
{
    flush(c, 0);
}

boolean emptyBuffer(j_compress_ptr c)
{
    flush(c, jobOf(c).buffer.size());
    return TRUE;
}

void termDestination(j_compress_ptr c)
{
    flush(c, jobOf(c).buffer.size() - jobOf(c).dest.free_in_buffer);
}

void onOutput(j_common_ptr) {}

bool greyTable(const dibcore::DibView& dib)
{
    if (dib.bitCount() > 8)
        return false;
    const int n = dibcore::colorsForBits(dib.bitCount());
    for (int i = 0; i < n; ++i) {
        const dibcore::RgbQuad c = dib.color(i);
        if (c.red != c.green || c.green != c.blue)
            return false;
    }
    return true;
}

// One row of the picture as grey samples or RGB triples.
void fillLine(const dibcore::DibView& dib, int y, bool grey, JSAMPLE* out)
{
    const std::uint8_t* row = dib.row(y);
    const int w = dib.width();
    if (dib.bitCount() == 24) {
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* p = row + 3 * x;
            if (grey) {
                out[x] = static_cast<JSAMPLE>((p[2] * 299 + p[1] * 587 + p[0] * 114 + 500) / 1000);
            } else {
                out[3 * x] = p[2];
                out[3 * x + 1] = p[1];
                out[3 * x + 2] = p[0];
            }
        }
        return;
    }
    for (int x = 0; x < w; ++x) {
        const dibcore::RgbQuad c = dib.color(static_cast<int>(dibcore::DibView::indexAt(row, x, dib.bitCount())));
        if (grey) {
            out[x] = static_cast<JSAMPLE>((c.red * 299 + c.green * 587 + c.blue * 114 + 500) / 1000);
        } else {
            out[3 * x] = c.red;
            out[3 * x + 1] = c.green;
            out[3 * x + 2] = c.blue;
        }
    }
}

bool run(JpegJob& job, const dibcore::DibView& dib, int quality, int smoothing, bool grey, DecodeRequest& request)
{
    if (setjmp(job.jump))
        return false;
    jpeg_compress_struct& c = job.cinfo;
    c.err = jpeg_std_error(&job.err);
    job.err.error_exit = onError;
    job.err.output_message = onOutput;
    c.client_data = &job;
    jpeg_create_compress(&c);
    job.created = true;
    job.buffer.resize(kBufferSize);
    job.dest.init_destination = initDestination;
    job.dest.empty_output_buffer = emptyBuffer;
    job.dest.term_destination = termDestination;
    c.dest = &job.dest;
    c.image_width = static_cast<JDIMENSION>(dib.width());
    c.image_height = static_cast<JDIMENSION>(dib.height());
    c.input_components = grey ? 1 : 3;
    c.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, quality, TRUE);
    c.smoothing_factor = smoothing;
    c.optimize_coding = TRUE;
    c.density_unit = 2;  // dots per centimetre, as the DIB holds dots per metre
    c.X_density = static_cast<UINT16>(std::clamp(dib.header().xPelsPerMeter / 100, 1, 65535));
    c.Y_density = static_cast<UINT16>(std::clamp(dib.header().yPelsPerMeter / 100, 1, 65535));
    jpeg_start_compress(&c, TRUE);
    job.line.resize(std::size_t(dib.width()) * std::size_t(c.input_components));
    JSAMPROW rows[1] = {job.line.data()};
    for (int y = 0; y < dib.height(); ++y) {
        fillLine(dib, y, grey, job.line.data());
        jpeg_write_scanlines(&c, rows, 1);
        if (!request.progress(static_cast<int>((y + 1) * 80LL / dib.height())))
            return false;
    }
    jpeg_finish_compress(&c);
    return true;
}

}  // namespace

bool encode(const dibcore::DibView& dib, int quality, int smoothing, bool grey, DecodeRequest& request,
            std::vector<std::uint8_t>& out)
{
    if (!dib.valid() || dib.isRle() || dib.width() > JPEG_MAX_DIMENSION || dib.height() > JPEG_MAX_DIMENSION)
        return false;
    out.clear();
    JpegJob job;
    job.out = &out;
    const bool ok = run(job, dib, std::clamp(quality, 1, 100), std::clamp(smoothing, 0, 100),
                        grey || greyTable(dib), request);
    if (job.created)
        jpeg_destroy_compress(&job.cinfo);
    return ok && !out.empty();
}

}  // namespace jpegwriter
