#pragma once
// BMP files from packed DIBs: the 14-byte file header, then the DIB.

#include "platform/globalmem.h"

#include <QByteArray>
#include <QString>

// The DIB as the bytes of a BMP file; empty for a bad DIB.
QByteArray BmpFileBytes(GlobalHandle dib);
// Writes the file; false when the DIB is bad or the file cannot be written.
bool WriteBmpFile(const QString& path, GlobalHandle dib);
