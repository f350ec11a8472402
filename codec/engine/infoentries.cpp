// The information entries of the module.

#include <cstring>
#include <string>
#include <vector>

#include "bmpcodec.h"
#include "decodefailure.h"
#include "entryframe.h"
#include "epscodec.h"
#include "gifcodec.h"
#include "jpegcodec.h"
#include "pcxcodec.h"
#include "photocdcodec.h"
#include "pngcodec.h"
#include "tgacodec.h"
#include "tiffcodec.h"
#include "dibcore/dibcore.h"

namespace {

void copyText(const std::string& text, char* out, int outSize)
{
    if (!out || outSize <= 0)
        return;
    const std::size_t n = std::min<std::size_t>(text.size(), std::size_t(outSize) - 1);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

bool describeRaster(ByteSpan bytes, PictureFormat format, PictureInfo& info)
{
    switch (format) {
    case PictureFormat::Jpeg:
        return jpegcodec::info(bytes, info);
    case PictureFormat::Png:
        return pngcodec::info(bytes, info);
    case PictureFormat::Gif:
        return gifcodec::info(bytes, info);
    case PictureFormat::Bmp:
        return bmpcodec::info(bytes, info);
    case PictureFormat::Tiff:
        return tiffcodec::info(bytes, 0, info);
    case PictureFormat::Pcx:
        return pcxcodec::info(bytes, info);
    case PictureFormat::Dcx:
        return pcxcodec::dcxInfo(bytes, 0, info);
    case PictureFormat::Tga:
        return tgacodec::info(bytes, info);
    default:
        return photocdcodec::info(bytes, info);
    }
}

// The information of a picture the decoders would take: one that claims more
// than its data can hold is refused here as it is there (sizes that make no
// picture are described as they stand).
bool admitted(const PictureInfo& info, ByteSpan bytes)
{
    const int depth = dibcore::describedDepth(info.bits);
    return dibcore::imageBytes(info.width, info.height, depth) == 0 ||
           decodefailure::admits(info.width, info.height, depth, bytes);
}

// EPS is drawn at any size its bounding box asks for; the raster formats
// must hold their pictures.
bool describe(ByteSpan bytes, PictureFormat format, PictureInfo& info)
{
    if (epscodec::recognised(bytes))
        return epscodec::info(bytes, info);
    return describeRaster(bytes, format, info) && admitted(info, bytes);
}

template <typename T, typename V>
void put(T* out, V value)
{
    if (out)
        *out = static_cast<T>(value);
}

bool tiffPage(ByteSpan bytes, short page, int* width, int* height, short* bits, short* pages, short* compression)
{
    PictureInfo info;
    if (pictureformat::detect(bytes, false) != PictureFormat::Tiff || !tiffcodec::info(bytes, page, info) ||
        !admitted(info, bytes))
        return false;
    put(width, info.width);
    put(height, info.height);
    put(bits, info.bits);
    put(pages, info.pages);
    // the code travels as a signed 16-bit value (32773 arrives as -32763)
    put(compression, static_cast<std::int16_t>(static_cast<std::uint16_t>(info.tiffCompression)));
    return true;
}

}  // namespace

namespace {

// Where the information entries put their answers (any may be null).
struct InfoOut {
    char* type;
    int typeSize;
    char* compression;
    int compressionSize;
    int* width;
    int* height;
    short* bits;
    short* planes;
    int* colours;
};

short answer(ByteSpan bytes, PictureFormat format, const InfoOut& out)
{
    PictureInfo info;
    if (!describe(bytes, format, info))
        return 0;
    copyText(info.type, out.type, out.typeSize);
    copyText(info.compression, out.compression, out.compressionSize);
    put(out.width, info.width);
    put(out.height, info.height);
    put(out.bits, info.bits);
    put(out.planes, info.planes);
    put(out.colours, info.colours);
    return 1;
}

}  // namespace

short fileinfo(const char* file, char* type, int typeSize, int* width, int* height, short* bits, short* planes,
               int* colours, char* compression, int compressionSize)
{
    decodefailure::clear();
    try {
        std::vector<std::uint8_t> data;
        if (!filebytes::read(file, data))
            return 0;
        const ByteSpan bytes{data.data(), data.size()};
        PictureFormat format = pictureformat::detect(bytes, false);
        if (pictureformat::hasTgaExtension(file) && tgacodec::plausible(bytes))
            format = PictureFormat::Tga;
        return answer(bytes, format,
                      {type, typeSize, compression, compressionSize, width, height, bits, planes, colours});
    } catch (...) {
        return 0;
    }
}

short streaminfo(const void* data, int64_t size, char* type, int typeSize, char* compression,
                 int compressionSize, int* colours, short* planes, short* bits, int* height, int* width)
{
    decodefailure::clear();
    try {
        ByteSpan bytes;
        if (!entryframe::spanOf(data, size, bytes))
            return 0;
        return answer(bytes, pictureformat::detect(bytes, true),
                      {type, typeSize, compression, compressionSize, width, height, bits, planes, colours});
    } catch (...) {
        return 0;
    }
}

short getinfo(const char* file, short page, int* width, int* height, short* bits, short* pages,
              short* compression)
{
    decodefailure::clear();
    try {
        std::vector<std::uint8_t> data;
        if (!filebytes::read(file, data))
            return -1;
        return tiffPage(ByteSpan{data.data(), data.size()}, page, width, height, bits, pages, compression) ? 1
                                                                                                            : -1;
    } catch (...) {
        return -1;
    }
}

short getinfostream(const void* data, int64_t size, short page, int* width, int* height, short* bits,
                    short* pages, short* compression)
{
    decodefailure::clear();
    try {
        ByteSpan bytes;
        if (!entryframe::spanOf(data, size, bytes))
            return -1;
        return tiffPage(bytes, page, width, height, bits, pages, compression) ? 1 : -1;
    } catch (...) {
        return -1;
    }
}

short lastfailure(char* text, int textSize)
{
    const std::string reason = decodefailure::reason();
    copyText(reason, text, textSize);
    return reason.empty() ? 0 : 1;
}
