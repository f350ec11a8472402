#pragma once
// What the grid asks of the window that hosts it. Every member may be empty.

#include <QString>
#include <functional>

class TBitmap;
struct Th;

struct ThumbnailHost {
    std::function<void(int)> setProgressPosition;
    std::function<int()> progressPosition;
    std::function<void(int)> setProgressMaximum;
    std::function<int()> progressMaximum;
    std::function<void(const QString&)> setStatusText;   // status panel 1
    std::function<void(bool)> setCancelEnabled;          // "Abbrechen"
    std::function<void(bool)> setSettingsEnabled;        // "Einstellungen"
    std::function<void(bool)> setArrangeEnabled;         // "Symbole anordnen..."
    std::function<bool()> isUnsorted;                    // "Unsortiert" is checked
    std::function<int(const Th&, const Th&)> compare;    // CompareThumbnails
    std::function<void()> relayout;                      // split pane re-layout
    std::function<void()> sortThumbnails;
    std::function<void()> updateMarkedCount;
    std::function<QString()> currentFolder;
    // Decodes a file the grid's own readers refuse, as the picture pane
    // would (by the type its content reports), without touching the pane.
    std::function<bool(const QString& path, TBitmap& picture)> decodeByContent;
    std::function<QString()> samplePicturePath;
    std::function<bool()> thumbnailsEnabled;             // "SaveDiaDB"
};
