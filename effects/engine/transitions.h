#pragma once
// The picture transitions: the prepared picture is copied onto the canvas
// piece by piece, with a pause after each step.

#include "isp2000.h"

namespace isp {

enum class TransitionKind { Horizontal, Vertical, Diagonals, DiagonalSquares, Rectangles };

// 1 when the whole picture was shown, 0 for bad arguments, a failed copy
// or a stop from the canvas.
int runTransition(TransitionKind kind, const IspCanvas* canvas, const IspPicture* picture, int thickness, int delay);

}  // namespace isp
