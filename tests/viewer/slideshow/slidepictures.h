#pragma once
// Small pictures for the slide show tests.

#include <QColor>
#include <QString>
#include <QStringList>

// A w x h PNG of one colour at path; false when it could not be written.
bool writePicture(const QString& path, const QColor& colour, int w = 64, int h = 48);
// count PNGs "slide0.png" ... in folder, each its own colour.
QStringList writePictures(const QString& folder, int count);
// The colour writePictures gives picture index.
QColor colourOf(int index);
// Empties section "DiaShow" of the settings store.
void clearSlideShowOptions();
