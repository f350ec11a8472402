#include "diashowoptions.h"

#include "platform/settings.h"

namespace {

const QString kSection = QString::fromLatin1(DiaShowOptions::kSection);

}  // namespace

void DiaShowOptions::read(const Settings& s)
{
    background = s.readInteger(kSection, "Background", colors::kDesktop);
    delay = s.readInteger(kSection, "Delay", 5);
    thick = s.readInteger(kSection, "Thick", 4);
    fxNone = s.readBool(kSection, "FXN", true);
    fxHorizontal = s.readBool(kSection, "FXH", false);
    fxSquare = s.readBool(kSection, "FXS", false);
    fxVertical = s.readBool(kSection, "FXV", false);
    fxRectangle = s.readBool(kSection, "FXR", false);
    fxDiagonal = s.readBool(kSection, "FXD", false);
    random = s.readBool(kSection, "Random", false);
    fitBig = s.readBool(kSection, "BP", true);
    enlargeSmall = s.readBool(kSection, "SP", true);
    loadAnnotations = s.readBool(kSection, "LoadAnno", false);
    seconds = s.readInteger(kSection, "Steep", 5);
    manual = s.readBool(kSection, "Manuell", false);
    useSelected = s.readBool(kSection, "WSel", false);
    useAll = s.readBool(kSection, "WAll", true);
    useList = s.readBool(kSection, "WList", false);
    listName = s.readString(kSection, "Listname", QString());
    backward = s.readBool(kSection, "Direction", false);
    secondMonitor = s.readBool(kSection, "SecondMonitor", false);
}

void DiaShowOptions::write(Settings& s) const
{
    s.writeInteger(kSection, "Background", background);
    s.writeInteger(kSection, "Delay", delay);
    s.writeInteger(kSection, "Thick", thick);
    s.writeBool(kSection, "FXN", fxNone);
    s.writeBool(kSection, "FXH", fxHorizontal);
    s.writeBool(kSection, "FXS", fxSquare);
    s.writeBool(kSection, "FXV", fxVertical);
    s.writeBool(kSection, "FXR", fxRectangle);
    s.writeBool(kSection, "FXD", fxDiagonal);
    s.writeBool(kSection, "Random", random);
    s.writeBool(kSection, "BP", fitBig);
    s.writeBool(kSection, "SP", enlargeSmall);
    s.writeBool(kSection, "LoadAnno", loadAnnotations);
    s.writeInteger(kSection, "Steep", seconds);
    s.writeBool(kSection, "Manuell", manual);
    s.writeBool(kSection, "WSel", useSelected);
    s.writeBool(kSection, "WAll", useAll);
    s.writeBool(kSection, "WList", useList);
    s.writeString(kSection, "Listname", listName);
    s.writeBool(kSection, "Direction", backward);
    s.writeBool(kSection, "SecondMonitor", secondMonitor);
}

int DiaShowOptions::sourceMode() const
{
    if (useSelected)
        return 0;
    if (!useAll && useList)
        return 2;
    return 1;
}

TFXMethod DiaShowOptions::transition() const
{
    if (fxNone)
        return FXNone;
    if (fxDiagonal)
        return FXDiagonal;
    if (fxSquare)
        return FXDiagonalSquares;
    if (fxHorizontal)
        return FXHorizontal;
    if (fxRectangle)
        return FXRectangles;
    if (fxVertical)
        return FXVertical;
    return FXNone;
}

TFXMethod DiaShowOptions::randomTransition(int r)
{
    static constexpr TFXMethod kDrawn[] = {FXDiagonal, FXDiagonalSquares, FXHorizontal, FXRectangles, FXVertical};
    return r >= 0 && r < 5 ? kDrawn[r] : FXDiagonal;
}
