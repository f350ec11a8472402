#include "graphiceffects.h"

#include "effectcalls.h"
#include "effectsstate.h"
#include "undoring.h"

#include "codec/binding/dibconvert.h"
#include "codec/binding/errorinvalid.h"
#include "codec/binding/tbitmap.h"
#include "dibcore/dibguard.h"

namespace {

[[noreturn]] void inputEmpty()
{
    throw ErrorInvalid(QString::fromLatin1(errortext::kInputEmpty));
}

// The graphic as a DIB; throws when there is none to speak of.
GlobalHandle dibOf(const TBitmap* graphic)
{
    if (!graphic || graphic->empty())
        inputEmpty();
    GlobalHandle dib = GraphicToDIB(graphic);
    if (globalmem::size(dib) <= 4) {
        FreeDIB(dib);
        inputEmpty();
    }
    return dib;
}

// Snapshot when asked, then the DIB back into the graphic.
bool writeBack(TBitmap* graphic, GlobalHandle dib, bool snapshot)
{
    if (snapshot)
        PushUndo(*graphic);
    return DIBToGraphic(dib, *graphic);
}

}  // namespace

GlobalHandle BitmapToDibAtDepth(const TBitmap& bitmap, int bits)
{
    return GraphicToDIBDepth(&bitmap, bits, SharedDither(), nullptr, nullptr);
}

bool RotateGraphic(TBitmap* graphic, int left, int top, int right, int bottom, double angle, qint32 background)
{
    dibcore::DibGuard dib(dibOf(graphic));
    GlobalHandle h = dib.release();
    const bool turned = ILRotate(h, left, top, right, bottom, angle, background);
    dib.reset(h);
    return turned && writeBack(graphic, dib.get(), false);
}

bool InvertGraphic(TBitmap* graphic, bool snapshot)
{
    dibcore::DibGuard dib(dibOf(graphic));
    GlobalHandle h = dib.release();
    const bool inverted = ILInvert(h);
    dib.reset(h);
    return inverted && writeBack(graphic, dib.get(), snapshot);
}

bool GrayAreaGraphic(TBitmap* graphic, int left, int top, int right, int bottom, bool snapshot, void* owner,
                     EffectProgress progress)
{
    dibcore::DibGuard dib(dibOf(graphic));
    dibcore::DibGuard grey(GrayArea(dib.get(), left, top, right, bottom, owner, progress));
    return grey.get() && writeBack(graphic, grey.get(), snapshot);
}
