#pragma once
// The effects dialog's own red-eye correction: pixels of the rectangle that
// are redder than its average move towards a target colour, fully at the
// rectangle's middle and less towards its edges.

#include "platform/globalmem.h"

#include <QRgb>

struct RedEyeOptions {
    int strength = 30;
    int strengthMax = 100;
    int tolerance = 30;
    int toleranceMax = 100;
    // The target: this colour when set, else the rectangle's average colour.
    bool useColour = false;
    QRgb colour = 0;
};

// A new 24-bit picture with the rectangle (right and bottom are edges,
// limited to the picture) corrected; null for an empty or bad picture.
GlobalHandle RedEyeCorrection(GlobalHandle source, int left, int top, int right, int bottom,
                              const RedEyeOptions& options);
