#pragma once
// Reads one picture from a SANE device into a packed DIB at the device's own
// depth (1-bit line art, 8-bit grey or 24-bit colour).

#include <sane/sane.h>

#include <cstdint>
#include <string>
#include <vector>

#include "decoderequest.h"

class SaneScan
{
public:
    explicit SaneScan(DecodeRequest& request) : m_request(request) {}

    // Opens device, asks for the mode that suits wantedBits and reads one
    // picture (all frames of a three-pass device). Null on any failure or a
    // stop from the progress callback.
    GlobalHandle acquire(const std::string& device, int wantedBits);

private:
    struct Frame {
        SANE_Parameters params{};
        std::vector<std::uint8_t> bytes;
        int lines = 0;
    };

    bool readFrame(SANE_Handle handle, int pass, Frame& frame);
    GlobalHandle picture(const std::vector<Frame>& frames) const;

    DecodeRequest& m_request;
};
