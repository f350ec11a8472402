#include "undoring.h"

#include "codec/binding/tbitmap.h"

#include <array>

namespace {

struct Ring {
    std::array<TBitmap, 4> snapshots;  // newest, second, third, oldest
    bool available = false;
};

Ring& ring()
{
    static Ring r;
    return r;
}

}  // namespace

void PushUndo(const TBitmap& graphic)
{
    auto& s = ring().snapshots;
    for (std::size_t i = s.size() - 1; i > 0; --i)
        s[i] = s[i - 1];
    s[0] = graphic;
    ring().available = true;
}

void PopUndo(TBitmap& bitmap)
{
    if (!ring().available)
        return;
    auto& s = ring().snapshots;
    bitmap = s[0];
    for (std::size_t i = 0; i + 1 < s.size(); ++i)
        s[i] = s[i + 1];
    s.back().clear();
    ring().available = !s[0].empty();
}

bool UndoAvailable()
{
    return ring().available;
}

void ClearUndo()
{
    for (TBitmap& b : ring().snapshots)
        b.clear();
    ring().available = false;
}
