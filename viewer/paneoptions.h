#pragma once
// The picture pane's stored properties.

#include "platform/colors.h"

struct PaneOptions {
    qint32 Color = colors::kButtonFace;
    qint32 FXDelay = 25;
    qint32 FXColRowThick = 4;
    qint32 FXMethod = 0;
    bool StretchRatio = false;
    bool Center = true;
    bool AllowRubberBand = true;
    bool EditAnnotat = false;
    bool AutoLoadAnno = false;
    bool PNGInterLaced = true;
    bool TiffAppend = false;
    qint32 TifSaveCompress = 0;   // sNONE, sCCITT, sFAXCCITT3, sFAXCCITT4, sLZW, sPACKBITS
    qint32 JPegSaveSmooth = 5;

    // Quality 1..100; 0 or more than 100 is stored as 25.
    void setJPegSaveQuality(qint32 q) { JPegSaveQuality_ = (q < 1 || q > 100) ? 25 : q; }
    qint32 JPegSaveQuality() const { return JPegSaveQuality_; }

private:
    qint32 JPegSaveQuality_ = 100;
};
