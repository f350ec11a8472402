// The decoding entries of the module.

#include "bmpcodec.h"
#include "entryframe.h"
#include "gifcodec.h"
#include "jpegcodec.h"
#include "pcxcodec.h"
#include "pngcodec.h"
#include "tgacodec.h"
#include "tiffcodec.h"

using entryframe::deliverFile;
using entryframe::deliverStream;

namespace entryframe {

bool spanOf(const void* data, std::int64_t size, ByteSpan& out)
{
    if (!data || size <= 0 || static_cast<std::uint64_t>(size) > filebytes::kMaxFileBytes)
        return false;
    out = ByteSpan{static_cast<const std::uint8_t*>(data), static_cast<std::size_t>(size)};
    return true;
}

}  // namespace entryframe

// ---- from a file ----------------------------------------------------------

short rdjpgfiledib(const char* file, short bits, short dither, short scale, GlobalHandle* dib, PaletteHandle,
                   void* sender, ProgressCallback cb, int)
{
    DecodeRequest request(bits, dither, cb, sender);
    return deliverFile(file, PictureFormat::Jpeg, dib, request,
                       [&](ByteSpan b) { return jpegcodec::decode(b, request, scale); });
}

short rdbmpfiledib(const char* file, short bits, short dither, GlobalHandle* dib, PaletteHandle, void* sender,
                   ProgressCallback cb, int)
{
    DecodeRequest request(bits, dither, cb, sender);
    return deliverFile(file, PictureFormat::Bmp, dib, request,
                       [&](ByteSpan b) { return bmpcodec::decode(b, request); });
}

short rdpngfiledib(const char* file, short bits, short dither, GlobalHandle* dib, PaletteHandle, void* sender,
                   ProgressCallback cb, int)
{
    DecodeRequest request(bits, dither, cb, sender);
    return deliverFile(file, PictureFormat::Png, dib, request,
                       [&](ByteSpan b) { return pngcodec::decode(b, request); });
}

short rdgiffiledib(const char* file, short bits, short dither, GlobalHandle* dib, PaletteHandle, void* sender,
                   ProgressCallback cb, int)
{
    DecodeRequest request(bits, dither, cb, sender);
    return deliverFile(file, PictureFormat::Gif, dib, request,
                       [&](ByteSpan b) { return gifcodec::decode(b, request); });
}

short rdpcxfiledib(const char* file, short bits, short dither, GlobalHandle* dib, PaletteHandle, void* sender,
                   ProgressCallback cb, int)
{
    DecodeRequest request(bits, dither, cb, sender);
    return deliverFile(file, PictureFormat::Pcx, dib, request,
                       [&](ByteSpan b) { return pcxcodec::decode(b, request); });
}

short readtgafiledib(const char* file, short bits, short dither, GlobalHandle* dib, PaletteHandle, void* sender,
                     ProgressCallback cb, int)
{
    DecodeRequest request(bits, dither, cb, sender);
    return deliverFile(file, PictureFormat::Tga, dib, request,
                       [&](ByteSpan b) { return tgacodec::decode(b, request); });
}

short readtiffiledib(const char* file, short bits, short dither, short page, GlobalHandle* dib, PaletteHandle,
                     void* sender, ProgressCallback cb, int)
{
    DecodeRequest request(bits, dither, cb, sender);
    return deliverFile(file, PictureFormat::Tiff, dib, request,
                       [&](ByteSpan b) { return tiffcodec::decode(b, page, request); });
}

// ---- from memory ------------------------------------------------------------

short rdjpgstreamdib(const void* data, int64_t size, short bits, short dither, short scale, GlobalHandle* dib,
                     void* sender, ProgressCallback cb, int)
{
    DecodeRequest request(bits, dither, cb, sender);
    return deliverStream(data, size, PictureFormat::Jpeg, dib, request,
                         [&](ByteSpan b) { return jpegcodec::decode(b, request, scale); });
}

short rdbmpstreamdib(const void* data, int64_t size, short bits, short dither, GlobalHandle* dib, void* sender,
                     ProgressCallback cb, int)
{
    DecodeRequest request(bits, dither, cb, sender);
    return deliverStream(data, size, PictureFormat::Bmp, dib, request,
                         [&](ByteSpan b) { return bmpcodec::decode(b, request); });
}

short rdpngstreamdib(const void* data, int64_t size, short bits, short dither, GlobalHandle* dib, void* sender,
                     ProgressCallback cb, int)
{
    DecodeRequest request(bits, dither, cb, sender);
    return deliverStream(data, size, PictureFormat::Png, dib, request,
                         [&](ByteSpan b) { return pngcodec::decode(b, request); });
}

short rdgifstreamdib(const void* data, int64_t size, short bits, short dither, GlobalHandle* dib, void* sender,
                     ProgressCallback cb, int)
{
    DecodeRequest request(bits, dither, cb, sender);
    return deliverStream(data, size, PictureFormat::Gif, dib, request,
                         [&](ByteSpan b) { return gifcodec::decode(b, request); });
}

short rdpcxstreamdib(const void* data, int64_t size, short bits, short dither, GlobalHandle* dib, void* sender,
                     ProgressCallback cb, int)
{
    DecodeRequest request(bits, dither, cb, sender);
    return deliverStream(data, size, PictureFormat::Pcx, dib, request,
                         [&](ByteSpan b) { return pcxcodec::decode(b, request); });
}

short rddcxstreamdib(const void* data, int64_t size, short bits, short dither, short page, GlobalHandle* dib,
                     void* sender, ProgressCallback cb, int)
{
    DecodeRequest request(bits, dither, cb, sender);
    return deliverStream(data, size, PictureFormat::Dcx, dib, request,
                         [&](ByteSpan b) { return pcxcodec::decodeDcx(b, page, request); });
}

short readtgafilestreamdib(const void* data, int64_t size, short bits, short dither, GlobalHandle* dib,
                           void* sender, ProgressCallback cb, int)
{
    DecodeRequest request(bits, dither, cb, sender);
    return deliverStream(data, size, PictureFormat::Tga, dib, request,
                         [&](ByteSpan b) { return tgacodec::decode(b, request); });
}

short readtiffiledibstream(const void* data, int64_t size, short bits, short dither, short page,
                           GlobalHandle* dib, void* sender, ProgressCallback cb, int)
{
    DecodeRequest request(bits, dither, cb, sender);
    return deliverStream(data, size, PictureFormat::Tiff, dib, request,
                         [&](ByteSpan b) { return tiffcodec::decode(b, page, request); });
}
