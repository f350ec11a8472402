// TPMultiImage: editing the picture: undo, rotation, inversion and the
// effects dialog.

#include "pmultiimage.h"

#include "effectsdepth.h"

#include "codec/binding/dibconvert.h"
#include "effects/graphiceffects.h"
#include "effects/undoring.h"
#include "platform/hourglass.h"

#include <QCoreApplication>

void TPMultiImage::takeSnapshot()
{
    if (ILUndo && !picture_.empty())
        PushUndo(picture_);
}

void TPMultiImage::UndoImage()
{
    EndMessageMode();
    HourglassCursor wait;
    TBitmap work = picture_;
    PopUndo(work);
    if (work.empty())
        PopUndo(work);
    replacePicture(work);
}

void TPMultiImage::RotateImage(int left, int top, double angle, int right, int bottom)
{
    const ProgressWork work(*this);
    reportProgress(0);
    HourglassCursor wait;
    TBitmap copy = picture_;
    if (RotateGraphic(&copy, left, top, right, bottom, angle, RotateBackColor))
        setPicture(copy);
}

void TPMultiImage::InvertImage()
{
    const ProgressWork work(*this);
    reportProgress(0);
    HourglassCursor wait;
    TBitmap copy = picture_;
    if (InvertGraphic(&copy, ILUndo))
        setPicture(copy);
}

bool TPMultiImage::ShowEffectsDialog()
{
    if (!EffectsDialog)
        return false;
    takeSnapshot();
    QCoreApplication::processEvents();
    const TBitmap copy = picture_;
    GlobalHandle master = nullptr;
    {
        HourglassCursor wait;
        if (!copy.empty())
            master = BitmapToDibAtDepth(copy, EffectsDialogDepth(copy, imageInfo, LoadDepth()));
    }
    EffectApplied = false;
    bool applied = false;
    try {
        applied = EffectsDialog(*this, master);
    } catch (...) {
        FreeDIB(master);
        throw;
    }
    if (applied) {
        EffectApplied = true;
        HourglassCursor wait;
        TBitmap result;
        if (DIBToGraphic(master, result))
            setPicture(result);
    }
    FreeDIB(master);
    return true;
}
