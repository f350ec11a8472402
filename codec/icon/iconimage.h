#pragma once
// The picture of one icon entry: PNG entries through Qt's PNG reader, DIB
// entries through Qt's ICO plugin, and through our own reading where the
// plugin does not serve (16-bit and bit-field pictures, odd headers).

#include "icondirectory.h"

#include <QImage>

namespace iconimage {

// ARGB32 (transparent where the mask or alpha says so); null when the
// entry cannot be decoded.
QImage decode(const QByteArray& file, const IconEntry& entry);

// Our own reading of a DIB entry, also used when the plugin fails.
QImage decodeDib(const QByteArray& data, const IconEntry& entry);

}  // namespace iconimage
