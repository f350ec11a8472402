#pragma once
// Nearest palette entry for many colours: an exact-colour cache in front of
// a linear search. One object per conversion; no shared state.

#include <cstdint>
#include <vector>

#include "palette.h"

namespace dibcore {

class NearestColor
{
public:
    explicit NearestColor(const Palette& palette);

    int index(int r, int g, int b);
    const RgbQuad& entry(int index) const { return m_palette[std::size_t(index)]; }

private:
    int search(int r, int g, int b) const;

    Palette m_palette;
    std::vector<std::uint32_t> m_keys;  // colour + 1, 0 = empty
    std::vector<std::uint8_t> m_values;
};

}  // namespace dibcore
