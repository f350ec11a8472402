// Calls that change the picture they are given: rotation, mirror, invert,
// brightness, gamma, hue and saturation.

#include "effectcalls.h"

#include "effectframe.h"

#include "codec/binding/codecstate.h"
#include "codec/binding/codecwrappers.h"
#include "codec/binding/dibconvert.h"
#include "dibcore/dibguard.h"
#include "platform/colors.h"

#include <algorithm>

using effectframe::bitCount;
using effectframe::moduleCall;

namespace {

void setText(const char* text)
{
    SetOperationText(QString::fromLatin1(text));
}

// 0x00BBGGRR of a stored colour, system colours resolved.
std::uint32_t plainRgb(qint32 stored)
{
    return static_cast<std::uint32_t>(colors::fromQColor(colors::toQColor(stored)));
}

// Brightness and gamma: change the picture (24 bits or more) and answer a
// copy, or change a 24-bit copy and answer it reduced to the input's depth.
template <typename Fn>
GlobalHandle changedCopy(Fn fn, GlobalHandle dib, int value)
{
    const int bits = bitCount(dib);
    if (bits >= 24) {
        const bool ok = moduleCall<bool>(false, [&] { return fn(dib, value) != 0; });
        return ok ? CopyDIB(dib) : nullptr;
    }
    dibcore::DibGuard wide(IncreaseDepth(dib, 24));
    if (!wide.get() || !moduleCall<bool>(false, [&] { return fn(wide.get(), value) != 0; }))
        return nullptr;
    if (bits == 16)
        return wide.release();
    return ReduceDib(wide.get(), bits, 0, 0, 0);
}

}  // namespace

bool ILRotate(GlobalHandle& dib, int left, int top, int right, int bottom, double angle, qint32 background)
{
    const auto fn = EffectsModule::entry<ILRotate_fn>("ILRotate");
    if (!fn)
        return false;
    const IspRect rect = effectframe::rectFor(dib, left, top, right, bottom);
    const std::uint32_t fill = plainRgb(background);
    // pictures below 24 bits turn as a 24-bit copy and come back at their
    // own depth
    GlobalHandle turned = effectframe::adaptDepth(
        "Rotating Image ", dib, nullptr, nullptr, [&](GlobalHandle d) { return fn(d, angle, &rect, fill); }, true);
    if (!turned)
        return false;
    FreeDIB(dib);
    dib = turned;
    return true;
}

GlobalHandle ILMirror(GlobalHandle dib, bool vertical, bool horizontal)
{
    const auto fn = EffectsModule::entry<ILMirror_fn>("ILMirror");
    if (!fn)
        return nullptr;
    setText("Mirroring Image ");
    const bool ok = moduleCall<bool>(false, [&] { return fn(dib, vertical ? -1 : 0, horizontal ? -1 : 0) != 0; });
    return ok ? CopyDIB(dib) : nullptr;
}

bool ILInvert(GlobalHandle& dib)
{
    const auto fn = EffectsModule::entry<ILInvert_fn>("ILInvert");
    if (!fn)
        return false;
    setText("Inverting Image");
    // the module answers 1 for success
    return moduleCall<bool>(false, [&] { return fn(dib) == 1; });
}

GlobalHandle ILBrightness(GlobalHandle dib, int amount)
{
    const auto fn = EffectsModule::entry<ILBrightness_fn>("ILBrightness");
    if (!fn)
        return nullptr;
    setText("Brighten Image ");
    return changedCopy(fn, dib, std::clamp(amount, -255, 255));
}

GlobalHandle ILGamma(GlobalHandle dib, int gammaTimesTen)
{
    const auto fn = EffectsModule::entry<ILGamma_fn>("ILGamma");
    if (!fn)
        return nullptr;
    setText("Gamma Correct Image ");
    return changedCopy(fn, dib, std::clamp(gammaTimesTen, 10, 50));
}

bool ilHueAndSaturation(GlobalHandle& dib, const HueChannels& c, qint16 hueShift, qint16 saturation,
                        qint16 brightness, const IspRect* rect, void* owner, EffectProgress progress)
{
    const auto fn = EffectsModule::entry<ilHueAndSaturation_fn>("ilHueAndSaturation");
    if (!fn)
        return false;
    setText("Applying Hue and Saturation ");
    // the module answers 1 for success, 0 when it refused or was stopped
    auto change = [&](GlobalHandle d) {
        return moduleCall<bool>(false, [&] {
            return fn(d, c.red, c.green, c.blue, c.yellow, c.magenta, c.cyan, hueShift, saturation, brightness, rect,
                      owner, progress) == 1;
        });
    };
    const int bits = bitCount(dib);
    if (bits >= 24)
        return change(dib);
    // a 24-bit copy is changed; only a changed picture replaces the variable's
    dibcore::DibGuard wide(IncreaseDepth(dib, 24));
    if (!wide.get() || !change(wide.get()))
        return false;
    GlobalHandle reduced = bits != 16 ? ReduceDib(wide.get(), bits, 0, 0, 0) : nullptr;
    FreeDIB(dib);
    dib = reduced ? reduced : wide.release();
    return true;
}
