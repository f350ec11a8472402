#include "editorsettings.h"

#include "platform/colors.h"
#include "platform/settings.h"

namespace {
const QString kStartUp = QStringLiteral("StartUp");
const QString kFx = QStringLiteral("FXEffect");
}  // namespace

EditorSettings EditorSettings::read()
{
    const Settings s;
    EditorSettings e;
    e.fxDelay = s.readInteger(kFx, "Delay", 25);
    e.fxThick = s.readInteger(kFx, "Thick", 4);
    e.fxMethod = s.readInteger(kFx, "FXMethod", 0);
    e.viewColor = s.readInteger(kStartUp, "ViewColor", colors::kButtonFace);
    e.bounds = QRect(s.readInteger(kStartUp, "ef_x", 0), s.readInteger(kStartUp, "ef_y", 0),
                     s.readInteger(kStartUp, "ef_w", 800), s.readInteger(kStartUp, "ef_h", 600));
    e.openAnimate = s.readBool(kStartUp, "open_animate", false);
    e.openSteep = s.readInteger(kStartUp, "open_steep", 5);
    e.openDelay = s.readInteger(kStartUp, "open_delay", 10);
    e.jpegSaveSmooth = s.readInteger(kStartUp, "JPEGSaveSmooth", 5);
    e.jpegSaveQuality = s.readInteger(kStartUp, "JPEGSaveQualiy", 85);
    e.pngInterlaced = s.readBool(kStartUp, "PNGInterLaced", true);
    e.tiffAppended = s.readBool(kStartUp, "TIFFAppended", false);
    e.tiffCompression = s.readInteger(kStartUp, "TIFFCompres", 0);
    e.stretchRatio = s.readBool(kStartUp, "EditStretchRatio", false);
    e.center = s.readBool(kStartUp, "EditCenter", true);
    e.allowRubberBand = s.readBool(kStartUp, "EditAllowRubberBand", true);
    e.editAnnotations = s.readBool(kStartUp, "EditEditAnnotat", false);
    return e;
}

void EditorSettings::write() const
{
    Settings s;
    s.writeInteger(kStartUp, "ef_w", bounds.width());
    s.writeInteger(kStartUp, "ef_h", bounds.height());
    s.writeInteger(kStartUp, "ef_x", bounds.x());
    s.writeInteger(kStartUp, "ef_y", bounds.y());
    s.writeBool(kStartUp, "EditStretchRatio", stretchRatio);
    s.writeBool(kStartUp, "EditCenter", center);
    s.writeBool(kStartUp, "EditAllowRubberBand", allowRubberBand);
    s.writeBool(kStartUp, "EditEditAnnotat", editAnnotations);
    s.sync();
}

bool EditorSettings::plausibleBounds(QSize screen) const
{
    return bounds.width() > 100 && bounds.height() > 100 && bounds.x() >= -19 && bounds.x() < screen.width()
           && bounds.y() >= -19 && bounds.y() < screen.height();
}
