#include "dibfixtures.h"

#include <cstring>

namespace fixtures {

namespace {

struct Locked {
    explicit Locked(GlobalHandle h) : h(h), view(dibcore::lockView(h)) {}
    ~Locked() { globalmem::unlock(h); }
    GlobalHandle h;
    dibcore::DibView view;
};

}  // namespace

GlobalHandle makeDib(int width, int height, int bits, const std::function<QRgb(int x, int y)>& colour)
{
    GlobalHandle h = dibcore::allocDib(width, height, bits);
    Locked l(h);
    const int bpp = bits / 8;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = l.view.mutableRow(y);
        for (int x = 0; x < width; ++x) {
            const QRgb c = colour(x, y);
            std::uint8_t* p = row + std::size_t(x) * bpp;
            p[0] = static_cast<std::uint8_t>(qBlue(c));
            p[1] = static_cast<std::uint8_t>(qGreen(c));
            p[2] = static_cast<std::uint8_t>(qRed(c));
            if (bpp == 4)
                p[3] = static_cast<std::uint8_t>(qAlpha(c));
        }
    }
    return h;
}

GlobalHandle makeIndexedDib(int width, int height, int bits, const dibcore::Palette& palette,
                            const std::function<int(int x, int y)>& index)
{
    GlobalHandle h = dibcore::allocDib(width, height, bits, palette);
    Locked l(h);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            dibcore::setIndex(l.view.mutableRow(y), x, bits, static_cast<unsigned>(index(x, y)));
    return h;
}

GlobalHandle patterned(int width, int height, int bits)
{
    return makeDib(width, height, bits, [](int x, int y) {
        return qRgba((x * 37 + y * 11) % 256, (x * 5 + y * 29 + 40) % 256, (x * x + y * 3) % 256, 0x5A);
    });
}

QRgb pixel(GlobalHandle dib, int x, int y)
{
    Locked l(dib);
    const std::uint8_t* row = l.view.row(y);
    const int bits = l.view.bitCount();
    if (bits <= 8) {
        const dibcore::RgbQuad c = l.view.color(static_cast<int>(dibcore::DibView::indexAt(row, x, bits)));
        return qRgb(c.red, c.green, c.blue);
    }
    const std::uint8_t* p = row + std::size_t(x) * (bits / 8);
    return qRgb(p[2], p[1], p[0]);
}

int spareByte(GlobalHandle dib, int x, int y)
{
    Locked l(dib);
    return l.view.row(y)[std::size_t(x) * 4 + 3];
}

int bitCount(GlobalHandle dib)
{
    Locked l(dib);
    return l.view.valid() ? l.view.bitCount() : 0;
}

int width(GlobalHandle dib)
{
    Locked l(dib);
    return l.view.width();
}

int height(GlobalHandle dib)
{
    Locked l(dib);
    return l.view.height();
}

dibcore::Palette palette(GlobalHandle dib)
{
    Locked l(dib);
    dibcore::Palette p;
    for (int i = 0; i < l.view.colorCount(); ++i)
        p.push_back(l.view.colorTable()[i]);
    return p;
}

bool samePixels(GlobalHandle a, GlobalHandle b, int left, int top, int right, int bottom, bool inside)
{
    if (width(a) != width(b) || height(a) != height(b))
        return false;
    for (int y = 0; y < height(a); ++y)
        for (int x = 0; x < width(a); ++x) {
            const bool in = x >= left && x < right && y >= top && y < bottom;
            if (in == inside && pixel(a, x, y) != pixel(b, x, y))
                return false;
        }
    return true;
}

int differingPixels(GlobalHandle a, GlobalHandle b)
{
    int n = 0;
    for (int y = 0; y < height(a); ++y)
        for (int x = 0; x < width(a); ++x)
            n += pixel(a, x, y) != pixel(b, x, y) ? 1 : 0;
    return n;
}

double mean(GlobalHandle dib, int channel)
{
    double sum = 0;
    for (int y = 0; y < height(dib); ++y)
        for (int x = 0; x < width(dib); ++x) {
            const QRgb c = pixel(dib, x, y);
            sum += channel == 0 ? qBlue(c) : (channel == 1 ? qGreen(c) : qRed(c));
        }
    return sum / (double(width(dib)) * height(dib));
}

bool sameBytes(GlobalHandle a, GlobalHandle b)
{
    const std::size_t n = globalmem::size(a);
    if (n != globalmem::size(b))
        return false;
    const bool same = std::memcmp(globalmem::lock(a), globalmem::lock(b), n) == 0;
    globalmem::unlock(a);
    globalmem::unlock(b);
    return same;
}

Owned::~Owned()
{
    reset();
}

void Owned::reset(GlobalHandle h)
{
    if (h_ && h_ != h) {
        while (globalmem::unlock(h_)) {
        }
        globalmem::free(h_);
    }
    h_ = h;
}

}  // namespace fixtures
