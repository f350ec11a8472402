#pragma once
// What the folder scan asks of the window; every call runs on the UI thread.

#include <QString>
#include <functional>

struct ScanHost {
    std::function<QString()> treePath;             // the folder chosen in the tree
    std::function<void()> updateFolderHistory;
    std::function<void(const QString&)> setWatcherRoot;
    std::function<void(bool)> setCancelEnabled;    // "Abbrechen"
    std::function<bool()> isUnsorted;
    std::function<void()> sortThumbnails;          // CompareThumbnails over the grid
    std::function<void()> updateMarkedCount;
    std::function<void(const QString&)> showMessage;   // status panel 3
};
