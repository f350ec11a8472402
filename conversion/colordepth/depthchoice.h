#pragma once
// The colour depths the colour depth dialog offers and the conversion of a
// picture to one of them. The conversion uses no global state: it runs on
// worker threads.

#include <QString>
#include <atomic>

class TBitmap;

enum class DepthChoice { None = -1, Mono, Colors16, Colors256, Colors15Bit, Colors16Bit, TrueColor, Colors32Bit, Grey };

inline constexpr int kDepthChoiceCount = 8;

// The caption of a choice ("Monochrom (1 Bit)" ...); empty for None.
QString DepthCaption(DepthChoice choice);

// source at the chosen depth: 1, 4 and 8 bits with an optimal palette and
// Floyd-Steinberg dithering (a picture with few enough colours keeps them),
// grey as 8 bits with a grey palette, 15 to 32 bits exactly; None gives
// source. Empty when source is empty, the conversion fails or stop is set.
TBitmap ConvertedToDepth(const TBitmap& source, DepthChoice choice, const std::atomic<bool>* stop = nullptr);
