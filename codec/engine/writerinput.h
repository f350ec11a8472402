#pragma once
// The picture an encoder writes: the caller's DIB, checked, and brought to
// a depth the format holds. The caller's handle is read, never changed.

#include "dibcore/dibcore.h"

class WriterInput
{
public:
    // bits (as DecodeRequest::bits() gives it): 0 keeps the picture's own
    // depth (1, 4 and 8 stay, deeper pictures become 24 bits), 1, 4, 8 or 24
    // convert to that depth; other values are refused.
    WriterInput(GlobalHandle dib, int bits);
    ~WriterInput();
    WriterInput(const WriterInput&) = delete;
    WriterInput& operator=(const WriterInput&) = delete;

    // False for a bad handle, a header that does not fit its block, or a
    // failed conversion.
    bool valid() const { return m_view.valid(); }
    // An uncompressed picture of 1, 4, 8 or 24 bits.
    const dibcore::DibView& view() const { return m_view; }

    // Brings the picture to bits (1, 4, 8 or 24); false when that fails.
    bool convert(int bits, dibcore::Dither dither);
    // Reduces the picture to black and white (1 bit, index 0 black).
    bool makeBlackAndWhite();
    // The colour table at full size for the depth (2, 16 or 256 entries,
    // missing entries black); empty for 24 bits.
    dibcore::Palette palette() const;

private:
    void adopt(GlobalHandle converted);

    GlobalHandle m_caller = nullptr;
    bool m_callerLocked = false;
    dibcore::DibGuard m_converted;
    dibcore::DibView m_view;
};
