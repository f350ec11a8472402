#include "logpalette.h"

#include <cstdint>

#include "dibcore.h"

namespace dibcore {

GlobalHandle makeLogPalette(const std::vector<RgbQuad>& colors)
{
    if (colors.empty() || colors.size() > 256)
        return nullptr;
    GlobalHandle h = globalmem::alloc(4 + 4 * colors.size());
    if (!h)
        return nullptr;
    auto* p = static_cast<std::uint8_t*>(globalmem::lock(h));
    putLe16(p, kLogPaletteVersion);
    putLe16(p + 2, static_cast<std::uint16_t>(colors.size()));
    for (std::size_t i = 0; i < colors.size(); ++i) {
        std::uint8_t* e = p + 4 + 4 * i;
        e[0] = colors[i].red;
        e[1] = colors[i].green;
        e[2] = colors[i].blue;
        e[3] = 0;
    }
    globalmem::unlock(h);
    return h;
}

std::vector<RgbQuad> readLogPalette(GlobalHandle palette)
{
    std::vector<RgbQuad> out;
    const std::size_t size = globalmem::size(palette);
    if (size < 4)
        return out;
    const auto* p = static_cast<const std::uint8_t*>(globalmem::lock(palette));
    const std::size_t count = le16(p + 2);
    if (le16(p) == kLogPaletteVersion && count <= 256 && count * 4 <= size - 4) {
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint8_t* e = p + 4 + 4 * i;
            out.push_back(rgb(e[0], e[1], e[2]));
        }
    }
    globalmem::unlock(palette);
    return out;
}

}  // namespace dibcore
