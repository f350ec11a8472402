#pragma once
// Text as a metafile's logical fonts draw it: the bytes of a character set
// turned into text, a Qt font for a logical font at a device size, and one
// run of text drawn at a reference point with the alignment, turn,
// background and character spacing the records ask for.

#include "gdiobjects.h"

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QList>
#include <QPointF>
#include <QString>

class QPainter;

namespace gditext {

enum TextAlign : unsigned {
    TA_NOUPDATECP = 0, TA_UPDATECP = 1,
    TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6, TA_HORIZONTAL_MASK = 6,
    TA_TOP = 0, TA_BOTTOM = 8, TA_BASELINE = 24, TA_VERTICAL_MASK = 24,
};

enum CharSet { ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2 };

// Text of bytes written for a font of the character set (Windows code
// pages; symbol fonts map to the Unicode characters they show).
QString decode(const QByteArray& bytes, int charSet, const QString& faceName);
// The same mapping for text that arrives as UTF-16 in a symbol font.
QString mapSymbols(const QString& text, int charSet, const QString& faceName);

// A Qt font for the logical font. emOrCell is the height in device pixels
// (a cell height when cellHeight, as for positive logical heights);
// stretch in percent (100: as designed).
QFont qtFont(const gdi::Font& font, double emOrCell, bool cellHeight, double stretch);
// The average character width of a font in device pixels.
double averageCharWidth(const QFont& font);

struct Style {
    QColor color = Qt::black;
    QColor background = Qt::white;
    bool opaque = false;  // fill the text's cell box with the background
    unsigned align = TA_TOP | TA_LEFT;
    double angle = 0;  // degrees, counter-clockwise on the device
};

// Draws text with its reference point at origin (painter coordinates, the
// painter untransformed). dx, when it holds one advance per UTF-16 unit,
// places each character; otherwise the font's own advances count. Returns
// the advance of the whole run.
double draw(QPainter& painter, QPointF origin, const QString& text, const QList<double>& dx, const QFont& font,
            const Style& style);

}  // namespace gditext
