#pragma once
// What the editor reads from the viewer's settings store at start-up and
// writes back when it closes.

#include <QRect>
#include <QtGlobal>

struct EditorSettings {
    int fxDelay = 25;
    int fxThick = 4;
    int fxMethod = 0;
    qint32 viewColor = 0;
    QRect bounds{0, 0, 800, 600};   // "ef_x", "ef_y", "ef_w", "ef_h"
    bool openAnimate = false;
    int openSteep = 5;
    int openDelay = 10;
    int jpegSaveSmooth = 5;
    int jpegSaveQuality = 85;
    bool pngInterlaced = true;
    bool tiffAppended = false;
    int tiffCompression = 0;
    bool stretchRatio = false;
    bool center = true;
    bool allowRubberBand = true;
    bool editAnnotations = false;

    static EditorSettings read();
    // Writes the window bounds and the display choices.
    void write() const;
    // Width and height above 100, left and top from -19 to below the screen's size.
    bool plausibleBounds(QSize screen) const;
};
