#pragma once
// The frame every effect call shares: the entry, the picture's depth, the
// effect rectangle, OperationText, the depth adaptation through 24 bits
// and the guard around the module call.

#include "effects/effecttypes.h"
#include "effects/effectsmodule.h"
#include "effects/engine/isp2000.h"
#include "platform/globalmem.h"

#include <functional>

namespace effectframe {

// Bit count, width and absolute height from the DIB's header; 0 for none.
int bitCount(GlobalHandle dib);
int width(GlobalHandle dib);
int height(GlobalHandle dib);

// The rectangle of a call; right or bottom 0 gives the whole picture.
IspRect rectFor(GlobalHandle dib, int left, int top, int right, int bottom);

// The message shown once when the module raises.
void showModuleException();

// Runs the module call; an exception shows the message and gives failure.
template <typename R, typename Call>
R moduleCall(R failure, Call&& call)
{
    try {
        return call();
    } catch (...) {
        showModuleException();
        return failure;
    }
}

// Steps 2 to 6 of the frame: with 24 bits or more call on the picture
// itself, else on a 24-bit copy whose result is reduced back (1 bit to 4
// unless keepOneBit; 16 bits stay at 24).
GlobalHandle adaptDepth(const char* text, GlobalHandle dib, void* owner, EffectProgress progress,
                        const std::function<GlobalHandle(GlobalHandle)>& call, bool keepOneBit = false);

// The whole frame for an entry of type Fn: resolve, then adaptDepth.
template <typename Fn, typename Call>
GlobalHandle run(const char* entry, const char* text, GlobalHandle dib, void* owner, EffectProgress progress,
                 Call&& call)
{
    const Fn fn = EffectsModule::entry<Fn>(entry);
    if (!fn)
        return nullptr;
    return adaptDepth(text, dib, owner, progress, [&](GlobalHandle d) { return call(fn, d); });
}

// As run, with the rectangle built from the picture.
template <typename Fn, typename Call>
GlobalHandle runInRect(const char* entry, const char* text, GlobalHandle dib, int left, int top, int right,
                       int bottom, void* owner, EffectProgress progress, Call&& call)
{
    const IspRect rect = rectFor(dib, left, top, right, bottom);
    return run<Fn>(entry, text, dib, owner, progress, [&](Fn fn, GlobalHandle d) { return call(fn, d, &rect); });
}

}  // namespace effectframe
