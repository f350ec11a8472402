#pragma once
// The viewer's keys in sections "StartUp" and "FXEffect", as stored.

#include "fileoptions.h"
#include "thumbnailappearance.h"

#include <QSize>
#include <QString>

class Settings;

struct StartupSettings {
    // "FXEffect"
    qint32 Delay = 25;
    qint32 Thick = 4;
    qint32 FXMethod = 0;
    // "StartUp"
    qint32 ViewColor = colors::kButtonFace;
    QString BaseFolder;
    bool lastfolder = true;
    ThumbnailAppearance thumbs;
    bool StretchRatio = false;
    bool Center = true;
    bool AllowRubberBand = true;
    bool EditAnnotat = false;
    bool AutoLoadAnno = false;
    QString Copyfolder;
    QString Movefolder;
    qint32 f_w = 800, f_h = 600, f_x = 0, f_y = 0;
    qint32 sp_v = 172, sp_b = 400;
    QString sel_bild;
    FileDialogOptions dialog;
    qint32 Arranging = 0;
    qint32 Arranging_Direction = 0;
    bool SaveDiaDB = false;

    // Reads every key; "FXMethod" outside 1..5 becomes 0, thumbnail sizes
    // outside 32..300 become 100.
    static StartupSettings read(const Settings& store);
    void write(Settings& store) const;
    // The stored geometry is used only when it lies reasonably on the screen.
    bool geometryAcceptable(const QSize& screen) const;
};
