// The calls of the common frame: filters, distortions and tone changes
// that answer a new picture.

#include "effectcalls.h"

#include "effectframe.h"

using effectframe::run;
using effectframe::runInRect;

namespace {

// A call whose only own input is one amount.
template <typename Fn, typename Amount>
GlobalHandle amountCall(const char* entry, const char* text, GlobalHandle dib, int left, int top, int right,
                        int bottom, Amount amount, void* owner, EffectProgress progress)
{
    return runInRect<Fn>(entry, text, dib, left, top, right, bottom, owner, progress,
                         [&](Fn fn, GlobalHandle d, const IspRect* r) { return fn(d, amount, r, owner, progress); });
}

}  // namespace

GlobalHandle Blur(GlobalHandle dib, int left, int top, int right, int bottom, int amount, void* owner,
                  EffectProgress progress)
{
    return amountCall<Blur_fn>("Blur", "Blurring Image ", dib, left, top, right, bottom, amount, owner, progress);
}

GlobalHandle OilPainting(GlobalHandle dib, int left, int top, int right, int bottom, int amount, void* owner,
                         EffectProgress progress)
{
    return amountCall<OilPainting_fn>("OilPainting", "Oil Painting Image ", dib, left, top, right, bottom, amount,
                                      owner, progress);
}

GlobalHandle Engrave(GlobalHandle dib, int left, int top, int right, int bottom, int amount, void* owner,
                     EffectProgress progress)
{
    return amountCall<Engrave_fn>("Engrave", "Engraving Image ", dib, left, top, right, bottom, amount, owner,
                                  progress);
}

GlobalHandle Bled(GlobalHandle dib, int left, int top, int right, int bottom, int amount, void* owner,
                  EffectProgress progress)
{
    return amountCall<Bled_fn>("Bled", "Bleeding Image ", dib, left, top, right, bottom, amount, owner, progress);
}

GlobalHandle Edge(GlobalHandle dib, int left, int top, int right, int bottom, int amount, void* owner,
                  EffectProgress progress)
{
    return amountCall<Edge_fn>("Edge", "Finding Edges ", dib, left, top, right, bottom, amount, owner, progress);
}

GlobalHandle Better(GlobalHandle dib, int left, int top, int right, int bottom, int amount, void* owner,
                    EffectProgress progress)
{
    return amountCall<Better_fn>("Better", "Sharpen Image ", dib, left, top, right, bottom, amount, owner, progress);
}

GlobalHandle PixelFix(GlobalHandle dib, int left, int top, int right, int bottom, int amount, void* owner,
                      EffectProgress progress)
{
    return amountCall<PixelFix_fn>("PixelFix", "Despeckling Image ", dib, left, top, right, bottom, amount, owner,
                                   progress);
}

GlobalHandle PinchHole(GlobalHandle dib, int left, int top, int right, int bottom, double amount, void* owner,
                       EffectProgress progress)
{
    return amountCall<PinchHole_fn>("PinchHole", "Pinching Hole ", dib, left, top, right, bottom, amount, owner,
                                    progress);
}

GlobalHandle Whirl(GlobalHandle dib, int left, int top, int right, int bottom, double angle, void* owner,
                   EffectProgress progress)
{
    return amountCall<Whirl_fn>("Whirl", "Whirling Image ", dib, left, top, right, bottom, angle, owner, progress);
}

GlobalHandle AutoContrast(GlobalHandle dib, int left, int top, int right, int bottom, void* owner,
                          EffectProgress progress)
{
    return runInRect<AutoContrast_fn>(
        "AutoContrast", "Applying Auto Contrast ", dib, left, top, right, bottom, owner, progress,
        [&](AutoContrast_fn fn, GlobalHandle d, const IspRect* r) { return fn(d, r, owner, progress); });
}

GlobalHandle GrayArea(GlobalHandle dib, int left, int top, int right, int bottom, void* owner, EffectProgress progress)
{
    return runInRect<GrayArea_fn>("GrayArea", "Applying Gray Area ", dib, left, top, right, bottom, owner, progress,
                                  [&](GrayArea_fn fn, GlobalHandle d, const IspRect* r) { return fn(d, r, owner, progress); });
}

GlobalHandle Spray(GlobalHandle dib, int left, int top, int right, int bottom, int amount, int randomFactor,
                   void* owner, EffectProgress progress)
{
    return runInRect<Spray_fn>("Spray", "Spraying Image ", dib, left, top, right, bottom, owner, progress,
                               [&](Spray_fn fn, GlobalHandle d, const IspRect* r) {
                                   return fn(d, amount, randomFactor, r, owner, progress);
                               });
}

GlobalHandle Jiggle(GlobalHandle dib, int left, int top, int right, int bottom, int period, int amplitude,
                    qint16 waveForm, void* owner, EffectProgress progress)
{
    return runInRect<Jiggle_fn>("Jiggle", "Jiggling Image ", dib, left, top, right, bottom, owner, progress,
                                [&](Jiggle_fn fn, GlobalHandle d, const IspRect* r) {
                                    return fn(d, period, amplitude, waveForm, r, owner, progress);
                                });
}

GlobalHandle Motion(GlobalHandle dib, int left, int top, int right, int bottom, int amount, int angle, qint16 kind,
                    void* owner, EffectProgress progress)
{
    return runInRect<Motion_fn>("Motion", "Motion Blurring Image ", dib, left, top, right, bottom, owner, progress,
                                [&](Motion_fn fn, GlobalHandle d, const IspRect* r) {
                                    return fn(d, amount, angle, kind, r, owner, progress);
                                });
}

GlobalHandle RecToPolar(GlobalHandle dib, int left, int top, int right, int bottom, int value, int angle, bool invert,
                        bool backwards, void* owner, EffectProgress progress)
{
    return runInRect<RecToPolar_fn>("RecToPolar", "Polar Image ", dib, left, top, right, bottom, owner, progress,
                                    [&](RecToPolar_fn fn, GlobalHandle d, const IspRect* r) {
                                        return fn(d, value, angle, invert ? -1 : 0, backwards ? -1 : 0, r, owner,
                                                  progress);
                                    });
}

GlobalHandle ThresholdDib(GlobalHandle dib, int left, int top, int right, int bottom, int threshold, bool antiAlias,
                          void* owner, EffectProgress progress)
{
    return runInRect<ThresholdDib_fn>("ThresholdDib", "Applying Threshold ", dib, left, top, right, bottom, owner,
                                      progress, [&](ThresholdDib_fn fn, GlobalHandle d, const IspRect* r) {
                                          return fn(d, threshold, antiAlias ? 1 : 0, r, owner, progress);
                                      });
}

GlobalHandle FadeDib(GlobalHandle dib, int left, int top, int right, int bottom, int border, int red, int green,
                     int blue, void* owner, EffectProgress progress)
{
    return runInRect<FadeDib_fn>("FadeDib", "Fading Image ", dib, left, top, right, bottom, owner, progress,
                                 [&](FadeDib_fn fn, GlobalHandle d, const IspRect* r) {
                                     return fn(d, border, red, green, blue, r, owner, progress);
                                 });
}

GlobalHandle Enhance(GlobalHandle dib, int left, int top, int right, int bottom, int brightness, int contrast,
                     int gammaBlue, int gammaGreen, int gammaRed, void* owner, EffectProgress progress)
{
    return runInRect<Enhance_fn>("Enhance", "Enhancing Image ", dib, left, top, right, bottom, owner, progress,
                                 [&](Enhance_fn fn, GlobalHandle d, const IspRect* r) {
                                     return fn(d, brightness, contrast, gammaBlue, gammaGreen, gammaRed, r, owner,
                                               progress);
                                 });
}

GlobalHandle Noise(GlobalHandle dib, int left, int top, int right, int bottom, bool gaussian, bool grey, int red,
                   int green, int blue, void* owner, EffectProgress progress)
{
    if (red < 1 || green < 1 || blue < 1)
        return nullptr;
    return runInRect<Noise_fn>("Noise", "Noisifying Image ", dib, left, top, right, bottom, owner, progress,
                               [&](Noise_fn fn, GlobalHandle d, const IspRect* r) {
                                   return fn(d, gaussian ? 1 : 0, grey ? 1 : 0, red, green, blue, r, owner, progress);
                               });
}

GlobalHandle Wave(GlobalHandle dib, int left, int top, int right, int bottom, double amplitude, int waveLength,
                  double phase, bool smear, bool reflection, void* owner, EffectProgress progress)
{
    return runInRect<Wave_fn>("Wave", "Waving Image ", dib, left, top, right, bottom, owner, progress,
                              [&](Wave_fn fn, GlobalHandle d, const IspRect* r) {
                                  return fn(d, amplitude, waveLength, phase, smear ? 1 : 0, reflection ? 1 : 0, r,
                                            owner, progress);
                              });
}

GlobalHandle Mosaic(GlobalHandle dib, int left, int top, int right, int bottom, int tileSize, int tileHeight,
                    int spacing, int lightAngle, int randomness, bool antiAlias, int polygonKind, int smoothing,
                    quint8 backBlue, quint8 backGreen, quint8 backRed, quint8 foreBlue, quint8 foreGreen,
                    quint8 foreRed, void* owner, EffectProgress progress)
{
    return runInRect<Mosaic_fn>("Mosaic", "Applying Mosaic Effect ", dib, left, top, right, bottom, owner, progress,
                                [&](Mosaic_fn fn, GlobalHandle d, const IspRect* r) {
                                    return fn(d, tileSize, tileHeight, spacing, lightAngle, randomness,
                                              antiAlias ? 1 : 0, polygonKind, smoothing, backBlue, backGreen, backRed,
                                              foreBlue, foreGreen, foreRed, r, owner, progress);
                                });
}

GlobalHandle Curl(GlobalHandle dib, int left, int top, int right, int bottom, const CurlOptions& o, void* owner,
                  EffectProgress progress)
{
    const auto b = [](bool v) { return static_cast<short>(v ? 1 : 0); };
    return runInRect<Curl_fn>("Curl", "Applying Page Curl ", dib, left, top, right, bottom, owner, progress,
                              [&](Curl_fn fn, GlobalHandle d, const IspRect* r) {
                                  return fn(d, b(o.backUsesBackground), b(o.backUsesForeground), b(o.keepPicture),
                                            b(o.shadowUsesBackground), b(o.shadowUsesForeground),
                                            o.shadowTransparency, b(o.shadeUnder), b(o.leftBottom),
                                            b(o.rightBottom), b(o.leftTop), b(o.rightTop), b(o.vertical),
                                            b(o.horizontal), o.foreRed, o.foreGreen, o.foreBlue, o.backRed,
                                            o.backGreen, o.backBlue, r, owner, progress);
                              });
}

GlobalHandle HToneImage(GlobalHandle dib, int cellSize, float angle, int shape, void* owner, EffectProgress progress)
{
    return run<HToneImage_fn>("HToneImage", "Half Toning Image ", dib, owner, progress,
                              [&](HToneImage_fn fn, GlobalHandle d) { return fn(d, cellSize, angle, shape, owner, progress); });
}

GlobalHandle TileDib(GlobalHandle dib, void* owner, EffectProgress progress)
{
    return run<TileDib_fn>("TileDib", "Tiling Image ", dib, owner, progress,
                           [&](TileDib_fn fn, GlobalHandle d) { return fn(d, owner, progress); });
}

GlobalHandle ExtrudeDib(GlobalHandle dib, bool levels, int depth, void* owner, EffectProgress progress)
{
    return run<ExtrudeDib_fn>("ExtrudeDib", "Extruding Image ", dib, owner, progress,
                              [&](ExtrudeDib_fn fn, GlobalHandle d) { return fn(d, levels ? 1 : 0, depth, owner, progress); });
}

GlobalHandle Warp(GlobalHandle dib, bool rgbToHue, bool rgbToSaturation, bool convolve, int scale, int vectorRotation,
                  int steps, int displacement, void* owner, EffectProgress progress, WarpFrameCallback frame)
{
    return run<Warp_fn>("Warp", "Warp disolve Image ", dib, owner, progress, [&](Warp_fn fn, GlobalHandle d) {
        return fn(d, rgbToHue ? 1 : 0, rgbToSaturation ? 1 : 0, convolve ? 1 : 0, scale, vectorRotation, steps,
                  displacement, owner, progress, frame);
    });
}
