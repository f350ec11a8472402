#pragma once
// Enhanced Metafiles written and read by libEMF, a writer independent of
// ours, for cross-checks. Kept apart from Qt: libEMF brings the Windows
// declarations along.

#include <string>

namespace libemf {

// Hundredths of a millimetre for pixels at 96 dots per inch.
int himetric(int pixels);

// A 200 x 100 picture drawn in MM_HIMETRIC (y up), with the contents the
// tests look for: a red rectangle (10, 10)-(60, 40), a blue ellipse in
// (80, 10)-(140, 70), a green triangle (150, 60) (190, 60) (170, 95), a
// black 3-pixel line (10, 80)-(60, 80), all in pixels from the top left.
bool writeShapes(const std::string& path);

// A 200 x 100 picture with two texts of 30-pixel Liberation Sans at
// (10, 10) and (10, 55): the first text UTF-16 from ExtTextOutW, the
// second the same text as a different string for comparison.
bool writeText(const std::string& path, const std::u16string& first, const std::u16string& second);

// A 200 x 100 picture in MM_TEXT whose world transform turns a red
// 40 x 20 rectangle drawn at the origin by 90 degrees and moves it to
// (100, 30) on the reference device.
bool writeWorldTransform(const std::string& path);

struct HeaderFacts {
    bool read = false;
    int bounds[4] = {};
    int frame[4] = {};  // hundredths of a millimetre
    int device[2] = {};
    int millimetres[2] = {};
};

// The header of a file as libEMF reads it; read is false when libEMF
// refuses the file.
HeaderFacts readHeader(const std::string& path);

}  // namespace libemf
