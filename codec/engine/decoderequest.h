#pragma once
// What the caller asked of a decoder: output depth, dithering and progress.

#include "crde2001.h"
#include "platform/globalmem.h"

class DecodeRequest
{
public:
    DecodeRequest(int bits, int dither, ProgressCallback callback, void* sender);

    // 0 (the picture's own depth), 1, 4, 8 or 24.
    int bits() const { return m_bits; }
    bool dither() const { return m_dither; }

    // Reports percent (0..100, only when it changed); false once the caller
    // asked to stop.
    bool progress(int percent);
    bool stopped() const { return m_stopped; }

    // Turns the decoder's picture (natural depth) into the requested depth.
    // Takes ownership of natural; null when it is null or on a stop.
    GlobalHandle finish(GlobalHandle natural);

private:
    int m_bits;
    bool m_dither;
    ProgressCallback m_callback;
    void* m_sender;
    int m_lastPercent = -1;
    bool m_stopped = false;
};
