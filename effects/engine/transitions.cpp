#include "transitions.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace isp {

namespace {

struct Piece {
    int x, y, w, h;
};
using Step = std::vector<Piece>;

// Indices 0, 2, 4 ... ascending, then 1, 3, 5 ... descending.
std::vector<int> skipOrder(int count)
{
    std::vector<int> order;
    for (int i = 0; i < count; i += 2)
        order.push_back(i);
    for (int i = count - 1 - (count % 2 == 0 ? 0 : 1); i >= 1; i -= 2)
        order.push_back(i);
    return order;
}

std::vector<Step> strips(int w, int h, int t, bool horizontal)
{
    const int length = horizontal ? h : w;
    const int count = (length + t - 1) / t;
    std::vector<Step> steps;
    for (int i : skipOrder(count)) {
        const int from = i * t, size = std::min(t, length - from);
        steps.push_back({horizontal ? Piece{0, from, w, size} : Piece{from, 0, size, h}});
    }
    return steps;
}

Piece cell(int i, int j, int w, int h, int t)
{
    return Piece{i * t, j * t, std::min(t, w - i * t), std::min(t, h - j * t)};
}

std::vector<Step> diagonals(int w, int h, int t)
{
    const int cols = (w + t - 1) / t, rows = (h + t - 1) / t;
    std::vector<Step> steps;
    for (int band : skipOrder(cols + rows - 1)) {
        Step s;
        for (int j = std::max(0, band - cols + 1); j <= std::min(rows - 1, band); ++j)
            s.push_back(cell(band - j, j, w, h, t));
        steps.push_back(std::move(s));
    }
    return steps;
}

std::vector<Step> chessboard(int w, int h, int t)
{
    const int cols = (w + t - 1) / t, rows = (h + t - 1) / t;
    std::vector<Step> steps;
    for (int colour = 0; colour < 2; ++colour)
        for (int j = 0; j < rows; ++j) {
            Step s;
            for (int i = (j + colour) % 2; i < cols; i += 2)
                s.push_back(cell(i, j, w, h, t));
            steps.push_back(std::move(s));
        }
    return steps;
}

std::vector<Step> rings(int w, int h)
{
    constexpr int kRings = 20;
    // box k: the centred rectangle k / kRings of the picture's size
    const auto left = [&](int k) { return int(std::int64_t(w) * (kRings - k) / (2 * kRings)); };
    const auto top = [&](int k) { return int(std::int64_t(h) * (kRings - k) / (2 * kRings)); };
    std::vector<Step> steps;
    for (int k : skipOrder(kRings)) {
        const int ol = left(k + 1), ot = top(k + 1), orr = w - ol, ob = h - ot;
        if (k == 0) {
            steps.push_back({Piece{ol, ot, orr - ol, ob - ot}});
            continue;
        }
        const int il = left(k), it = top(k), ir = w - il, ib = h - it;
        steps.push_back({Piece{ol, ot, orr - ol, it - ot}, Piece{ol, ib, orr - ol, ob - ib},
                         Piece{ol, it, il - ol, ib - it}, Piece{ir, it, orr - ir, ib - it}});
    }
    return steps;
}

}  // namespace

int runTransition(TransitionKind kind, const IspCanvas* canvas, const IspPicture* picture, int thickness, int delay)
{
    if (!canvas || !canvas->blit || !picture || picture->width <= 0 || picture->height <= 0)
        return 0;
    const int w = picture->width, h = picture->height;
    const int t = std::clamp(thickness, 1, std::max(w, h));
    std::vector<Step> steps;
    switch (kind) {
    case TransitionKind::Horizontal: steps = strips(w, h, t, true); break;
    case TransitionKind::Vertical: steps = strips(w, h, t, false); break;
    case TransitionKind::Diagonals: steps = diagonals(w, h, t); break;
    case TransitionKind::DiagonalSquares: steps = chessboard(w, h, t); break;
    case TransitionKind::Rectangles: steps = rings(w, h); break;
    }
    for (const Step& step : steps) {
        for (const Piece& p : step) {
            if (p.w > 0 && p.h > 0 && !canvas->blit(canvas->context, picture->bitmap, p.x, p.y, p.w, p.h))
                return 0;
        }
        if (canvas->wait && !canvas->wait(canvas->context, std::max(0, delay)))
            return 0;
    }
    return 1;
}

}  // namespace isp
