#pragma once
// The EXIF orientation of a photo (tag 0x0112 of the first image directory
// in an APP1 "Exif" block) and turning a decoded picture upright by it.

#include <cstddef>
#include <cstdint>

#include "platform/globalmem.h"

namespace exiforientation {

// 1..8 as EXIF numbers them; 1 (as stored) when the block holds no valid
// orientation. block is the APP1 payload, starting with "Exif\0\0".
int read(const std::uint8_t* block, std::size_t size);

// True for the orientations that swap width and height (5 to 8).
bool swapsSides(int orientation);

// The picture turned and mirrored so that it shows upright: a new 8, 24 or
// 32-bit DIB, or natural itself for orientation 1. Takes ownership of
// natural; null on failure.
GlobalHandle upright(GlobalHandle natural, int orientation);

}  // namespace exiforientation
