#pragma once
// Reading a picture file for an annotation (an "Image" object or an image
// rubber stamp): decoded by the codec binding as the picture pane decodes
// it, made smaller to at most kMaxSide pixels on its longer side, and
// handed over as the layer takes pictures (AnnoPicture).

#include "codec/engine/crde2001.h"

#include <QImage>
#include <QString>

namespace annopicturefile {

constexpr int kMaxSide = 2048;

// The picture of the file at most kMaxSide on its longer side; a null
// image when the file cannot be read as a picture.
QImage read(const QString& file);
// The image as top-down B, G, R, A rows in a new block; false (and nothing
// allocated) for a null image or when the memory is not there.
bool toAnnoPicture(const QImage& image, AnnoPicture& picture);
// The open dialog's filter for the pictures read here.
QString filter();

}  // namespace annopicturefile
