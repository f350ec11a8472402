// Calls outside the common frame that change size or depth, and the merge.

#include "effectcalls.h"

#include "effectframe.h"

#include "codec/binding/codecstate.h"
#include "codec/binding/codecwrappers.h"
#include "codec/binding/dibconvert.h"
#include "dibcore/dibguard.h"

#include <algorithm>

using effectframe::bitCount;
using effectframe::moduleCall;

namespace {

void setText(const char* text)
{
    SetOperationText(QString::fromLatin1(text));
}

// The module's dither code of a TSortDither.
int ditherCode(TSortDither dither)
{
    switch (dither) {
    case IL_BURKES: return 2;
    case IL_FLOYD: return 4;
    case IL_GRAYSCALE: return 8;
    default: return 1;
    }
}

// A 24-bit copy of a picture below 24 bits; none for deeper ones.
GlobalHandle wideCopy(GlobalHandle dib)
{
    return bitCount(dib) < 24 ? IncreaseDepth(dib, 24) : nullptr;
}

}  // namespace

GlobalHandle ScaleDib(GlobalHandle dib, int width, int height, int resultBits)
{
    const auto fn = EffectsModule::entry<ScaleDib_fn>("ScaleDib");
    if (!fn)
        return nullptr;
    const int bits = bitCount(dib);
    setText("Resizing Image");
    dibcore::DibGuard scaled(moduleCall<GlobalHandle>(nullptr, [&] { return fn(dib, width, height); }));
    if (!scaled.get() || bits >= 24 || bits == 16 || resultBits == 24)
        return scaled.release();
    return ReduceDib(scaled.get(), bits, 0, 0, 0);
}

GlobalHandle ScaleToGray(GlobalHandle dib, TScaleToGray mode, int width, int height)
{
    const auto fn = EffectsModule::entry<ScaleToGray_fn>("ScaleToGray");
    if (!fn)
        return nullptr;
    SetOperationText(QStringLiteral("Scaling Image To ") + QStringLiteral("Gray"));
    return moduleCall<GlobalHandle>(nullptr, [&] { return fn(dib, mode, width, height); });
}

GlobalHandle ReduceDib(GlobalHandle dib, int bits, qint16 dither, int, qint16 option, void* owner,
                       EffectProgress progress)
{
    if (!dib)
        return nullptr;
    const auto fn = EffectsModule::entry<ReduceDib_fn>("ReduceDib");
    if (!fn)
        return nullptr;
    setText("Reducing colors ");
    const auto reduce = [&](GlobalHandle d) {
        return moduleCall<GlobalHandle>(nullptr, [&] { return fn(d, bits, dither, 0, 0, option, owner, progress); });
    };
    if (bitCount(dib) != 32)
        return reduce(dib);
    // 32 bits go through the codec module's 24-bit form first
    dibcore::DibGuard rgb(DIB32To24(dib));
    if (!rgb.get() || bits >= 24)
        return rgb.release();
    return reduce(rgb.get());
}

GlobalHandle ILReduceColors(GlobalHandle dib, int count, TSortDither dither)
{
    const auto fn = EffectsModule::entry<ILReduceColors_fn>("ILReduceColors");
    if (!fn)
        return dib;
    count = std::clamp(count, 2, 255);
    setText("Reducing colors ");
    if (bitCount(dib) == 32) {
        if (GlobalHandle rgb = DIB32To24(dib)) {
            FreeDIB(dib);
            dib = rgb;
        }
    }
    GlobalHandle reduced = moduleCall<GlobalHandle>(nullptr, [&] { return fn(dib, count, ditherCode(dither)); });
    if (globalmem::size(reduced) > 9) {
        FreeDIB(dib);
        return reduced;
    }
    FreeDIB(reduced);
    return dib;
}

GlobalHandle IncreaseDepth(GlobalHandle dib, int bits)
{
    const int from = bitCount(dib);
    if (from >= 24 || bits <= from)
        return nullptr;
    setText("Increasing colors ");
    switch (from) {
    case 1:
        return bits == 4 ? DIB1To4(dib) : (bits == 8 ? DIB1To8(dib) : (bits == 24 ? DIB1To24(dib) : nullptr));
    case 4:
        return bits == 8 ? DIB4To8(dib) : (bits == 24 ? DIB4To24(dib) : nullptr);
    case 8:
        return bits == 24 ? DIB8To24(dib) : nullptr;
    case 16:
        return bits == 24 ? DIB16To24(dib) : nullptr;
    default:
        return nullptr;
    }
}

GlobalHandle DropDib(GlobalHandle target, GlobalHandle source, qint16 keyBlue, qint16 keyGreen, qint16 keyRed,
                     int top, int left)
{
    const auto fn = EffectsModule::entry<DropDib_fn>("DropDib");
    if (!fn)
        return nullptr;
    const int targetBits = bitCount(target);
    setText("Merging Image ");
    // pictures below 24 bits are merged as 24-bit copies
    dibcore::DibGuard wideTarget(wideCopy(target));
    dibcore::DibGuard wideSource(wideCopy(source));
    if ((targetBits < 24 && !wideTarget.get()) || (bitCount(source) < 24 && !wideSource.get()))
        return nullptr;
    GlobalHandle to = wideTarget.get() ? wideTarget.get() : target;
    GlobalHandle from = wideSource.get() ? wideSource.get() : source;
    setText("Merging Image ");
    dibcore::DibGuard merged(
        moduleCall<GlobalHandle>(nullptr, [&] { return fn(to, from, keyBlue, keyGreen, keyRed, top, left); }));
    if (!merged.get() || targetBits >= 24 || targetBits == 16)
        return merged.release();
    return ReduceDib(merged.get(), targetBits, 0, 0, 0);
}
