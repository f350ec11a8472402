#pragma once
// Pictures for the picture control's tests, made here or copied from the
// test data folder into a temporary folder.

#include <QImage>
#include <QString>
#include <QTemporaryDir>

namespace picturefiles {

// A colour picture whose every pixel differs from its neighbours.
QImage pattern(int width, int height, int seed = 0);
// Saves image under name in dir (format by extension); the full path.
QString save(const QTemporaryDir& dir, const QString& name, const QImage& image);
// Copies a file of tests/data into dir under name; the full path.
QString copyData(const QTemporaryDir& dir, const QString& dataFile, const QString& name);
// Writes bytes to name in dir; the full path.
QString writeBytes(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes);
// Pixels of a and b equal after conversion to RGB32.
bool samePixels(const QImage& a, const QImage& b);
// Same size, and no channel differs by more than tolerance.
bool closePixels(const QImage& a, const QImage& b, int tolerance);

}  // namespace picturefiles
