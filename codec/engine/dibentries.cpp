// The DIB conversion entries of the module.

#include "crde2001.h"
#include "dibcore/dibcore.h"

namespace {

// Runs convert on the locked DIB when its depth is one of `from`.
template <typename Convert>
GlobalHandle convertFrom(GlobalHandle dib, int from, Convert convert)
{
    try {
        if (!globalmem::isValid(dib))
            return nullptr;
        const dibcore::DibView view = dibcore::lockView(dib);
        GlobalHandle out = nullptr;
        if (view.valid() && view.bitCount() == from)
            out = convert(view);
        globalmem::unlock(dib);
        return out;
    } catch (...) {
        return nullptr;
    }
}

}  // namespace

GlobalHandle CopyDIB(GlobalHandle dib)
{
    return dibcore::copyBlock(dib);
}

GlobalHandle DIB1to4(GlobalHandle dib)
{
    return convertFrom(dib, 1, [](const dibcore::DibView& v) { return dibcore::increaseDepth(v, 4); });
}

GlobalHandle DIB1To8(GlobalHandle dib)
{
    return convertFrom(dib, 1, [](const dibcore::DibView& v) { return dibcore::increaseDepth(v, 8); });
}

GlobalHandle DIB1To24(GlobalHandle dib)
{
    return convertFrom(dib, 1, [](const dibcore::DibView& v) { return dibcore::increaseDepth(v, 24); });
}

GlobalHandle DIB4To8(GlobalHandle dib)
{
    return convertFrom(dib, 4, [](const dibcore::DibView& v) { return dibcore::increaseDepth(v, 8); });
}

GlobalHandle DIB4To24(GlobalHandle dib)
{
    return convertFrom(dib, 4, [](const dibcore::DibView& v) { return dibcore::increaseDepth(v, 24); });
}

GlobalHandle DIB16To24(GlobalHandle dib)
{
    return convertFrom(dib, 16, [](const dibcore::DibView& v) { return dibcore::toRgb24(v); });
}

GlobalHandle DIB32To24(GlobalHandle dib)
{
    return convertFrom(dib, 32, [](const dibcore::DibView& v) { return dibcore::toRgb24(v); });
}

short DibtoDdb(const void* dib, int64_t size, PaletteHandle* palette, GlobalHandle* bitmap)
{
    if (palette)
        *palette = nullptr;
    if (bitmap)
        *bitmap = nullptr;
    if (!dib || size < 40 || !bitmap)
        return 0;
    try {
        const dibcore::DibView view(dib, static_cast<std::size_t>(size));
        if (!view.valid())
            return 0;
        const int bits = view.bitCount() <= 8 ? view.bitCount() : 24;
        dibcore::DibGuard out(dibcore::convertDepth(view, bits, dibcore::Dither::None));
        if (!out.get())
            return 0;
        if (bits <= 8 && palette) {
            const dibcore::DibView result = dibcore::lockView(out.get());
            const dibcore::Palette colours(result.colorTable(), result.colorTable() + result.colorCount());
            *palette = dibcore::makeLogPalette(colours);
        }
        *bitmap = out.release();
        return 1;
    } catch (...) {
        return 0;
    }
}
