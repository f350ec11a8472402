#pragma once
// Text drawn with a font turned by an angle, on a transparent or opaque
// background, optionally with a shadow 2 pixels right and down.

#include <QColor>
#include <QFont>
#include <QString>

class QPainter;

struct FontTextStyle {
    QFont font;
    QColor color = Qt::black;
    QColor shadowColor = Qt::black;
    QColor background = Qt::white;  // used when not transparent
    bool transparent = true;
    bool shadowed = false;
};

// (x, y) is the top-left corner of the text before it is turned; angle in
// degrees counter-clockwise.
void DrawFontText(QPainter& painter, int x, int y, int angle, const QString& text, const FontTextStyle& style);
