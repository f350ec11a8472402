#pragma once
// Placing block geometry: the affine map of an INSERT and its action on
// the drawing elements.

#include "dxfdrawing.h"

namespace dxfplacement {

// x' = a x + b y + c, y' = d x + e y + f
struct Affine {
    double a = 1, b = 0, c = 0, d = 0, e = 1, f = 0;

    void apply(double& x, double& y) const;
    // this map after inner: p -> this(inner(p))
    Affine after(const Affine& inner) const;
};

// Block coordinates (relative to base) to the coordinates of the insert.
Affine insertMap(const DxfInsert& insert, double baseX, double baseY);

DxfSegment placed(const DxfSegment& s, const Affine& m);
DxfPoint placed(const DxfPoint& p, const Affine& m);
DxfCurve placed(const DxfCurve& k, const Affine& m);
// The height follows the map across the text, the width factor along it
// and the rotation its direction; a mirrored text is drawn unmirrored.
DxfText placed(const DxfText& t, const Affine& m);

}  // namespace dxfplacement
