#include "piclibtypes.h"

const std::array<const char*, kPicLibTypeCount> PicLibExtensions = {
    "jpg", "jpeg", "png", "tif", "tiff", "gif", "tga", "pcx", "bmp", "dib", "eps", "wmf", "emf", "ico"};

const std::array<const char*, kPicLibTypeCount> PicLibDotExtensions = {
    ".jpg", ".jpeg", ".png", ".tif", ".tiff", ".gif", ".tga", ".pcx", ".bmp", ".dib", ".eps", ".wmf", ".emf", ".ico"};

std::optional<TPicLibType> PicLibTypeOfFile(const QString& fileName)
{
    const int slash = fileName.lastIndexOf('/');
    const int dot = fileName.lastIndexOf('.');
    if (dot < 0 || dot < slash)
        return std::nullopt;
    const QString ext = fileName.mid(dot + 1).toUpper();
    for (int t = 0; t < kPicLibTypeCount; ++t) {
        if (ext == QLatin1String(PicLibExtensions[t]).toString().toUpper())
            return TPicLibType(t);
    }
    return std::nullopt;
}

int PixelFormatCode(int bitsPerPixel)
{
    switch (bitsPerPixel) {
    case 1: return 1;
    case 4: return 2;
    case 8: return 3;
    case 15: return 4;
    case 16: return 5;
    case 24: return 6;
    case 32: return 7;
    default: return 8;
    }
}

int PixelFormatCodeOrDevice(int bitsPerPixel)
{
    const int code = PixelFormatCode(bitsPerPixel);
    return code == 8 ? 0 : code;
}

TPixelFormat PixelFormatOfBits(int bitsPerPixel)
{
    return TPixelFormat(PixelFormatCode(bitsPerPixel));
}

int BitsOfPixelFormat(TPixelFormat format)
{
    switch (format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit: return 15;
    case pf16bit: return 16;
    case pf24bit: return 24;
    case pf32bit: return 32;
    default: return 0;
    }
}
