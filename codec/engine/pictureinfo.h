#pragma once
// What the information entries report about one picture (or TIFF page).

#include <string>

struct PictureInfo {
    std::string type;         // "JPEG", "PNG", "GIF", "BMP", "TIFF", "PCX", "DCX", "TGA"
    std::string compression;  // "JPEG", "Deflate", "LZW", "RGB", "RLE8", "RLE", "None", ...
    int width = 0;
    int height = 0;
    int bits = 0;     // bits per pixel of the file
    int planes = 1;
    int colours = 0;  // entries of the colour table, 0 for true colour
    int pages = 1;
    int tiffCompression = 0;  // TIFF compression code of the page
};
