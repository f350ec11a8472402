#include "tiffnames.h"

#include <array>

namespace {

constexpr std::array<TiffTagInfo, 50> kTags = {{
    {254, "NEWSUBFILETYPE", false},
    {255, "FILETYPE", true},
    {256, "IMAGEWIDTH", false},
    {257, "IMAGELENGTH", false},
    {258, "BITSPERSAMPLE", false},
    {259, "COMPRESSION", false},
    {262, "PHOTOMETRICINTERPRETATION", false},
    {263, "THRESHHOLDING", true},
    {264, "CELLWIDTH", true},
    {265, "CELLLENGTH", true},
    {266, "FILLORDER", false},
    {269, "DOCUMENTNAME", true},
    {270, "IMAGEDESCRIPTION", true},
    {271, "MAKE", true},
    {272, "MODEL", true},
    {273, "STRIPOFFSETS", false},
    {274, "ORIENTATION", true},
    {277, "SAMPLESPERPIXEL", false},
    {278, "ROWSPERSTRIP", false},
    {279, "STRIPBYTECOUNTS", false},
    {280, "MINIMUMVALUE", true},
    {281, "MAXIMUMVALUE", true},
    {282, "XRESOLUTION", true},
    {283, "YRESOLUTION", true},
    {284, "PLANARCONFIG", true},
    {285, "PAGENAME", false},
    {286, "XPOSITION", true},
    {287, "YPOSITION", true},
    {288, "FREEOFFSETS", false},
    {289, "FREEBYTECOUNTS", false},
    {290, "GRAYRESPONSEUNITS", true},
    {291, "GRAYSCALERRESPONSE", true},
    {292, "GROUP3OPTIONS", false},
    {293, "GROUP4OPTIONS", false},
    {296, "RESOLUTIONUNIT", true},
    {297, "PAGENUMBER", true},
    {300, "COLORRESPONSEUNIT", true},
    {301, "COLORRESPONSECURVES", true},
    {305, "SOFTWARE", true},
    {306, "DATETIME", true},
    {315, "ARTIST", true},
    {316, "HOSTCOMPUTER", true},
    {317, "PREDICTOR", true},
    {320, "COLORMAP", false},
    {322, "TILEWIDTH", false},
    {323, "TILELENGTH", false},
    {324, "TILEOFFSETS", false},
    {325, "TILEBYTECOUNTS", false},
    {327, "CLEANFAXDATA", false},
    {33432, "COPYRIGHT", true},
}};

}  // namespace

int TiffCompressionCode(TTiffCompression compression)
{
    switch (compression) {
    case sNONE: return 1;
    case sCCITT: return 2;
    case sFAXCCITT3: return 3;
    case sFAXCCITT4: return 4;
    case sLZW: return 5;
    case sPACKBITS: return 32773;
    }
    return 1;
}

QString TiffCompressionName(int code)
{
    switch (code) {
    case 1: return QStringLiteral("NONE");
    case 2: return QStringLiteral("CCITT3");
    case 3: return QStringLiteral("FAXCCITT3");
    case 4: return QStringLiteral("FAXCCITT4");
    case 5: return QStringLiteral("LZW");
    case 32773:
    case -32763:
    case 32763: return QStringLiteral("PACKBITS");
    default: return QStringLiteral("Unbekannt");
    }
}

QString ShownCompressionName(const QString& moduleName)
{
    return moduleName == QLatin1String("UNKNOWN") ? QStringLiteral("Unbekannt") : moduleName;
}

TiffTagInfo TiffTagLookup(quint16 tag)
{
    for (const TiffTagInfo& row : kTags) {
        if (row.tag == tag)
            return row;
    }
    return {tag, "Unknown", false};
}

const TiffTagInfo* TiffTagTable(int* count)
{
    if (count)
        *count = int(kTags.size());
    return kTags.data();
}
