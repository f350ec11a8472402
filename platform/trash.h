#pragma once
// The desktop's Trash (freedesktop.org Trash specification), through Qt.

#include <QString>

namespace trash {

// Whether a file there can go to a Trash: the user's own Trash on the same
// file system, or one at the top of the file system the file lives on.
bool availableFor(const QString& path);

// Whether the file lives on the file system of the user's own Trash.
bool onHomeTrashVolume(const QString& path);

// Moves the file to the Trash; false when it could not.
bool moveToTrash(const QString& path);

}  // namespace trash
