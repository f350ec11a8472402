#pragma once
// Draws a DxfDrawing black on white (entity colours kept) into a 24-bit
// DIB: one-pixel lines, the y axis pointing up, the extents scaled
// uniformly to fit the picture less a margin of 2% of its longer side (at
// most a quarter of its shorter side) and centred.
//
// Extents: those of the entities; the header's $EXTMIN/$EXTMAX are joined
// to them when the two overlap (a header box apart from every entity is
// stale and ignored). A drawing without entities is not drawn.
//
// Own size: the longer side of the extents becomes 1024 pixels, the other
// side keeps the proportion but is at least 16 pixels.

#include <cstdint>
#include <functional>

#include "dxfdrawing.h"
#include "platform/globalmem.h"

namespace dxfrenderer {

constexpr int kOwnLongSide = 1024;
constexpr int kOwnShortSide = 16;
// Drawing work after which a drawing is refused: each line costs
// kStepsPerLine plus one step per pixel it runs over inside the picture.
constexpr std::uint64_t kMaxSteps = 200000000;
constexpr std::uint64_t kStepsPerLine = 32;

using Progress = std::function<bool(int percent)>;

// The picture size for a requested one: 0, 0 gives the own size, one side 0
// follows the drawing's proportion. False for an empty drawing or a
// negative size.
bool pictureSize(const DxfDrawing& drawing, int requestedWidth, int requestedHeight, int& width, int& height);

// Null for an empty drawing, a bad size, a picture over the limit, too much
// drawing work or a stop.
GlobalHandle render(const DxfDrawing& drawing, int width, int height, const Progress& progress = {});

}  // namespace dxfrenderer
