#pragma once
// The parts of an EPS file: a plain PostScript file, or a DOS EPS binary
// file (header C5 D0 D3 C6) that holds a PostScript section and optional
// WMF and TIFF previews.

#include "bytespan.h"

namespace epsstructure {

constexpr std::size_t kDosHeaderBytes = 30;

struct Sections {
    ByteSpan postscript;
    ByteSpan tiff;  // empty when the file has no TIFF preview
    ByteSpan wmf;   // empty when the file has no WMF preview
    bool binaryHeader = false;
};

// Splits the file. False when it is neither form, or when a section of the
// binary header lies outside the file or the PostScript section is empty
// or does not start with "%!".
bool split(ByteSpan file, Sections& out);

// The 30-byte DOS EPS header for sections at these offsets and lengths
// (a length of 0 means no such section); the checksum is FFFF (none).
void writeDosHeader(std::uint8_t* out, std::uint32_t psOffset, std::uint32_t psLength, std::uint32_t wmfOffset,
                    std::uint32_t wmfLength, std::uint32_t tiffOffset, std::uint32_t tiffLength);

}  // namespace epsstructure
