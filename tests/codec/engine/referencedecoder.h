#pragma once
// Independent decoders the engine is checked against: ImageMagick, and
// netpbm's pcxtoppm for PCX (ImageMagick 6 inverts 1-bit PCX files).

#include <QImage>
#include <QString>

namespace referencedecoder {

// True when a reference decoder for this file's type can be run.
bool available(const QString& path);
// The picture (page or frame `page`) as RGB888, transparency laid over
// white, orientation applied; null when the reference decoder fails.
QImage decode(const QString& path, int page = 0);

}  // namespace referencedecoder
