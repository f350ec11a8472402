#include "merge.h"

#include <algorithm>

#include "dibcore/dibcore.h"
#include "dibcore/dibguard.h"
#include "freshblock.h"
#include "lockeddib.h"

namespace isp {

GlobalHandle dropDib(GlobalHandle target, GlobalHandle source, const int key[3], int top, int left)
{
    if (target == source)
        return nullptr;
    LockedDib to(target);
    LockedDib from(source);
    if (!to.trueColour() || !from.trueColour())
        return nullptr;
    dibcore::DibGuard out(copyForWriting(target));
    if (!out.get())
        return nullptr;
    LockedDib result(out.get());
    if (!result.valid())
        return nullptr;
    const bool keyed = std::all_of(key, key + 3, [](int v) { return v >= 0 && v <= 255; });
    const int tb = to.bytesPerPixel(), sb = from.bytesPerPixel();
    const std::int64_t x0 = std::max<std::int64_t>(0, left), y0 = std::max<std::int64_t>(0, top);
    const std::int64_t x1 = std::min<std::int64_t>(to.width(), std::int64_t(left) + from.width());
    const std::int64_t y1 = std::min<std::int64_t>(to.height(), std::int64_t(top) + from.height());
    for (std::int64_t y = y0; y < y1; ++y) {
        const std::uint8_t* in = from.view().row(static_cast<int>(y - top));
        std::uint8_t* o = result.view().mutableRow(static_cast<int>(y));
        for (std::int64_t x = x0; x < x1; ++x) {
            const std::uint8_t* s = in + std::size_t(x - left) * sb;
            if (keyed && s[0] == key[0] && s[1] == key[1] && s[2] == key[2])
                continue;
            std::copy(s, s + 3, o + std::size_t(x) * tb);
        }
    }
    return out.release();
}

}  // namespace isp
