#include "pictureformat.h"

#include <cstring>
#include <strings.h>

#include "tgacodec.h"

namespace pictureformat {

namespace {

bool startsWith(ByteSpan b, const char* magic, std::size_t n)
{
    return b.size >= n && std::memcmp(b.data, magic, n) == 0;
}

}  // namespace

PictureFormat detect(ByteSpan b, bool tgaAllowed)
{
    if (b.size >= 3 && b.data[0] == 0xFF && b.data[1] == 0xD8 && b.data[2] == 0xFF)
        return PictureFormat::Jpeg;
    if (startsWith(b, "\x89PNG\r\n\x1a\n", 8))
        return PictureFormat::Png;
    if (startsWith(b, "GIF87a", 6) || startsWith(b, "GIF89a", 6))
        return PictureFormat::Gif;
    if (startsWith(b, "BM", 2) && b.size >= 18)
        return PictureFormat::Bmp;
    if (startsWith(b, "II*\0", 4) || startsWith(b, "MM\0*", 4))
        return PictureFormat::Tiff;
    if (startsWith(b, "\xB1\x68\xDE\x3A", 4))
        return PictureFormat::Dcx;
    if (b.size >= 128 && b.data[0] == 0x0A && b.data[1] <= 5 && b.data[2] <= 1 &&
        (b.data[3] == 1 || b.data[3] == 2 || b.data[3] == 4 || b.data[3] == 8))
        return PictureFormat::Pcx;
    if (tgaAllowed && tgacodec::plausible(b))
        return PictureFormat::Tga;
    return PictureFormat::Unknown;
}

bool hasTgaExtension(const char* fileName)
{
    if (!fileName)
        return false;
    const char* dot = std::strrchr(fileName, '.');
    return dot && strcasecmp(dot, ".tga") == 0;
}

}  // namespace pictureformat
