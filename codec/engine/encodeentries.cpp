// The encoding entries of the module and the TIFF page edits. Every file is
// written whole to a temporary file that replaces the target only when
// complete (outputfile.h).

#include <sys/stat.h>

#include "bytespan.h"
#include "gifwriter.h"
#include "jpegwriter.h"
#include "outputfile.h"
#include "pcxwriter.h"
#include "pngwriter.h"
#include "tgawriter.h"
#include "tiffpages.h"
#include "tiffwriter.h"
#include "writerinput.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Encodes the caller's picture at the depth asked with encode(input, bytes)
// and writes the bytes as file. 1 on success, 0 on failure.
template <typename Encode>
short writeFile(const char* file, GlobalHandle dib, int bits, DecodeRequest& request, Encode encode)
{
    try {
        if (!file || !*file || !request.progress(0))
            return 0;
        WriterInput input(dib, bits);
        Bytes bytes;
        if (!input.valid() || !encode(input, bytes))
            return 0;
        return outputfile::replace(file, bytes, request, 80) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

bool exists(const char* file)
{
    struct stat st {};
    return file && lstat(file, &st) == 0;
}

// Edits a copy of an existing TIFF with edit(bytes) and puts it in the
// file's place.
template <typename Edit>
short editTiff(const char* file, DecodeRequest& request, Edit edit)
{
    try {
        Bytes bytes;
        if (!request.progress(0) || !filebytes::read(file, bytes) || !request.progress(5) || !edit(bytes))
            return 0;
        return outputfile::replace(file, bytes, request, 80) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

// A new TIFF, or the picture put into an existing one as page `page`.
short writeTiff(const char* file, GlobalHandle dib, short compression, bool intoExisting, int page,
                DecodeRequest& request)
{
    // the code travels as a signed 16-bit value (32773 arrives as -32763)
    const int code = static_cast<std::uint16_t>(compression);
    if (!tiffwriter::knownCompression(code))
        return 0;
    if (!intoExisting)
        return writeFile(file, dib, request.bits(), request, [&](WriterInput& input, Bytes& out) {
            return tiffwriter::prepare(input, code) && tiffwriter::encode(input.view(), code, request, out);
        });
    try {
        WriterInput input(dib, request.bits());
        if (!tiffwriter::prepare(input, code))
            return 0;
        return editTiff(file, request, [&](Bytes& bytes) {
            return tiffpages::insert(bytes, input.view(), code, page, request);
        });
    } catch (...) {
        return 0;
    }
}

}  // namespace

short wrjpgfiledib(const char* file, GlobalHandle dib, short bits, short quality, short smoothing, short grey,
                   void* sender, ProgressCallback cb, int)
{
    DecodeRequest request(bits, 0, cb, sender);
    return writeFile(file, dib, 0, request, [&](WriterInput& input, Bytes& out) {
        return jpegwriter::encode(input.view(), quality, smoothing, grey != 0, request, out);
    });
}

short wrpngfiledib(const char* file, GlobalHandle dib, short bits, short interlace, void* sender,
                   ProgressCallback cb, int)
{
    DecodeRequest request(bits, 1, cb, sender);
    return writeFile(file, dib, request.bits(), request, [&](WriterInput& input, Bytes& out) {
        return pngwriter::encode(input.view(), interlace != 0, request, out);
    });
}

short wrgiffiledib(const char* file, GlobalHandle dib, short bits, void* sender, ProgressCallback cb, int)
{
    DecodeRequest request(bits, 1, cb, sender);
    return writeFile(file, dib, request.bits(), request, [&](WriterInput& input, Bytes& out) {
        // more than 256 colours: a palette made for the picture
        return input.convert(std::min(input.view().bitCount(), 8), dibcore::Dither::FloydSteinberg) &&
               gifwriter::encode(input.view(), request, out);
    });
}

short wrpcxfiledib(const char* file, GlobalHandle dib, short bits, void* sender, ProgressCallback cb, int)
{
    DecodeRequest request(bits, 1, cb, sender);
    return writeFile(file, dib, request.bits(), request,
                     [&](WriterInput& input, Bytes& out) { return pcxwriter::encode(input.view(), request, out); });
}

short writetgafiledib(const char* file, GlobalHandle dib, short bits, short rle, short, void* sender,
                      ProgressCallback cb, int)
{
    DecodeRequest request(bits, 1, cb, sender);
    return writeFile(file, dib, request.bits(), request, [&](WriterInput& input, Bytes& out) {
        return tgawriter::encode(input.view(), rle != 0, request, out);
    });
}

short writetiffiledib(const char* file, GlobalHandle dib, short bits, short compression, short append,
                      void* sender, ProgressCallback cb, int)
{
    DecodeRequest request(bits, 1, cb, sender);
    return writeTiff(file, dib, compression, append != 0 && exists(file), 65535, request);
}

short writetiffiledibpage(const char* file, GlobalHandle dib, short bits, short compression, short page,
                          void* sender, ProgressCallback cb, int)
{
    if (page < 0)
        return 0;
    DecodeRequest request(bits, 1, cb, sender);
    return writeTiff(file, dib, compression, exists(file), page, request);
}

short deletepage(const char* file, short page, void* sender, ProgressCallback cb, int)
{
    DecodeRequest request(0, 0, cb, sender);
    return editTiff(file, request, [&](Bytes& bytes) { return tiffpages::remove(bytes, page, request); });
}
