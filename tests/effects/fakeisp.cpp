// A stand-in for the effects module: records what the binding passes and
// raises where a test needs an exception.

#include "dibcore/dibcore.h"
#include "effects/engine/isp2000.h"
#include "platform/globalmem.h"

#include <stdexcept>

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

int recorded[8] = {};
int initCalls = 0;

}  // namespace

FAKE_EXPORT int FakeIspRecorded(int index)
{
    return index == -1 ? initCalls : recorded[index & 7];
}

FAKE_EXPORT int DllInit(void*)
{
    ++initCalls;
    return 1;
}

FAKE_EXPORT GlobalHandle ILReduceColors(GlobalHandle dib, int32_t colors, int32_t dither)
{
    recorded[0] = colors;
    recorded[1] = dither;
    return colors == 3 ? globalmem::alloc(4) : dibcore::copyBlock(dib);
}

FAKE_EXPORT GlobalHandle ILRotate(GlobalHandle dib, double angle, const IspRect*, uint32_t fill)
{
    recorded[2] = static_cast<int>(fill);
    recorded[3] = static_cast<int>(angle);
    return dibcore::copyBlock(dib);
}

FAKE_EXPORT GlobalHandle Blur(GlobalHandle, int32_t, const IspRect*, void*, IspProgress)
{
    throw std::runtime_error("inside the module");
}

FAKE_EXPORT GlobalHandle Noise(GlobalHandle dib, int32_t, int32_t, int32_t red, int32_t, int32_t, const IspRect*, void*,
                              IspProgress)
{
    recorded[4] = red;
    return dibcore::copyBlock(dib);
}
