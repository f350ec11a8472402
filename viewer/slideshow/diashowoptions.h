#pragma once
// The slide show options of section "DiaShow": read by the show at every
// start, edited and written by the properties dialog.

#include "effects/effecttypes.h"
#include "platform/colors.h"

#include <QString>

class Settings;

struct DiaShowOptions {
    static constexpr const char* kSection = "DiaShow";

    qint32 background = colors::kDesktop;
    int delay = 5;      // transition speed
    int thick = 4;      // transition strip size
    bool fxNone = true;
    bool fxHorizontal = false;
    bool fxSquare = false;
    bool fxVertical = false;
    bool fxRectangle = false;
    bool fxDiagonal = false;
    bool random = false;
    bool fitBig = true;
    bool enlargeSmall = true;
    bool manual = false;
    bool loadAnnotations = false;
    bool backward = false;
    bool useSelected = false;
    bool useAll = true;
    bool useList = false;
    QString listName;
    int seconds = 5;    // between pictures
    bool secondMonitor = false;

    void read(const Settings& store);
    void write(Settings& store) const;

    // 0 marked grid items, 1 all grid items, 2 the slide list.
    int sourceMode() const;
    // The transition the radios choose: "FXN" gives none, else the first
    // of diagonal, square, horizontal, rectangle, vertical.
    TFXMethod transition() const;
    // The random draw r in 0..4 as a transition.
    static TFXMethod randomTransition(int r);
};
