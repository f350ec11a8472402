#include "openfilter.h"

#include <array>

namespace {

struct MediaEntry {
    const char* ext;
    const char* pair;
};

constexpr std::array<MediaEntry, 5> kMedia = {{
    {"WAV", "|Wave Sound    (WAV) |*.WAV"},
    {"MID", "|Midi Sound    (MID) |*.MID"},
    {"RMI", "|RMI Sound    (RMI) |*.RMI"},
    {"AVI", "|Video for Windows    (AVI) |*.AVI"},
    {"MOV", "|Apple Quicktime Video    (MOV) |*.MOV"},
}};

bool listed(const QStringList& mediaTypes, const char* ext)
{
    return mediaTypes.contains(QLatin1String(ext), Qt::CaseInsensitive);
}

}  // namespace

QString OpenDialogFilter(const QStringList& mediaTypes)
{
    QString filter = QStringLiteral(
        "All Supported Media Formats|*.BMP;*.CMS;*.GIF;*.JPG;*.PCX;*.PNG;*.SCM;*.TIF;*.PCD;*.EMF;*.WMF;*.TGA;");
    for (const MediaEntry& m : kMedia) {
        if (listed(mediaTypes, m.ext))
            filter += QStringLiteral("*.%1;").arg(QLatin1String(m.ext));
    }
    filter += QStringLiteral(
        "|Windows Bitmap    (BMP) |*.BMP"
        "|Credit Message    (CMS) |*.CMS"
        "|Compuserve Gif    (GIF) |*.GIF"
        "|Jpeg    (JPG) |*.JPG"
        "|PaintShop Pro    (PCX) |*.PCX"
        "|Portable Graphics    (PNG) |*.PNG"
        "|Scrolling Message    (SCM) |*.SCM"
        "|Tagged Image    (TIF) |*.TIF"
        "|Kodak Photo CD    (PCD) |*.PCD"
        "|Windows Metafile    (WMF) |*.WMF"
        "|Enhanced Metafile    (EMF) |*.EMF"
        "|Targe Image    (TGA) |*.TGA");
    for (const MediaEntry& m : kMedia) {
        if (listed(mediaTypes, m.ext))
            filter += QLatin1String(m.pair);
    }
    return filter;
}
