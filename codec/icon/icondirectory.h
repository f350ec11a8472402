#pragma once
// The directory of an icon file (ICO): a 6-byte header and one 16-byte
// entry per picture, each pointing at a BMP-style DIB (XOR rows followed by
// an AND mask) or a PNG file.

#include <QByteArray>
#include <QList>

#include <cstdint>

struct IconEntry {
    int index = 0;
    // As the directory states them; a 0 width or height byte means 256.
    int width = 0;
    int height = 0;
    std::uint16_t colorsField = 0;  // the colour-count byte and the byte after it
    int bitCountField = 0;
    std::uint32_t bytes = 0;
    std::uint32_t offset = 0;
    // As the picture's own header states them.
    bool png = false;
    int imageWidth = 0;
    int imageHeight = 0;
    int imageBits = 0;
    int imageColors = 0;  // colour-table entries of a DIB picture
};

namespace icondirectory {

constexpr int kHeaderSize = 6;
constexpr int kEntrySize = 16;
// Largest picture an entry may hold, per side.
constexpr int kLargestSide = 16384;
// Entries read at the most; a directory may claim 65535.
constexpr int kMostEntries = 1024;

// The entries whose data lies inside the file, whose picture header is sound
// and whose picture those bytes can hold (dibcore::fitsSource); entries
// that do not are left out. error says why none is left.
QList<IconEntry> read(const QByteArray& file, QString* error);

// The first directory entry's bytes as stored at offset 6: width byte,
// height byte and the colour-count byte read with the byte after it as one
// 16-bit value. False when the file is shorter than that.
bool firstEntryFields(const QByteArray& file, int& widthByte, int& heightByte, std::uint16_t& colors);

}  // namespace icondirectory
