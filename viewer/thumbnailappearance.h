#pragma once
// The stored values behind the thumbnail grid's look.

#include "platform/colors.h"

struct ThumbnailAppearance {
    qint32 diax = 100;                     // thumbnail width
    qint32 diay = 100;                     // thumbnail height (takes the width's value)
    qint32 diacolor = colors::kDesktop;    // grid background
    qint32 diarahmen = 0x0000FF;           // ColorSelected
    qint32 diarahmencolor = 0xC0C0C0;      // ColorUnSelected
    qint32 diasel = 0x808000;              // ColorChecked
    qint32 diafillcolor = 0xC0C0C0;        // ColorUnChecked
    qint32 fillcolor = 0xFFFFFF;           // FillColor
    qint32 rahmenw = 3;                    // FrameWidth
    qint32 ThumbFontColor = 0;             // file name colour

    // Sizes outside 32..300 become 100; the height follows the width.
    void applySizeRule();
};
