#pragma once

#include <QString>

// A file the grid takes: one of the picture extensions, and larger than the
// smallest possible file of its type (GIF 89a files under 807 bytes are not).
bool IsPictureFile(const QString& path);
