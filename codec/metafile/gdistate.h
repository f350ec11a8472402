#pragma once
// The drawing state of a metafile's device context: what SaveDC keeps and
// RestoreDC brings back.

#include "gdimapping.h"
#include "gdiobjects.h"

#include <QColor>
#include <QList>
#include <QPainterPath>
#include <QPointF>

#include <optional>

struct GdiState {
    gdi::Pen pen;
    gdi::Brush brush;
    gdi::Font font;
    QColor textColor = Qt::black;
    QColor bkColor = Qt::white;
    int bkMode = 2;        // OPAQUE
    int polyFillMode = 1;  // ALTERNATE
    int rop2 = 13;         // R2_COPYPEN
    int stretchMode = 1;   // BLACKONWHITE
    unsigned textAlign = 0;
    bool clockwiseArcs = false;
    double miterLimit = 10;
    double charExtra = 0;  // logical units added after each character
    QPointF position;      // current position, logical
    GdiMapping mapping;
    std::optional<QPainterPath> clip;  // painter coordinates; none: everything
    QList<QRgb> palette;   // the selected palette
};
