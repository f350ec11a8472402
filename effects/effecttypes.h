#pragma once
// The enumerations the picture controls publish for transitions, grey
// scaling and dithering, and the callbacks of the effect calls.

#include "effects/engine/isp2000.h"

#include <cstdint>
#include <initializer_list>

enum TFXMethod { FXNone, FXHorizontal, FXVertical, FXDiagonal, FXDiagonalSquares, FXRectangles };

enum TScaleToGray {
    S_Gray_None,
    S_Gray_16_8,
    S_Gray_16_12,
    S_Gray_16_20,
    S_Gray_16_24,
    S_Gray_256_24,
    S_Gray_Anti_16,
    S_Gray_Anti_256
};

enum TSortDither { IL_BAYER, IL_BURKES, IL_FLOYD, IL_GRAYSCALE };

enum TBWImageFlags { C_DEL, C_AND, C_OR, C_ANTIALIAS, C_ANTIALIAS256 };

// A set of TBWImageFlags.
class BWCopyFlags {
public:
    constexpr BWCopyFlags() = default;
    constexpr BWCopyFlags(std::initializer_list<TBWImageFlags> flags)
    {
        for (TBWImageFlags f : flags)
            bits_ |= bit(f);
    }
    constexpr bool contains(TBWImageFlags f) const { return (bits_ & bit(f)) != 0; }
    constexpr void insert(TBWImageFlags f) { bits_ |= bit(f); }
    constexpr void remove(TBWImageFlags f) { bits_ &= ~bit(f); }
    constexpr bool isEmpty() const { return bits_ == 0; }
    constexpr bool operator==(const BWCopyFlags&) const = default;

private:
    static constexpr std::uint8_t bit(TBWImageFlags f) { return static_cast<std::uint8_t>(1u << int(f)); }
    std::uint8_t bits_ = 0;
};

// Percentage and owner in; non-zero to go on, 0 to stop.
using EffectProgress = IspProgress;
// An intermediate picture of "Warp" (valid during the call) and the owner
// in; 1 to go on.
using WarpFrameCallback = IspFrameCallback;
