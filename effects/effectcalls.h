#pragma once
// One function per entry of the effects module. Each resolves its entry
// (a module that cannot be loaded throws ErrorInvalid with the loading
// error), sets OperationText, calls the module and shields the caller from
// its exceptions: a missing entry, a failure or an exception answers no
// picture (null) or false; only an exception shows a message.
//
// Calls with a rectangle take, after the picture, its left, top, right and
// bottom (right or bottom 0: the whole picture), then their own inputs,
// the owner and the progress callback. Pictures below 24 bits are worked
// on as a 24-bit copy and come back at their own depth (1 bit: 4 bits).
// The input is neither changed nor freed unless a call says so; every
// picture answered belongs to the caller (FreeDIB).

#include "effects/effecttypes.h"
#include "platform/globalmem.h"

#include <QtGlobal>

// ---- filters ---------------------------------------------------------------
GlobalHandle Blur(GlobalHandle dib, int left, int top, int right, int bottom, int amount, void* owner = nullptr,
                  EffectProgress progress = nullptr);
GlobalHandle OilPainting(GlobalHandle dib, int left, int top, int right, int bottom, int amount,
                         void* owner = nullptr, EffectProgress progress = nullptr);
GlobalHandle Engrave(GlobalHandle dib, int left, int top, int right, int bottom, int amount, void* owner = nullptr,
                     EffectProgress progress = nullptr);
GlobalHandle Bled(GlobalHandle dib, int left, int top, int right, int bottom, int amount, void* owner = nullptr,
                  EffectProgress progress = nullptr);
GlobalHandle Edge(GlobalHandle dib, int left, int top, int right, int bottom, int amount, void* owner = nullptr,
                  EffectProgress progress = nullptr);
GlobalHandle Better(GlobalHandle dib, int left, int top, int right, int bottom, int amount, void* owner = nullptr,
                    EffectProgress progress = nullptr);
GlobalHandle PixelFix(GlobalHandle dib, int left, int top, int right, int bottom, int amount, void* owner = nullptr,
                      EffectProgress progress = nullptr);
GlobalHandle Spray(GlobalHandle dib, int left, int top, int right, int bottom, int amount, int randomFactor,
                   void* owner = nullptr, EffectProgress progress = nullptr);
// kind: 1 zoom, 2 rotate, 3 line
GlobalHandle Motion(GlobalHandle dib, int left, int top, int right, int bottom, int amount, int angle, qint16 kind,
                    void* owner = nullptr, EffectProgress progress = nullptr);
// No module call and no picture when red, green or blue is below 1.
GlobalHandle Noise(GlobalHandle dib, int left, int top, int right, int bottom, bool gaussian, bool grey, int red,
                   int green, int blue, void* owner = nullptr, EffectProgress progress = nullptr);
GlobalHandle FadeDib(GlobalHandle dib, int left, int top, int right, int bottom, int border, int red, int green,
                     int blue, void* owner = nullptr, EffectProgress progress = nullptr);
GlobalHandle Mosaic(GlobalHandle dib, int left, int top, int right, int bottom, int tileSize, int tileHeight,
                    int spacing, int lightAngle, int randomness, bool antiAlias, int polygonKind, int smoothing,
                    quint8 backBlue, quint8 backGreen, quint8 backRed, quint8 foreBlue, quint8 foreGreen,
                    quint8 foreRed, void* owner = nullptr, EffectProgress progress = nullptr);
// shape: 0 circle, 1 ellipse, 2 square, 3 diamond, 4 line, 5 cross
GlobalHandle HToneImage(GlobalHandle dib, int cellSize, float angle, int shape, void* owner = nullptr,
                        EffectProgress progress = nullptr);
GlobalHandle ExtrudeDib(GlobalHandle dib, bool levels, int depth, void* owner = nullptr,
                        EffectProgress progress = nullptr);

// ---- geometry ----------------------------------------------------------------
GlobalHandle PinchHole(GlobalHandle dib, int left, int top, int right, int bottom, double amount,
                       void* owner = nullptr, EffectProgress progress = nullptr);
GlobalHandle Whirl(GlobalHandle dib, int left, int top, int right, int bottom, double angle, void* owner = nullptr,
                   EffectProgress progress = nullptr);
// waveForm: 0 sine, 1 triangle
GlobalHandle Jiggle(GlobalHandle dib, int left, int top, int right, int bottom, int period, int amplitude,
                    qint16 waveForm, void* owner = nullptr, EffectProgress progress = nullptr);
GlobalHandle RecToPolar(GlobalHandle dib, int left, int top, int right, int bottom, int value, int angle, bool invert,
                        bool backwards, void* owner = nullptr, EffectProgress progress = nullptr);
GlobalHandle Wave(GlobalHandle dib, int left, int top, int right, int bottom, double amplitude, int waveLength,
                  double phase, bool smear, bool reflection, void* owner = nullptr, EffectProgress progress = nullptr);

struct CurlOptions {
    bool backUsesBackground = true;
    bool backUsesForeground = false;
    bool keepPicture = false;
    bool shadowUsesBackground = false;
    bool shadowUsesForeground = true;
    double shadowTransparency = 1.0;
    bool shadeUnder = true;
    bool leftBottom = false;
    bool rightBottom = false;
    bool leftTop = true;
    bool rightTop = false;
    bool vertical = false;
    bool horizontal = true;
    quint8 foreRed = 0, foreGreen = 0, foreBlue = 0;
    quint8 backRed = 0, backGreen = 0, backBlue = 0;
};
GlobalHandle Curl(GlobalHandle dib, int left, int top, int right, int bottom, const CurlOptions& options,
                  void* owner = nullptr, EffectProgress progress = nullptr);
GlobalHandle TileDib(GlobalHandle dib, void* owner = nullptr, EffectProgress progress = nullptr);
GlobalHandle Warp(GlobalHandle dib, bool rgbToHue, bool rgbToSaturation, bool convolve, int scale, int vectorRotation,
                  int steps, int displacement, void* owner = nullptr, EffectProgress progress = nullptr,
                  WarpFrameCallback frame = nullptr);

// The picture at width x height. Pictures below 24 bits come back at their
// own depth unless resultBits is 24.
GlobalHandle ScaleDib(GlobalHandle dib, int width, int height, int resultBits);
// A new grey picture of width x height.
GlobalHandle ScaleToGray(GlobalHandle dib, TScaleToGray mode, int width, int height);

// Turns the picture held by dib by angle degrees (counter-clockwise) within
// the rectangle, uncovered pixels in background (a stored colour; system
// colours are resolved). When a new picture comes, the old one is freed and
// dib takes the new one. Answers whether a new picture came.
bool ILRotate(GlobalHandle& dib, int left, int top, int right, int bottom, double angle, qint32 background);
// Mirrors the picture in place and answers a copy of it.
GlobalHandle ILMirror(GlobalHandle dib, bool vertical, bool horizontal);

// ---- tone and colour ---------------------------------------------------------
// Inverts the picture held by dib in place. False when the entry is missing,
// raises or refuses the picture.
bool ILInvert(GlobalHandle& dib);
// A changed copy: amount limited to -255..255.
GlobalHandle ILBrightness(GlobalHandle dib, int amount);
// A changed copy: gamma x 10, limited to 10..50.
GlobalHandle ILGamma(GlobalHandle dib, int gammaTimesTen);
GlobalHandle AutoContrast(GlobalHandle dib, int left, int top, int right, int bottom, void* owner = nullptr,
                          EffectProgress progress = nullptr);
GlobalHandle GrayArea(GlobalHandle dib, int left, int top, int right, int bottom, void* owner = nullptr,
                      EffectProgress progress = nullptr);
GlobalHandle Enhance(GlobalHandle dib, int left, int top, int right, int bottom, int brightness, int contrast,
                     int gammaBlue, int gammaGreen, int gammaRed, void* owner = nullptr,
                     EffectProgress progress = nullptr);
GlobalHandle ThresholdDib(GlobalHandle dib, int left, int top, int right, int bottom, int threshold, bool antiAlias,
                          void* owner = nullptr, EffectProgress progress = nullptr);

struct HueChannels {
    qint16 red = 1, green = 1, blue = 1, yellow = 1, magenta = 1, cyan = 1;
};
// Changes the picture held by dib in place within rect (null: the whole
// picture); pictures below 24 bits are replaced by the changed picture at
// their own depth. False, with the picture as it was below 24 bits, when the
// module raised, refused the picture or was stopped.
bool ilHueAndSaturation(GlobalHandle& dib, const HueChannels& channels, qint16 hueShift, qint16 saturation,
                        qint16 brightness, const IspRect* rect, void* owner = nullptr,
                        EffectProgress progress = nullptr);

// At most count colours (raised to 2, capped at 255). Takes the picture:
// answers the reduced picture and frees the input, or answers the input
// when no reduced picture came.
GlobalHandle ILReduceColors(GlobalHandle dib, int count, TSortDither dither);
// The picture at bits 1, 4, 8 or 24. dither: 0 nearest colour, 1 Bayer,
// 2 Burkes, 4 Floyd-Steinberg, 8 grey. colors is not used. No picture in,
// no picture out.
GlobalHandle ReduceDib(GlobalHandle dib, int bits, qint16 dither, int colors, qint16 option, void* owner = nullptr,
                       EffectProgress progress = nullptr);
// A new picture of target bits from a 1-, 4-, 8- or 16-bit picture; null
// when the input has 24 or 32 bits, the target is not above the input's
// depth or is no depth the codec module widens to.
GlobalHandle IncreaseDepth(GlobalHandle dib, int bits);

// ---- merge -------------------------------------------------------------------
// A copy of target with source pasted at (left, top). The three values are
// a key colour (blue, green, red) that is not copied; -1 for none.
GlobalHandle DropDib(GlobalHandle target, GlobalHandle source, qint16 keyBlue, qint16 keyGreen, qint16 keyRed,
                     int top, int left);
