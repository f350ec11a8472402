#pragma once
// Pasting one picture into another.

#include "isp2000.h"

namespace isp {

// A copy of target with source pasted at (left, top), clipped to target.
// key: blue, green, red of a colour that is not copied; any value outside
// 0..255 means none. Null unless both are true-colour DIBs.
GlobalHandle dropDib(GlobalHandle target, GlobalHandle source, const int key[3], int top, int left);

}  // namespace isp
