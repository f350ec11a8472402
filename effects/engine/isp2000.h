#pragma once
// Entries of the effects engine module ISP2000.so.
//
// The binding opens the module with dlopen and resolves every entry by name
// with dlsym; each entry has a function-pointer typedef <name>_fn here. When
// the engine itself is compiled (ISP2000_BUILD defined) the same list also
// declares the exported functions.
//
// Conventions
// - Pictures cross as GlobalHandle blocks (platform/globalmem.h) holding a
//   packed DIB. Effects take 24- or 32-bit uncompressed DIBs (32 bits: blue,
//   green, red, unused byte); any other depth, a compressed DIB or a header
//   that does not fit its block fails. A handle the engine returns is a new
//   block of the input's depth that belongs to the caller; the engine never
//   frees a handle it was given.
// - IspRect: left, top, right, bottom in pixels, rows counted from the top,
//   right and bottom exclusive. Only pixels inside it change; it is clipped
//   to the picture, and a null rectangle means the whole picture. Effects
//   that look at neighbours treat the rectangle's border as the picture's
//   edge.
// - The progress callback gets a percentage 0..100 and the owner; it
//   answers non-zero to go on and 0 to stop. A stopped effect answers no
//   picture (0) and leaves an in-place input unchanged. A null callback is
//   allowed.
// - Booleans: any non-zero value is true.
// - Results: new-picture entries answer the handle or 0; in-place entries
//   answer 1 for success and 0 for failure.
//
// What each entry computes
//   FXSkipHorizontal      reveals the prepared picture in horizontal strips of
//                         the given thickness: every other strip top to
//                         bottom, then the strips in between bottom to top
//   FXSkipVertical        the same with vertical strips, left to right, then
//                         right to left
//   FXSkipDiagonals       the same with diagonal bands (x + y) of cells of
//                         the given size, even bands first, then odd bands
//   FXSkipDiagonalSquares cells of the given size in a chessboard: the dark
//                         squares row by row, then the light squares
//   FXSkipRectangles      concentric rectangular rings from the centre out:
//                         every other ring, then the rings in between
//   ILRotate              rotates by any angle (degrees, counter-clockwise),
//                         bilinear; the whole picture grows to hold the
//                         rotated corners, a smaller rectangle turns about
//                         its centre within itself; uncovered pixels take
//                         the fill colour (0x00BBGGRR); multiples of 90
//                         degrees are exact
//   ILMirror              flips in place: vertical exchanges top and bottom,
//                         horizontal exchanges left and right (any
//                         uncompressed depth, exactly)
//   ScaleDib              resizes to width x height: area average on an
//                         axis that shrinks, bilinear on one that grows
//                         (keeps the average colour); palette and 16-bit
//                         pictures come back with 24 bits
//   ScaleToGray           resizes any-depth picture to a grey picture, area
//                         averaged: S_Gray_None point sampled 8-bit grey;
//                         S_Gray_16_n 16 greys (4-bit) with dark ink weighted
//                         n/10 (8, 12, 20, 24) so thin lines stay visible;
//                         S_Gray_256_24 256 greys (8-bit) with ink weighted
//                         2.4; S_Gray_Anti_16 / S_Gray_Anti_256 plain area
//                         average at 16 / 256 greys
//   Warp                  displaces each pixel along a vector field made from
//                         its colour (hue gives the direction, saturation the
//                         length, else luminance), turned by the vector
//                         rotation, smoothed when convolve is set; the
//                         displacement (pixels x scale / 10) grows over the
//                         steps, each intermediate picture going to the frame
//                         callback (0 from it stops)
//   RecToPolar            wraps the rectangle around its centre (rows become
//                         rings, columns become angles), value = radius zoom
//                         in percent (0 = 100), angle turns the result,
//                         invert gives the reverse (polar to rectangular),
//                         backwards runs the angle the other way
//   Curl                  curls the chosen corner (or the right / top edge
//                         for horizontal / vertical) over, showing the back
//                         of the page shaded in the foreground colour, the
//                         uncovered area in the chosen colour (or the picture
//                         when kept) and an optional shadow
//   PinchHole             radial distortion in the inscribed ellipse: source
//                         radius = R * (r / R) ^ (2 ^ (amount / 20));
//                         negative pinches towards a hole, positive bulges
//   Whirl                 turns each point about the centre by angle degrees
//                         x (1 - r / R)^2 inside the inscribed ellipse
//   Wave                  ripples: x moves by amplitude/10 pixels x
//                         sin(2 pi y / length + phase/10 degrees), y likewise
//                         with x; points from outside: smear clamps to the
//                         edge, reflection mirrors, neither keeps the pixel
//   Jiggle                shifts each row sideways by amplitude pixels along
//                         a sine or triangle (over the rows) of the given
//                         period
//   TileDib               the picture at half size, four times (2 x 2)
//   ILInvert              255 - value of every channel, in place (palette
//                         pictures: of every colour-table entry)
//   ILBrightness          adds the amount (-255..255) to every channel, in
//                         place (palette pictures: to the colour table)
//   ILGamma               255 x (v / 255) ^ (10 / value) per channel, in
//                         place (value 10 = 1.0; above brightens; palette
//                         pictures: the colour table)
//   AutoContrast          stretches the levels so the darkest 0.5 % become 0
//                         and the brightest 0.5 % 255, one mapping for all
//                         channels
//   Enhance               per channel gamma (value / 10), then contrast
//                         (-255..255) about 128, then brightness added
//   ilHueAndSaturation    in HSL: pixels of the chosen colour ranges (red,
//                         green, blue, yellow, magenta, cyan, 60 degrees wide
//                         with soft edges; all six: every pixel) get hue +
//                         shift, saturation x (100 + change) / 100, lightness
//                         moved by change percent towards white or black
//   GrayArea              replaces each pixel by its luminance
//   ThresholdDib          luminance >= threshold gives white, else black; with
//                         anti-aliasing four sub-pixel samples give 5 greys
//   ILReduceColors        at most count colours (2..256) with an optimal
//                         palette (grey ramp for dither 8), 1, 4 or 8 bits as
//                         the count needs; dither 1 Bayer, 2 Burkes, 4
//                         Floyd-Steinberg, 8 grey
//   ReduceDib             any DIB to 1, 4, 8 or 24 bits: 1 bit black and
//                         white, 4 bits VGA (16 greys for grey pictures), 8
//                         bits the picture's own colours or an optimal
//                         palette; option 1 takes the fixed palettes (mono,
//                         VGA, 6x6x6 cube); dither as above, 0 nearest colour
//   Blur                  Gaussian blur, sigma = amount / 2 pixels (three box
//                         passes per axis)
//   Better                v + amount / 3 x (v - blur3x3); negative amounts
//                         (-9..-1) blend towards the 3x3 blur instead
//   Edge                  Sobel gradient magnitude per channel x amount / 8
//   Engrave               grey relief: 128 + amount x (luminance difference
//                         along the down-right diagonal)
//   Bled                  glow: a blurred copy (sigma 4) screened over the
//                         picture at amount / 255, or multiplied for negative
//                         amounts
//   PixelFix              despeckle: a channel that differs from its 3x3
//                         median by more than (100 - amount) % of 255 takes
//                         the median
//   OilPainting           in the square of radius amount the most frequent of
//                         20 luminance levels wins; the pixel takes that
//                         level's average colour
//   HToneImage            halftone screen per channel: cells of the given
//                         size turned by angle, dot shape circle, ellipse,
//                         square, diamond, line or cross
//   Noise                 adds uniform (+-amount) or Gaussian (sigma amount/2)
//                         noise per channel, one value for all three with grey
//                         noise; fixed seed, so repeatable
//   Motion                averages samples along a path: zoom towards the
//                         centre (amount / 10 % of the distance), rotate about
//                         the centre (angle x amount / 100 degrees), line
//                         (amount pixels at angle degrees)
//   Mosaic                tiles (squares, or irregular polygons scattered by
//                         randomness) of the given size filled with their
//                         average colour (smoothing) or the colour at their
//                         seed, grout of spacing pixels in the background
//                         colour, bevel of height / 10 pixels lit from the
//                         light angle with the foreground colour
//   Spray                 each pixel takes the colour of a random pixel at
//                         most amount pixels away; the factor seeds the
//                         randomness
//   ExtrudeDib            blocks of depth x 4 pixels raised with their
//                         average colour, lit top-left and shaded
//                         bottom-right; with levels the bevel grows with the
//                         block's brightness
//   FadeDib               blends towards the colour near the rectangle's
//                         border: full at the edge, none at border width
//   DropDib               pastes the source into the target at (left, top),
//                         clipped; a key colour given as blue, green, red
//                         (each 0..255; -1 = none) is not copied

#include <stdint.h>

#include "platform/globalmem.h"

extern "C" {

typedef struct IspRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
} IspRect;

typedef short (*IspProgress)(short percent, void* owner);
// An intermediate picture (valid during the call only) and the owner in;
// 1 to go on, 0 to stop.
typedef int (*IspFrameCallback)(GlobalHandle frame, void* owner);

// The prepared picture of a transition; the engine only passes it back.
typedef struct IspPicture {
    void* bitmap;
    int32_t width;
    int32_t height;
} IspPicture;

// The target of a transition. blit copies the rectangle (x, y, w, h) of the
// prepared picture to the same place on the target; wait lets the given
// milliseconds pass (processing the program's events) and answers 0 to stop.
typedef struct IspCanvas {
    void* context;
    int (*blit)(void* context, void* bitmap, int32_t x, int32_t y, int32_t width, int32_t height);
    int (*wait)(void* context, int32_t milliseconds);
} IspCanvas;

}

#if defined(ISP2000_BUILD)
#define ISP_EXPORT __attribute__((visibility("default")))
#define ISP_ENTRY(ret, name, params) \
    extern "C" {                     \
    typedef ret(*name##_fn) params;  \
    ISP_EXPORT ret name params;      \
    }
#else
#define ISP_ENTRY(ret, name, params) \
    extern "C" {                     \
    typedef ret(*name##_fn) params;  \
    }
#endif

// Optional set-up export; this engine has none, the binding calls it when
// present.
extern "C" typedef int (*DllInit_fn)(void* window);

// ---- transitions -----------------------------------------------------------
ISP_ENTRY(int, FXSkipHorizontal, (const IspCanvas* dc, const IspPicture* source, int32_t thickness, int32_t delay))
ISP_ENTRY(int, FXSkipVertical, (const IspCanvas* dc, const IspPicture* source, int32_t thickness, int32_t delay))
ISP_ENTRY(int, FXSkipDiagonals, (const IspCanvas* dc, const IspPicture* source, int32_t thickness, int32_t delay))
ISP_ENTRY(int, FXSkipDiagonalSquares,
          (const IspCanvas* dc, const IspPicture* source, int32_t thickness, int32_t delay))
ISP_ENTRY(int, FXSkipRectangles, (const IspCanvas* dc, const IspPicture* source, int32_t delay))

// ---- geometry --------------------------------------------------------------
ISP_ENTRY(GlobalHandle, ILRotate, (GlobalHandle dib, double angle, const IspRect* rect, uint32_t fill))
ISP_ENTRY(int, ILMirror, (GlobalHandle dib, int32_t vertical, int32_t horizontal))
ISP_ENTRY(GlobalHandle, ScaleDib, (GlobalHandle dib, int32_t width, int32_t height))
ISP_ENTRY(GlobalHandle, ScaleToGray, (GlobalHandle dib, int32_t mode, int32_t width, int32_t height))
ISP_ENTRY(GlobalHandle, Warp,
          (GlobalHandle dib, short rgbToHue, short rgbToSaturation, short convolve, int32_t scale,
           int32_t vectorRotation, int32_t steps, int32_t displacement, void* owner, IspProgress progress,
           IspFrameCallback frame))
ISP_ENTRY(GlobalHandle, RecToPolar,
          (GlobalHandle dib, int32_t value, int32_t angle, int32_t invert, int32_t backwards, const IspRect* rect,
           void* owner, IspProgress progress))
ISP_ENTRY(GlobalHandle, Curl,
          (GlobalHandle dib, short backUsesBackground, short backUsesForeground, short keepPicture,
           short shadowUsesBackground, short shadowUsesForeground, double shadowTransparency, short shadeUnder,
           short leftBottom, short rightBottom, short leftTop, short rightTop, short vertical, short horizontal,
           uint8_t foreRed, uint8_t foreGreen, uint8_t foreBlue, uint8_t backRed, uint8_t backGreen,
           uint8_t backBlue, const IspRect* rect, void* owner, IspProgress progress))
ISP_ENTRY(GlobalHandle, PinchHole, (GlobalHandle dib, double amount, const IspRect* rect, void* owner, IspProgress progress))
ISP_ENTRY(GlobalHandle, Whirl, (GlobalHandle dib, double angle, const IspRect* rect, void* owner, IspProgress progress))
ISP_ENTRY(GlobalHandle, Wave,
          (GlobalHandle dib, double amplitude, int32_t waveLength, double phase, int32_t smear, int32_t reflection,
           const IspRect* rect, void* owner, IspProgress progress))
ISP_ENTRY(GlobalHandle, Jiggle,
          (GlobalHandle dib, int32_t period, int32_t amplitude, short waveForm, const IspRect* rect, void* owner,
           IspProgress progress))
ISP_ENTRY(GlobalHandle, TileDib, (GlobalHandle dib, void* owner, IspProgress progress))

// ---- tone and colour ---------------------------------------------------------
ISP_ENTRY(int, ILInvert, (GlobalHandle dib))
ISP_ENTRY(int, ILBrightness, (GlobalHandle dib, int32_t amount))
ISP_ENTRY(int, ILGamma, (GlobalHandle dib, int32_t gammaTimesTen))
ISP_ENTRY(GlobalHandle, AutoContrast, (GlobalHandle dib, const IspRect* rect, void* owner, IspProgress progress))
ISP_ENTRY(GlobalHandle, Enhance,
          (GlobalHandle dib, int32_t brightness, int32_t contrast, int32_t gammaBlue, int32_t gammaGreen,
           int32_t gammaRed, const IspRect* rect, void* owner, IspProgress progress))
ISP_ENTRY(int, ilHueAndSaturation,
          (GlobalHandle dib, short red, short green, short blue, short yellow, short magenta, short cyan,
           short hueShift, short saturation, short brightness, const IspRect* rect, void* owner,
           IspProgress progress))
ISP_ENTRY(GlobalHandle, GrayArea, (GlobalHandle dib, const IspRect* rect, void* owner, IspProgress progress))
ISP_ENTRY(GlobalHandle, ThresholdDib,
          (GlobalHandle dib, int32_t threshold, short antiAlias, const IspRect* rect, void* owner,
           IspProgress progress))
ISP_ENTRY(GlobalHandle, ILReduceColors, (GlobalHandle dib, int32_t colors, int32_t dither))
ISP_ENTRY(GlobalHandle, ReduceDib,
          (GlobalHandle dib, int32_t bits, short dither, short reserved1, int32_t reserved2, short option,
           void* owner, IspProgress progress))

// ---- filters -----------------------------------------------------------------
ISP_ENTRY(GlobalHandle, Blur, (GlobalHandle dib, int32_t amount, const IspRect* rect, void* owner, IspProgress progress))
ISP_ENTRY(GlobalHandle, Better, (GlobalHandle dib, int32_t amount, const IspRect* rect, void* owner, IspProgress progress))
ISP_ENTRY(GlobalHandle, Edge, (GlobalHandle dib, int32_t amount, const IspRect* rect, void* owner, IspProgress progress))
ISP_ENTRY(GlobalHandle, Engrave, (GlobalHandle dib, int32_t amount, const IspRect* rect, void* owner, IspProgress progress))
ISP_ENTRY(GlobalHandle, Bled, (GlobalHandle dib, int32_t amount, const IspRect* rect, void* owner, IspProgress progress))
ISP_ENTRY(GlobalHandle, PixelFix, (GlobalHandle dib, int32_t amount, const IspRect* rect, void* owner, IspProgress progress))
ISP_ENTRY(GlobalHandle, OilPainting,
          (GlobalHandle dib, int32_t amount, const IspRect* rect, void* owner, IspProgress progress))
ISP_ENTRY(GlobalHandle, HToneImage,
          (GlobalHandle dib, int32_t cellSize, float angle, int32_t shape, void* owner, IspProgress progress))
ISP_ENTRY(GlobalHandle, Noise,
          (GlobalHandle dib, int32_t gaussian, int32_t grey, int32_t red, int32_t green, int32_t blue,
           const IspRect* rect, void* owner, IspProgress progress))
ISP_ENTRY(GlobalHandle, Motion,
          (GlobalHandle dib, int32_t amount, int32_t angle, short kind, const IspRect* rect, void* owner,
           IspProgress progress))
ISP_ENTRY(GlobalHandle, Mosaic,
          (GlobalHandle dib, int32_t tileSize, int32_t tileHeight, int32_t spacing, int32_t lightAngle,
           int32_t randomness, int32_t antiAlias, int32_t squares, int32_t smoothing, uint8_t backBlue,
           uint8_t backGreen, uint8_t backRed, uint8_t foreBlue, uint8_t foreGreen, uint8_t foreRed,
           const IspRect* rect, void* owner, IspProgress progress))
ISP_ENTRY(GlobalHandle, Spray,
          (GlobalHandle dib, int32_t amount, int32_t factor, const IspRect* rect, void* owner, IspProgress progress))
ISP_ENTRY(GlobalHandle, ExtrudeDib, (GlobalHandle dib, short levels, int32_t depth, void* owner, IspProgress progress))
ISP_ENTRY(GlobalHandle, FadeDib,
          (GlobalHandle dib, int32_t border, int32_t red, int32_t green, int32_t blue, const IspRect* rect,
           void* owner, IspProgress progress))

// ---- merge -------------------------------------------------------------------
ISP_ENTRY(GlobalHandle, DropDib,
          (GlobalHandle target, GlobalHandle source, short keyBlue, short keyGreen, short keyRed, int32_t top,
           int32_t left))
