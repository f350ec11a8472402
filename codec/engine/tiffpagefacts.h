#pragma once
// The tags of the current TIFF page the decoders go by, with TIFF 6.0's
// defaults.

#include <cstdint>

#include <tiffio.h>

struct PageFacts {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint16_t bitsPerSample = 1;
    std::uint16_t samples = 1;
    std::uint16_t photometric = PHOTOMETRIC_MINISWHITE;
    std::uint16_t compression = COMPRESSION_NONE;
    std::uint16_t orientation = ORIENTATION_TOPLEFT;
    std::uint16_t sampleFormat = SAMPLEFORMAT_UINT;
    std::uint16_t planar = PLANARCONFIG_CONTIG;
};

// Without a photometric tag: RGB for three samples or more, else grey.
PageFacts readFacts(TIFF* tif);
