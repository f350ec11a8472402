#include "jpegcodec.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>

#include "decodefailure.h"
#include "dibcore/dibcore.h"
#include "exiforientation.h"

namespace jpegcodec {

namespace {

constexpr long kMaxScans = 1000;

struct JpegJob {
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr err{};
    jpeg_progress_mgr progress{};
    std::jmp_buf jump;
    DecodeRequest* request = nullptr;
    bool created = false;
    bool allRowsRead = false;
    GlobalHandle out = nullptr;
    int orientation = 1;  // EXIF: how the stored rows turn upright
};

JpegJob& jobOf(j_common_ptr c)
{
    return *reinterpret_cast<JpegJob*>(c->client_data);
}

[[noreturn]] void onError(j_common_ptr c)
{
    std::longjmp(jobOf(c).jump, 1);
}

// Warnings that mean the entropy-coded data is damaged: a truncated stream
// (unless only the end marker is missing after the last row), bad codes, or
// stray bytes after scan data, which a desynchronised decoder leaves behind.
bool isDamage(const JpegJob& job, int code)
{
    switch (code) {
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_ARITH_BAD_CODE:
    case JWRN_MUST_RESYNC:
        return true;
    case JWRN_JPEG_EOF:
        return !job.allRowsRead;
    case JWRN_EXTRANEOUS_DATA:
        return job.cinfo.input_scan_number > 0;
    default:
        return false;
    }
}

// Damage ends the decode; other warnings are ignored.
void onMessage(j_common_ptr c, int level)
{
    JpegJob& job = jobOf(c);
    if (level < 0 && job.request && isDamage(job, c->err->msg_code))
        std::longjmp(job.jump, 1);
}

void onOutput(j_common_ptr) {}

void onProgress(j_common_ptr c)
{
    JpegJob& job = jobOf(c);
    auto* d = reinterpret_cast<j_decompress_ptr>(c);
    if (d->input_scan_number > kMaxScans)
        std::longjmp(job.jump, 1);
    const jpeg_progress_mgr* p = c->progress;
    if (!job.request || p->total_passes <= 0 || p->pass_limit <= 0)
        return;
    const long done = p->completed_passes * 100L + p->pass_counter * 100L / p->pass_limit;
    if (!job.request->progress(static_cast<int>(done / p->total_passes * 95 / 100)))
        std::longjmp(job.jump, 1);
}

void setUp(JpegJob& job, ByteSpan bytes)
{
    job.cinfo.err = jpeg_std_error(&job.err);
    job.err.error_exit = onError;
    job.err.emit_message = onMessage;
    job.err.output_message = onOutput;
    job.cinfo.client_data = &job;
    jpeg_create_decompress(&job.cinfo);
    job.created = true;
    job.cinfo.mem->max_memory_to_use = static_cast<long>(dibcore::kMaxPixelBytes);
    jpeg_mem_src(&job.cinfo, bytes.data, static_cast<unsigned long>(bytes.size));
    jpeg_save_markers(&job.cinfo, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(&job.cinfo, TRUE);
    for (jpeg_saved_marker_ptr m = job.cinfo.marker_list; m; m = m->next) {
        if (m->marker != JPEG_APP0 + 1)
            continue;
        job.orientation = exiforientation::read(m->data, m->data_length);
        if (job.orientation != 1)
            break;
    }
}

bool isCmyk(const jpeg_decompress_struct& c)
{
    return c.jpeg_color_space == JCS_CMYK || c.jpeg_color_space == JCS_YCCK;
}

void storeCmykRow(const jpeg_decompress_struct& c, const JSAMPLE* in, std::uint8_t* out)
{
    // Adobe writes CMYK inverted (255 = no ink)
    const bool inverted = c.saw_Adobe_marker;
    for (JDIMENSION x = 0; x < c.output_width; ++x) {
        const JSAMPLE* p = in + 4 * x;
        const int k = inverted ? p[3] : 255 - p[3];
        for (int ch = 0; ch < 3; ++ch) {
            const int v = inverted ? p[ch] : 255 - p[ch];
            out[3 * x + (2 - ch)] = static_cast<std::uint8_t>((v * k + 127) / 255);
        }
    }
}

constexpr int kRowsPerCall = 16;

// Grey and BGR rows decoded straight into the DIB's rows.
bool readRowsInPlace(jpeg_decompress_struct& c, const dibcore::DibView& dib)
{
    JSAMPROW rows[kRowsPerCall];
    while (c.output_scanline < c.output_height) {
        const int y = static_cast<int>(c.output_scanline);
        const int n = static_cast<int>(std::min<JDIMENSION>(kRowsPerCall, c.output_height - c.output_scanline));
        for (int i = 0; i < n; ++i) {
            rows[i] = dib.mutableRow(y + i);
            if (!rows[i])
                return false;
        }
        if (jpeg_read_scanlines(&c, rows, static_cast<JDIMENSION>(n)) == 0)
            return false;
    }
    return true;
}

bool readCmykRows(jpeg_decompress_struct& c, const dibcore::DibView& dib)
{
    JSAMPARRAY buffer = (*c.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&c), JPOOL_IMAGE,
                                               c.output_width * static_cast<JDIMENSION>(c.output_components), 1);
    while (c.output_scanline < c.output_height) {
        const int y = static_cast<int>(c.output_scanline);
        if (jpeg_read_scanlines(&c, buffer, 1) != 1)
            return false;
        std::uint8_t* row = dib.mutableRow(y);
        if (!row)
            return false;
        storeCmykRow(c, buffer[0], row);
    }
    return true;
}

// All libjpeg calls run here, under setjmp; job holds what must be cleaned.
bool run(JpegJob& job, ByteSpan bytes, int scale)
{
    if (setjmp(job.jump))
        return false;
    setUp(job, bytes);
    jpeg_decompress_struct& c = job.cinfo;
    if (!dibcore::fitsLimit(c.image_width, c.image_height, 32))
        return false;
    if (scale == 2 || scale == 4 || scale == 8) {
        c.scale_num = 1;
        c.scale_denom = static_cast<unsigned>(scale);
    }
    const bool grey = c.jpeg_color_space == JCS_GRAYSCALE;
    const bool cmyk = isCmyk(c);
    // grey and colour rows come out as the DIB holds them (BGR order)
    c.out_color_space = grey ? JCS_GRAYSCALE : (cmyk ? JCS_CMYK : JCS_EXT_BGR);
    job.progress.progress_monitor = onProgress;
    c.progress = &job.progress;
    // the output size is known before the decoder allocates anything
    jpeg_calc_output_dimensions(&c);
    const int bits = grey ? 8 : 24;
    if (!decodefailure::admits(c.output_width, c.output_height, bits, bytes))
        return false;
    jpeg_start_decompress(&c);
    job.out = dibcore::allocDib(static_cast<int>(c.output_width), static_cast<int>(c.output_height), bits,
                                grey ? dibcore::greyPalette(256) : dibcore::Palette());
    if (!job.out)
        return false;
    dibcore::DibView dib = dibcore::lockView(job.out);
    if (!cmyk) {
        if (!readRowsInPlace(c, dib))
            return false;
    } else if (!readCmykRows(c, dib)) {
        return false;
    }
    // reading up to the end marker reveals damage the rows did not show
    job.allRowsRead = true;
    jpeg_finish_decompress(&c);
    globalmem::unlock(job.out);
    return true;
}

}  // namespace

GlobalHandle decode(ByteSpan bytes, DecodeRequest& request, int scale)
{
    if (bytes.size == 0)
        return nullptr;
    JpegJob job;
    job.request = &request;
    const bool ok = run(job, bytes, scale);
    if (job.created)
        jpeg_destroy_decompress(&job.cinfo);
    dibcore::DibGuard out(job.out);
    if (!ok)
        return nullptr;
    return exiforientation::upright(out.release(), job.orientation);
}

namespace {

bool readHeader(JpegJob& job, ByteSpan bytes)
{
    if (setjmp(job.jump))
        return false;
    setUp(job, bytes);
    return true;
}

}  // namespace

bool info(ByteSpan bytes, PictureInfo& out)
{
    if (bytes.size == 0)
        return false;
    JpegJob job;
    const bool ok = readHeader(job, bytes);
    if (ok) {
        out.type = "JPEG";
        out.compression = "JPEG";
        out.width = static_cast<int>(job.cinfo.image_width);
        out.height = static_cast<int>(job.cinfo.image_height);
        if (exiforientation::swapsSides(job.orientation))
            std::swap(out.width, out.height);
        out.bits = job.cinfo.num_components * 8;
        out.planes = 1;
        out.colours = 0;
        out.pages = 1;
    }
    if (job.created)
        jpeg_destroy_decompress(&job.cinfo);
    return ok;
}

}  // namespace jpegcodec
