#include "palette.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <unordered_set>

#include "dibview.h"

namespace dibcore {

Palette greyPalette(int n)
{
    if (n < 2)
        n = 2;
    if (n > 256)
        n = 256;
    Palette p;
    p.reserve(std::size_t(n));
    for (int i = 0; i < n; ++i) {
        const int v = (i * 255 + (n - 1) / 2) / (n - 1);
        p.push_back(rgb(v, v, v));
    }
    return p;
}

Palette monoPalette()
{
    return {rgb(0, 0, 0), rgb(255, 255, 255)};
}

Palette vgaPalette()
{
    return {rgb(0, 0, 0),       rgb(128, 0, 0),   rgb(0, 128, 0),   rgb(128, 128, 0),
            rgb(0, 0, 128),     rgb(128, 0, 128), rgb(0, 128, 128), rgb(192, 192, 192),
            rgb(128, 128, 128), rgb(255, 0, 0),   rgb(0, 255, 0),   rgb(255, 255, 0),
            rgb(0, 0, 255),     rgb(255, 0, 255), rgb(0, 255, 255), rgb(255, 255, 255)};
}

Palette halftonePalette()
{
    Palette p;
    p.reserve(256);
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                p.push_back(rgb(r * 51, g * 51, b * 51));
    // 40 greys between the cube's grey steps
    for (int i = 0; i < 40; ++i) {
        const int v = 5 + i * 250 / 39;
        p.push_back(rgb(v, v, v));
    }
    return p;
}

bool isGreyPalette(const Palette& palette)
{
    return std::all_of(palette.begin(), palette.end(),
                       [](const RgbQuad& q) { return q.red == q.green && q.green == q.blue; });
}

int nearestIndex(const Palette& palette, int r, int g, int b)
{
    int best = 0;
    long bestDistance = -1;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const long dr = r - palette[i].red;
        const long dg = g - palette[i].green;
        const long db = b - palette[i].blue;
        const long d = dr * dr * 3 + dg * dg * 4 + db * db * 2;
        if (bestDistance < 0 || d < bestDistance) {
            bestDistance = d;
            best = static_cast<int>(i);
            if (d == 0)
                break;
        }
    }
    return best;
}

namespace {

// Median cut over a 5-bit-per-channel histogram.
struct Bin {
    std::uint16_t key;  // 15-bit cell
    std::uint32_t count;
    std::uint64_t r, g, b;
};

struct Box {
    std::size_t begin, end;  // range in the bin list
    std::uint64_t count;
    int longest;  // channel 0..2 with the widest range
    int extent;
};

int channel(const Bin& bin, int c)
{
    return (bin.key >> (10 - 5 * c)) & 31;
}

void measure(Box& box, const std::vector<Bin>& bins)
{
    int lo[3] = {31, 31, 31};
    int hi[3] = {0, 0, 0};
    box.count = 0;
    for (std::size_t i = box.begin; i < box.end; ++i) {
        box.count += bins[i].count;
        for (int c = 0; c < 3; ++c) {
            lo[c] = std::min(lo[c], channel(bins[i], c));
            hi[c] = std::max(hi[c], channel(bins[i], c));
        }
    }
    box.longest = 0;
    box.extent = -1;
    for (int c = 0; c < 3; ++c) {
        if (hi[c] - lo[c] > box.extent) {
            box.extent = hi[c] - lo[c];
            box.longest = c;
        }
    }
}

}  // namespace

namespace {

// Two k-means steps over the histogram: each cell goes to its nearest
// colour, each colour moves to the mean of its cells.
void refine(Palette& palette, const std::vector<Bin>& bins)
{
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<std::array<std::uint64_t, 4>> sums(palette.size(), {0, 0, 0, 0});
        for (const Bin& bin : bins) {
            const int r = int(bin.r / bin.count), g = int(bin.g / bin.count), b = int(bin.b / bin.count);
            auto& s = sums[std::size_t(nearestIndex(palette, r, g, b))];
            s[0] += bin.count;
            s[1] += bin.r;
            s[2] += bin.g;
            s[3] += bin.b;
        }
        for (std::size_t i = 0; i < palette.size(); ++i) {
            const std::uint64_t n = sums[i][0];
            if (n)
                palette[i] = rgb(int((sums[i][1] + n / 2) / n), int((sums[i][2] + n / 2) / n),
                                 int((sums[i][3] + n / 2) / n));
        }
    }
}

}  // namespace

bool exactPalette(const DibView& src, int maxColors, Palette& out)
{
    if (!src.valid() || src.bitCount() != 24 || src.isRle() || maxColors < 1)
        return false;
    std::unordered_set<std::uint32_t> seen;
    for (int y = 0; y < src.height(); ++y) {
        const std::uint8_t* row = src.row(y);
        for (int x = 0; x < src.width(); ++x) {
            const std::uint8_t* px = row + 3 * std::size_t(x);
            seen.insert((std::uint32_t(px[2]) << 16) | (std::uint32_t(px[1]) << 8) | px[0]);
            if (seen.size() > std::size_t(maxColors))
                return false;
        }
    }
    std::vector<std::uint32_t> sorted(seen.begin(), seen.end());
    std::sort(sorted.begin(), sorted.end());
    out.clear();
    for (std::uint32_t c : sorted)
        out.push_back(rgb(int(c >> 16) & 255, int(c >> 8) & 255, int(c) & 255));
    return true;
}

bool isGreyPicture(const DibView& src)
{
    if (!src.valid() || src.bitCount() != 24 || src.isRle())
        return false;
    for (int y = 0; y < src.height(); ++y) {
        const std::uint8_t* row = src.row(y);
        for (int x = 0; x < src.width(); ++x) {
            const std::uint8_t* px = row + 3 * std::size_t(x);
            if (px[0] != px[1] || px[1] != px[2])
                return false;
        }
    }
    return true;
}

Palette optimalPalette(const DibView& src, int maxColors)
{
    Palette out;
    if (!src.valid() || src.bitCount() != 24 || src.isRle() || maxColors < 1)
        return out;
    if (exactPalette(src, maxColors, out))
        return out;

    std::vector<Bin> cells(1 << 15);
    for (std::size_t i = 0; i < cells.size(); ++i)
        cells[i] = Bin{static_cast<std::uint16_t>(i), 0, 0, 0, 0};
    for (int y = 0; y < src.height(); ++y) {
        const std::uint8_t* row = src.row(y);
        for (int x = 0; x < src.width(); ++x) {
            const std::uint8_t* px = row + 3 * std::size_t(x);
            const int key = ((px[2] >> 3) << 10) | ((px[1] >> 3) << 5) | (px[0] >> 3);
            Bin& bin = cells[std::size_t(key)];
            ++bin.count;
            bin.r += px[2];
            bin.g += px[1];
            bin.b += px[0];
        }
    }
    std::vector<Bin> bins;
    for (const Bin& b : cells)
        if (b.count)
            bins.push_back(b);

    std::vector<Box> boxes;
    Box first{0, bins.size(), 0, 0, 0};
    measure(first, bins);
    boxes.push_back(first);
    while (int(boxes.size()) < maxColors) {
        // split the splittable box with the most pixels times extent
        int pick = -1;
        std::uint64_t bestScore = 0;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            const Box& b = boxes[i];
            if (b.end - b.begin < 2 || b.extent <= 0)
                continue;
            const std::uint64_t score = b.count * std::uint64_t(b.extent);
            if (pick < 0 || score > bestScore) {
                pick = int(i);
                bestScore = score;
            }
        }
        if (pick < 0)
            break;
        Box box = boxes[std::size_t(pick)];
        const int c = box.longest;
        std::sort(bins.begin() + std::ptrdiff_t(box.begin), bins.begin() + std::ptrdiff_t(box.end),
                  [c](const Bin& a, const Bin& b) { return channel(a, c) < channel(b, c); });
        std::uint64_t acc = 0;
        std::size_t split = box.begin + 1;
        for (std::size_t i = box.begin; i < box.end - 1; ++i) {
            acc += bins[i].count;
            split = i + 1;
            if (acc * 2 >= box.count)
                break;
        }
        Box lower{box.begin, split, 0, 0, 0};
        Box upper{split, box.end, 0, 0, 0};
        measure(lower, bins);
        measure(upper, bins);
        boxes[std::size_t(pick)] = lower;
        boxes.push_back(upper);
    }
    for (const Box& box : boxes) {
        std::uint64_t n = 0, r = 0, g = 0, b = 0;
        for (std::size_t i = box.begin; i < box.end; ++i) {
            n += bins[i].count;
            r += bins[i].r;
            g += bins[i].g;
            b += bins[i].b;
        }
        if (n)
            out.push_back(rgb(int((r + n / 2) / n), int((g + n / 2) / n), int((b + n / 2) / n)));
    }
    refine(out, bins);
    return out;
}

}  // namespace dibcore
