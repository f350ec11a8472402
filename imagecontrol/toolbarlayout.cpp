#include "toolbarlayout.h"

#include <algorithm>

ToolBarLayout LayoutToolBarButtons(int toolbarWidth, int n, bool aligned)
{
    n = std::max(n, 1);
    ToolBarLayout layout;
    const int base = std::max(toolbarWidth, 0) / n;
    layout.width = aligned ? std::max(toolbarWidth, 0) : n * base;
    const int rest = layout.width - n * base;
    int error = n / 2;
    for (int i = 0; i < n; ++i) {
        int w = base;
        error -= rest;
        if (error < 0) {
            ++w;
            error += n;
        }
        layout.widths.append(w);
    }
    return layout;
}
