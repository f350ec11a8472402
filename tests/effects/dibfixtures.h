#pragma once
// Pictures for the effect tests: packed DIBs made here, read back pixel by
// pixel.

#include "dibcore/dibcore.h"
#include "platform/globalmem.h"

#include <QRgb>
#include <functional>

namespace fixtures {

// A DIB of bits 24 or 32 whose pixel (x, y) (top row 0) is colour(x, y).
GlobalHandle makeDib(int width, int height, int bits, const std::function<QRgb(int x, int y)>& colour);
// A 1-, 4- or 8-bit DIB: palette entries and the index of each pixel.
GlobalHandle makeIndexedDib(int width, int height, int bits, const dibcore::Palette& palette,
                            const std::function<int(int x, int y)>& index);
// A busy picture: every pixel differs from its neighbours.
GlobalHandle patterned(int width, int height, int bits = 24);

QRgb pixel(GlobalHandle dib, int x, int y);
// The fourth byte of a 32-bit pixel.
int spareByte(GlobalHandle dib, int x, int y);
int bitCount(GlobalHandle dib);
int width(GlobalHandle dib);
int height(GlobalHandle dib);
// The colour table of a palette picture.
dibcore::Palette palette(GlobalHandle dib);
// Whether the two pictures have the same size and colours everywhere
// outside (or, with inside, inside) the rectangle.
bool samePixels(GlobalHandle a, GlobalHandle b, int left = 0, int top = 0, int right = 0, int bottom = 0,
                bool inside = false);
int differingPixels(GlobalHandle a, GlobalHandle b);
// Mean of one channel (0 blue, 1 green, 2 red) over the picture.
double mean(GlobalHandle dib, int channel);
bool sameBytes(GlobalHandle a, GlobalHandle b);

// Frees the handle on every way out.
class Owned {
public:
    explicit Owned(GlobalHandle h = nullptr) : h_(h) {}
    ~Owned();
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    GlobalHandle get() const { return h_; }
    GlobalHandle& ref() { return h_; }
    void reset(GlobalHandle h = nullptr);

private:
    GlobalHandle h_;
};

}  // namespace fixtures
