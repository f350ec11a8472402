#pragma once
// Widths of the visible toolbar buttons: the toolbar's width shared evenly,
// the pixels left over spread one each over the strip.

#include <QList>

struct ToolBarLayout {
    int width = 0;      // the toolbar's width after the layout
    QList<int> widths;  // one per visible button, left to right
};

// n visible buttons (at least 1) on a toolbar of the given width. An
// aligned toolbar keeps its width and spreads the rest; an unaligned one is
// cut to n times the base width.
ToolBarLayout LayoutToolBarButtons(int toolbarWidth, int n, bool aligned);
