// libFuzzer target over the Photo CD memory entry. Each input is decoded as
// it is and once more laid into an image pack (signature, rotation byte and
// the input repeated over the picture sectors, cut to a length the input
// chooses), so the picture paths are reached without megabyte seeds.

#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <vector>

#include "crde2001.h"
#include "dibcore/dibguard.h"

namespace {

constexpr short kDepths[] = {0, 1, 4, 8, 24};
constexpr std::size_t kPackBytes = 96 * 2048 + 768 * 512 * 3 / 2;

int keepGoing(int, void*)
{
    return 1;
}

void decode(const std::uint8_t* data, std::size_t size, short mode, short bits, short dither)
{
    GlobalHandle dib = nullptr;
    readpcdfiledibstream(data, std::int64_t(size), bits, dither, mode, &dib, nullptr, keepGoing, 0);
    dibcore::DibGuard free(dib);
}

std::vector<std::uint8_t> pack(const std::uint8_t* data, std::size_t size)
{
    // the first byte picks the length: whole, or cut inside one of the pictures
    const std::size_t cuts[] = {kPackBytes, kPackBytes - 1, 23 * 2048 + 4096, 4 * 2048 + 512, 0xE03};
    std::vector<std::uint8_t> out(cuts[data[0] % 5]);
    std::size_t filled = std::min(size, out.size());
    std::memcpy(out.data(), data, filled);
    while (filled < out.size()) {
        const std::size_t more = std::min(filled, out.size() - filled);
        std::memcpy(out.data() + filled, out.data(), more);
        filled += more;
    }
    std::memcpy(out.data() + 0x800, "PCD_IPI", 7);
    out[0xE02] = size > 1 ? data[1] : 0;
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const short mode = short(size % 4);  // 3 is no resolution
    const short bits = kDepths[size % 5];
    const short dither = short(size % 2);
    decode(data, size, mode, bits, dither);
    const std::vector<std::uint8_t> laid = pack(data, size);
    // mostly the smallest picture: the larger ones take long unoptimised
    const int pick = data[size - 1] % 8;
    const short laidMode = short(pick < 6 ? 0 : pick - 5);
    // at its own depth: colour reduction of noise is slow unoptimised and
    // has fuzz targets of its own
    decode(laid.data(), laid.size(), laidMode, 24, dither);
    return 0;
}
