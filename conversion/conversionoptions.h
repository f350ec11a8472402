#pragma once
// What a batch conversion does with each picture: target format and
// folder, sizing, depth and the writers' options.

#include "imagecontrol/savedialogoptions.h"
#include "imagecontrol/savepicturefile.h"

#include <QString>

struct ConversionOptions {
    QString targetExt = QStringLiteral("jpg");  // lower case, without the dot
    QString folder;                             // target folder
    bool changeSize = false;   // width x height (kept in proportion when keepAspect)
    bool keepAspect = true;
    int width = 400;
    int height = 600;
    int percent = 0;           // above 0: scale by this percentage instead
    bool replaceSources = false;  // remove each source once its target is safe
    bool splitPages = false;      // every page of a TIFF, not only the listed one
    PictureSaveSettings save;
    SaveDialogOptions dialog;
};
