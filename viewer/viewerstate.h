#pragma once
// Program-wide state of the viewer, shared by the main window, the folder
// scan and the dialogs.

#include "thumbnailappearance.h"

#include <QString>
#include <atomic>

class QThread;

struct ViewerState {
    std::atomic<bool> NotifySuppressed{true};
    std::atomic<bool> ScanActive{false};
    QThread* ScanThread = nullptr;
    QString CurrentFolder;
    QString LastScannedFolder;
    QString SelectedPicture;
    QString CopyFolder;
    QString MoveFolder;
    QString RenameTarget;
    qint32 SortOrder = 0;
    qint32 SortDescending = 0;
    bool ThumbnailsEnabled = false;
    ThumbnailAppearance appearance;
    qint32 SettingsResult = 0;
    QString SamplePicturePath;
};
