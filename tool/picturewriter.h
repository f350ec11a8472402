#pragma once
// Writes a DIB as a picture file chosen by the name's extension: BMP/DIB
// and PNG/JPEG whole through a temporary file, TIFF, GIF, PCX and TGA
// through the codec binding's encoders (which do the same). Throws a
// ToolError: a usage error for an extension no writer takes, a failure
// when the file cannot be written.

#include "platform/globalmem.h"

#include <QString>

void writePicture(const QString& path, GlobalHandle dib);
