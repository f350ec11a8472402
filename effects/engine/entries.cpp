// The exported entries: argument checks, the progress meter and the guard
// that turns a failed allocation into a failed call.

#include <cmath>
#include <exception>

#include "colorreduce.h"
#include "curl.h"
#include "dibcore/dibcore.h"
#include "dibcore/dibguard.h"
#include "distortions.h"
#include "filters.h"
#include "isp2000.h"
#include "merge.h"
#include "mosaic.h"
#include "regionframe.h"
#include "rotation.h"
#include "scaling.h"
#include "tone.h"
#include "transitions.h"
#include "warp.h"

using namespace isp;

namespace {

template <typename T, typename Body>
T guarded(T failure, Body&& body)
{
    try {
        return body();
    } catch (const std::exception&) {
        return failure;
    }
}

GlobalHandle regionEntry(GlobalHandle dib, const IspRect* rect, void* owner, IspProgress progress,
                         const RegionEffect& effect)
{
    return guarded<GlobalHandle>(nullptr, [&] {
        ProgressMeter meter(progress, owner);
        return applyToRegion(dib, rect, meter, effect);
    });
}

int inPlaceEntry(GlobalHandle dib, const IspRect* rect, void* owner, IspProgress progress, const RegionEffect& effect)
{
    return guarded<int>(0, [&] {
        ProgressMeter meter(progress, owner);
        return applyInPlace(dib, rect, meter, effect) ? 1 : 0;
    });
}

// True-colour pictures change their pixels, palette pictures their colour
// table.
int tableEntry(GlobalHandle dib, const ChannelTables& tables)
{
    if (applyToColorTable(dib, tables))
        return 1;
    return inPlaceEntry(dib, nullptr, nullptr, nullptr,
                        [&](RgbImage& img, ProgressMeter& m) { return applyTables(img, tables, m); });
}

int transitionEntry(TransitionKind kind, const IspCanvas* dc, const IspPicture* source, int thickness, int delay)
{
    return guarded<int>(0, [&] { return runTransition(kind, dc, source, thickness, delay); });
}

void toBgr(std::uint8_t* out, int red, int green, int blue)
{
    out[0] = static_cast<std::uint8_t>(blue);
    out[1] = static_cast<std::uint8_t>(green);
    out[2] = static_cast<std::uint8_t>(red);
}

CurlCorner cornerOf(short leftBottom, short rightBottom, short leftTop, short rightTop)
{
    if (leftBottom)
        return CurlCorner::LeftBottom;
    if (rightBottom)
        return CurlCorner::RightBottom;
    if (leftTop)
        return CurlCorner::LeftTop;
    if (rightTop)
        return CurlCorner::RightTop;
    return CurlCorner::RightBottom;
}

// The working picture as a new DIB of the input's layout (whole picture).
bool sendFrame(GlobalHandle dib, const RgbImage& frame, IspFrameCallback callback, void* owner)
{
    dibcore::DibGuard copy(dibcore::copyBlock(dib));
    if (!copy.get())
        return false;
    {
        LockedDib view(copy.get());
        if (!view.valid())
            return false;
        writeRegion(view.view(), PixelRect{0, 0, frame.width(), frame.height()}, frame);
    }
    return callback(copy.get(), owner) != 0;
}

}  // namespace

extern "C" {

// ---- transitions -----------------------------------------------------------
int FXSkipHorizontal(const IspCanvas* dc, const IspPicture* source, int32_t thickness, int32_t delay)
{
    return transitionEntry(TransitionKind::Horizontal, dc, source, thickness, delay);
}

int FXSkipVertical(const IspCanvas* dc, const IspPicture* source, int32_t thickness, int32_t delay)
{
    return transitionEntry(TransitionKind::Vertical, dc, source, thickness, delay);
}

int FXSkipDiagonals(const IspCanvas* dc, const IspPicture* source, int32_t thickness, int32_t delay)
{
    return transitionEntry(TransitionKind::Diagonals, dc, source, thickness, delay);
}

int FXSkipDiagonalSquares(const IspCanvas* dc, const IspPicture* source, int32_t thickness, int32_t delay)
{
    return transitionEntry(TransitionKind::DiagonalSquares, dc, source, thickness, delay);
}

int FXSkipRectangles(const IspCanvas* dc, const IspPicture* source, int32_t delay)
{
    return transitionEntry(TransitionKind::Rectangles, dc, source, 1, delay);
}

// ---- geometry --------------------------------------------------------------
GlobalHandle ILRotate(GlobalHandle dib, double angle, const IspRect* rect, uint32_t fill)
{
    return guarded<GlobalHandle>(nullptr, [&] { return rotateDib(dib, angle, rect, fill); });
}

int ILMirror(GlobalHandle dib, int32_t vertical, int32_t horizontal)
{
    return guarded<int>(0, [&] { return mirrorDib(dib, vertical != 0, horizontal != 0) ? 1 : 0; });
}

GlobalHandle ScaleDib(GlobalHandle dib, int32_t width, int32_t height)
{
    return guarded<GlobalHandle>(nullptr, [&] {
        ProgressMeter meter;
        return scaleDib(dib, width, height, meter);
    });
}

GlobalHandle ScaleToGray(GlobalHandle dib, int32_t mode, int32_t width, int32_t height)
{
    return guarded<GlobalHandle>(nullptr, [&] { return scaleToGray(dib, mode, width, height); });
}

GlobalHandle Warp(GlobalHandle dib, short rgbToHue, short rgbToSaturation, short convolve, int32_t scale,
                  int32_t vectorRotation, int32_t steps, int32_t displacement, void* owner, IspProgress progress,
                  IspFrameCallback frame)
{
    WarpStyle style;
    style.hueDirection = rgbToHue != 0;
    style.saturationLength = rgbToSaturation != 0;
    style.convolve = convolve != 0;
    style.scale = scale;
    style.rotation = vectorRotation;
    style.steps = steps;
    style.displacement = displacement;
    return regionEntry(dib, nullptr, owner, progress, [&](RgbImage& img, ProgressMeter& m) {
        const WarpFrame send = [&](const RgbImage& f) { return !frame || sendFrame(dib, f, frame, owner); };
        return warp(img, style, send, m);
    });
}

GlobalHandle RecToPolar(GlobalHandle dib, int32_t value, int32_t angle, int32_t invert, int32_t backwards,
                        const IspRect* rect, void* owner, IspProgress progress)
{
    return regionEntry(dib, rect, owner, progress, [&](RgbImage& img, ProgressMeter& m) {
        return rectToPolar(img, value, angle, invert != 0, backwards != 0, m);
    });
}

GlobalHandle Curl(GlobalHandle dib, short backUsesBackground, short backUsesForeground, short keepPicture,
                  short shadowUsesBackground, short shadowUsesForeground, double shadowTransparency, short shadeUnder,
                  short leftBottom, short rightBottom, short leftTop, short rightTop, short vertical, short horizontal,
                  uint8_t foreRed, uint8_t foreGreen, uint8_t foreBlue, uint8_t backRed, uint8_t backGreen,
                  uint8_t backBlue, const IspRect* rect, void* owner, IspProgress progress)
{
    CurlStyle style;
    style.corner = cornerOf(leftBottom, rightBottom, leftTop, rightTop);
    style.vertical = vertical != 0;
    style.horizontal = horizontal != 0;
    style.keepPicture = keepPicture != 0;
    style.uncoveredInForeground = backUsesForeground != 0 && backUsesBackground == 0;
    style.shadowInBackground = shadowUsesBackground != 0 && shadowUsesForeground == 0;
    style.shadeUnder = shadeUnder != 0;
    style.shadowTransparency = std::isfinite(shadowTransparency) ? shadowTransparency : 0.0;
    toBgr(style.fore, foreRed, foreGreen, foreBlue);
    toBgr(style.back, backRed, backGreen, backBlue);
    return regionEntry(dib, rect, owner, progress,
                       [&](RgbImage& img, ProgressMeter& m) { return pageCurl(img, style, m); });
}

GlobalHandle PinchHole(GlobalHandle dib, double amount, const IspRect* rect, void* owner, IspProgress progress)
{
    return regionEntry(dib, rect, owner, progress,
                       [&](RgbImage& img, ProgressMeter& m) { return pinchHole(img, amount, m); });
}

GlobalHandle Whirl(GlobalHandle dib, double angle, const IspRect* rect, void* owner, IspProgress progress)
{
    return regionEntry(dib, rect, owner, progress, [&](RgbImage& img, ProgressMeter& m) { return whirl(img, angle, m); });
}

GlobalHandle Wave(GlobalHandle dib, double amplitude, int32_t waveLength, double phase, int32_t smear,
                  int32_t reflection, const IspRect* rect, void* owner, IspProgress progress)
{
    return regionEntry(dib, rect, owner, progress, [&](RgbImage& img, ProgressMeter& m) {
        return wave(img, amplitude, waveLength, phase, smear != 0, reflection != 0, m);
    });
}

GlobalHandle Jiggle(GlobalHandle dib, int32_t period, int32_t amplitude, short waveForm, const IspRect* rect,
                    void* owner, IspProgress progress)
{
    return regionEntry(dib, rect, owner, progress, [&](RgbImage& img, ProgressMeter& m) {
        return jiggle(img, period, amplitude, waveForm == 1, m);
    });
}

GlobalHandle TileDib(GlobalHandle dib, void* owner, IspProgress progress)
{
    return guarded<GlobalHandle>(nullptr, [&] {
        ProgressMeter meter(progress, owner);
        return tileDib(dib, meter);
    });
}

// ---- tone and colour ---------------------------------------------------------
int ILInvert(GlobalHandle dib)
{
    return tableEntry(dib, invertTables());
}

int ILBrightness(GlobalHandle dib, int32_t amount)
{
    return tableEntry(dib, brightnessTables(amount < -255 ? -255 : (amount > 255 ? 255 : amount)));
}

int ILGamma(GlobalHandle dib, int32_t gammaTimesTen)
{
    return gammaTimesTen <= 0 ? 0 : tableEntry(dib, gammaTables(gammaTimesTen));
}

GlobalHandle AutoContrast(GlobalHandle dib, const IspRect* rect, void* owner, IspProgress progress)
{
    return regionEntry(dib, rect, owner, progress, [](RgbImage& img, ProgressMeter& m) { return autoContrast(img, m); });
}

GlobalHandle Enhance(GlobalHandle dib, int32_t brightness, int32_t contrast, int32_t gammaBlue, int32_t gammaGreen,
                     int32_t gammaRed, const IspRect* rect, void* owner, IspProgress progress)
{
    const ChannelTables tables = enhanceTables(brightness, contrast, gammaBlue, gammaGreen, gammaRed);
    return regionEntry(dib, rect, owner, progress,
                       [&](RgbImage& img, ProgressMeter& m) { return applyTables(img, tables, m); });
}

int ilHueAndSaturation(GlobalHandle dib, short red, short green, short blue, short yellow, short magenta, short cyan,
                       short hueShift, short saturation, short brightness, const IspRect* rect, void* owner,
                       IspProgress progress)
{
    const HueSelection sel{red != 0, green != 0, blue != 0, yellow != 0, magenta != 0, cyan != 0};
    return inPlaceEntry(dib, rect, owner, progress, [&](RgbImage& img, ProgressMeter& m) {
        return hueSaturation(img, sel, hueShift, saturation, brightness, m);
    });
}

GlobalHandle GrayArea(GlobalHandle dib, const IspRect* rect, void* owner, IspProgress progress)
{
    return regionEntry(dib, rect, owner, progress, [](RgbImage& img, ProgressMeter& m) { return grayArea(img, m); });
}

GlobalHandle ThresholdDib(GlobalHandle dib, int32_t level, short antiAlias, const IspRect* rect, void* owner,
                          IspProgress progress)
{
    return regionEntry(dib, rect, owner, progress,
                       [&](RgbImage& img, ProgressMeter& m) { return threshold(img, level, antiAlias != 0, m); });
}

GlobalHandle ILReduceColors(GlobalHandle dib, int32_t colors, int32_t dither)
{
    return guarded<GlobalHandle>(nullptr, [&] { return reduceColors(dib, colors, dither); });
}

GlobalHandle ReduceDib(GlobalHandle dib, int32_t bits, short dither, short, int32_t, short option, void* owner,
                       IspProgress progress)
{
    return guarded<GlobalHandle>(nullptr, [&] {
        ProgressMeter meter(progress, owner);
        return reduceDib(dib, bits, dither, option == 1, meter);
    });
}

// ---- filters -----------------------------------------------------------------
GlobalHandle Blur(GlobalHandle dib, int32_t amount, const IspRect* rect, void* owner, IspProgress progress)
{
    return regionEntry(dib, rect, owner, progress, [&](RgbImage& img, ProgressMeter& m) { return blur(img, amount, m); });
}

GlobalHandle Better(GlobalHandle dib, int32_t amount, const IspRect* rect, void* owner, IspProgress progress)
{
    return regionEntry(dib, rect, owner, progress,
                       [&](RgbImage& img, ProgressMeter& m) { return sharpen(img, amount, m); });
}

GlobalHandle Edge(GlobalHandle dib, int32_t amount, const IspRect* rect, void* owner, IspProgress progress)
{
    return regionEntry(dib, rect, owner, progress,
                       [&](RgbImage& img, ProgressMeter& m) { return findEdges(img, amount, m); });
}

GlobalHandle Engrave(GlobalHandle dib, int32_t amount, const IspRect* rect, void* owner, IspProgress progress)
{
    return regionEntry(dib, rect, owner, progress,
                       [&](RgbImage& img, ProgressMeter& m) { return engrave(img, amount, m); });
}

GlobalHandle Bled(GlobalHandle dib, int32_t amount, const IspRect* rect, void* owner, IspProgress progress)
{
    return regionEntry(dib, rect, owner, progress, [&](RgbImage& img, ProgressMeter& m) { return bleed(img, amount, m); });
}

GlobalHandle PixelFix(GlobalHandle dib, int32_t amount, const IspRect* rect, void* owner, IspProgress progress)
{
    return regionEntry(dib, rect, owner, progress,
                       [&](RgbImage& img, ProgressMeter& m) { return despeckle(img, amount, m); });
}

GlobalHandle OilPainting(GlobalHandle dib, int32_t amount, const IspRect* rect, void* owner, IspProgress progress)
{
    return regionEntry(dib, rect, owner, progress,
                       [&](RgbImage& img, ProgressMeter& m) { return oilPaint(img, amount, m); });
}

GlobalHandle HToneImage(GlobalHandle dib, int32_t cellSize, float angle, int32_t shape, void* owner,
                        IspProgress progress)
{
    return regionEntry(dib, nullptr, owner, progress,
                       [&](RgbImage& img, ProgressMeter& m) { return halftone(img, cellSize, angle, shape, m); });
}

GlobalHandle Noise(GlobalHandle dib, int32_t gaussian, int32_t grey, int32_t red, int32_t green, int32_t blue,
                   const IspRect* rect, void* owner, IspProgress progress)
{
    return regionEntry(dib, rect, owner, progress, [&](RgbImage& img, ProgressMeter& m) {
        return addNoise(img, gaussian != 0, grey != 0, red, green, blue, m);
    });
}

GlobalHandle Motion(GlobalHandle dib, int32_t amount, int32_t angle, short kind, const IspRect* rect, void* owner,
                    IspProgress progress)
{
    return regionEntry(dib, rect, owner, progress,
                       [&](RgbImage& img, ProgressMeter& m) { return motionBlur(img, amount, angle, kind, m); });
}

GlobalHandle Mosaic(GlobalHandle dib, int32_t tileSize, int32_t tileHeight, int32_t spacing, int32_t lightAngle,
                    int32_t randomness, int32_t antiAlias, int32_t squares, int32_t smoothing, uint8_t backBlue,
                    uint8_t backGreen, uint8_t backRed, uint8_t foreBlue, uint8_t foreGreen, uint8_t foreRed,
                    const IspRect* rect, void* owner, IspProgress progress)
{
    MosaicStyle style;
    style.tileSize = tileSize;
    style.tileHeight = tileHeight;
    style.spacing = spacing;
    style.lightAngle = lightAngle;
    style.randomness = randomness;
    style.antiAlias = antiAlias != 0;
    style.squares = squares != 0;
    style.smoothing = smoothing != 0;
    toBgr(style.back, backRed, backGreen, backBlue);
    toBgr(style.fore, foreRed, foreGreen, foreBlue);
    return regionEntry(dib, rect, owner, progress, [&](RgbImage& img, ProgressMeter& m) { return mosaic(img, style, m); });
}

GlobalHandle Spray(GlobalHandle dib, int32_t amount, int32_t factor, const IspRect* rect, void* owner,
                   IspProgress progress)
{
    return regionEntry(dib, rect, owner, progress,
                       [&](RgbImage& img, ProgressMeter& m) { return spray(img, amount, factor, m); });
}

GlobalHandle ExtrudeDib(GlobalHandle dib, short levels, int32_t depth, void* owner, IspProgress progress)
{
    return regionEntry(dib, nullptr, owner, progress,
                       [&](RgbImage& img, ProgressMeter& m) { return extrude(img, levels != 0, depth, m); });
}

GlobalHandle FadeDib(GlobalHandle dib, int32_t border, int32_t red, int32_t green, int32_t blue, const IspRect* rect,
                     void* owner, IspProgress progress)
{
    return regionEntry(dib, rect, owner, progress,
                       [&](RgbImage& img, ProgressMeter& m) { return fadeBorder(img, border, red, green, blue, m); });
}

// ---- merge -------------------------------------------------------------------
GlobalHandle DropDib(GlobalHandle target, GlobalHandle source, short keyBlue, short keyGreen, short keyRed,
                     int32_t top, int32_t left)
{
    const int key[3] = {keyBlue, keyGreen, keyRed};
    return guarded<GlobalHandle>(nullptr, [&] { return dropDib(target, source, key, top, left); });
}

}  // extern "C"
