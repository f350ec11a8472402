#include "transitionpreview.h"

#include "imagecontrol/pmultiimage.h"

#include <algorithm>

int trackValueOfText(const QString& text, int minimum, int maximum)
{
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok);
    return int(std::clamp<qlonglong>(ok ? value : 1, minimum, maximum));
}

void playTransitionPreview(TPMultiImage& control, int delay, int thick, TFXMethod method)
{
    control.FXDelay = delay;
    control.FXColRowThick = thick;
    control.FXMethod = method;
    if (method == FXNone || control.Picture().empty())
        return;
    control.TransitionBitmap = control.Picture();
    control.setPicture(TBitmap());
    control.PlayTransition();
}
