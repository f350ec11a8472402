#include "timethread.h"

#include "viewerstate.h"

#include "thumbnails/ispicturefile.h"
#include "thumbnails/piclibthumbnails.h"
#include "platform/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

namespace {

QDateTime wholeSeconds(const QDateTime& t)
{
    return t.addMSecs(-t.time().msec());
}

}  // namespace

TTimeThread::TTimeThread(TPicLibThumbnails* grid, ViewerState* state, ScanHost host, QObject* parent)
    : QThread(parent), grid_(grid), state_(state), host_(std::move(host))
{
}

QString TTimeThread::databaseFile(const QString& folder)
{
    return paths::withTrailingSeparator(folder) + QStringLiteral("KvnThumbalais.db");
}

void TTimeThread::uiStep(const std::function<void()>& step)
{
    QMetaObject::invokeMethod(grid_, [&step] {
        try {
            step();
        } catch (const std::exception&) {
            // errors of one step do not end the scan
        }
    }, Qt::BlockingQueuedConnection);
}

void TTimeThread::yield()
{
    uiStep([] { QCoreApplication::processEvents(); });
}

bool TTimeThread::cancelled() const
{
    return grid_->CancelRequested;
}

void TTimeThread::run()
{
    decoded_ = reused_ = 0;
    try {
        scan();
        // a stopped scan keeps the remembered picture selected too, if it came in
        reselect();
    } catch (const std::exception&) {
    }
    finish();
}

void TTimeThread::scan()
{
    state_->NotifySuppressed = true;
    state_->ScanActive = true;
    grid_->CancelRequested = false;
    QString folder;
    uiStep([&] {
        // the selected picture is selected again at the end
        const int selected = grid_->CurrentSelected;
        if (state_->SelectedPicture.isEmpty() && selected >= 0 && selected < grid_->itemCount())
            state_->SelectedPicture = grid_->item(selected).FileName;
        grid_->CurrentSelected = -1;
        if (host_.updateFolderHistory)
            host_.updateFolderHistory();
        folder = host_.treePath ? paths::normalized(host_.treePath()) : QString();
    });
    if (cancelled())
        return;
    const QString database = databaseFile(folder);
    const bool otherFolder = !paths::sameFolder(folder, state_->LastScannedFolder);
    if (otherFolder || grid_->InterruptedDatabase() == database) {
        grid_->CancelRequested = false;
        const QString last = state_->LastScannedFolder;
        if (otherFolder && !last.isEmpty() && QFileInfo(last).isDir())
            uiStep([&] {
                QCoreApplication::processEvents();
                grid_->SaveDatabase(databaseFile(last));
                QCoreApplication::processEvents();
            });
        if (cancelled())
            return;
        yield();
        bool loaded = true;
        uiStep([&] {
            QCoreApplication::processEvents();
            grid_->Clear();
            // from here on the grid holds this folder's items, however the load ends
            state_->LastScannedFolder = folder;
            QCoreApplication::processEvents();
            loaded = grid_->LoadDatabase(database);
            QCoreApplication::processEvents();
            grid_->viewport()->update();
        });
        // a cancelled load ends the scan, though the load clears the request
        if (!loaded)
            return;
        yield();
    }
    if (cancelled())
        return;
    state_->LastScannedFolder = folder;
    if (!QFileInfo(folder).isDir())
        return;
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    uiStep([&] {
        if (grid_->host.setProgressPosition)
            grid_->host.setProgressPosition(0);
        if (grid_->host.setProgressMaximum)
            grid_->host.setProgressMaximum(int(entries.size()));
        if (host_.setCancelEnabled)
            host_.setCancelEnabled(true);
    });
    dropStaleItems(folder);
    if (!cancelled())
        bringFilesUpToDate(folder);
    const bool stopped = cancelled();
    uiStep([&] {
        if (host_.setCancelEnabled)
            host_.setCancelEnabled(false);
        if (!stopped && grid_->host.setProgressPosition)
            grid_->host.setProgressPosition(0);
    });
}

void TTimeThread::dropStaleItems(const QString& folder)
{
    int index = 0;
    uiStep([&] { index = grid_->itemCount() - 1; });
    for (; index >= 0 && !cancelled(); --index) {
        bool stale = false;
        uiStep([&] {
            if (index >= grid_->itemCount())
                return;
            const QFileInfo file(grid_->item(index).FileName);
            stale = !file.isFile() || !paths::sameFolder(file.absolutePath(), folder);
            if (stale)
                grid_->DeleteItem(index);
        });
        if (stale)
            yield();
    }
}

void TTimeThread::bringFilesUpToDate(const QString& folder)
{
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& entry : entries) {
        if (cancelled())
            break;
        uiStep([&] {
            if (grid_->host.progressPosition && grid_->host.progressMaximum && grid_->host.setProgressPosition
                && grid_->host.progressPosition() < grid_->host.progressMaximum())
                grid_->host.setProgressPosition(grid_->host.progressPosition() + 1);
        });
        const QString file = paths::withTrailingSeparator(folder) + entry.fileName();
        yield();
        if (!IsPictureFile(file))
            continue;
        int found = -1;
        bool current = false;
        uiStep([&] {
            for (int i = 0; i < grid_->itemCount() && !cancelled(); ++i)
                if (grid_->item(i).FileName == file) {
                    found = i;
                    const Th& item = grid_->item(i);
                    current = item.FileSize == entry.size()
                        && item.FileDate == wholeSeconds(entry.lastModified());
                    break;
                }
        });
        if (cancelled())
            break;
        if (found >= 0 && current)
            continue;
        uiStep([&] {
            if (found >= 0) {
                // every item of the file goes: a TIFF has one per page
                for (int i = grid_->itemCount() - 1; i >= 0; --i)
                    if (grid_->item(i).FileName == file)
                        grid_->DeleteItem(i);
            }
            const int before = grid_->itemCount();
            grid_->AddFile(file);
            decoded_ += std::max(0, grid_->itemCount() - before);
        });
        yield();
    }
}

void TTimeThread::reselect()
{
    uiStep([&] {
        const QString picture = state_->SelectedPicture;
        if (!picture.isEmpty() && QFileInfo::exists(picture))
            grid_->SelectIndex(grid_->IndexOfFile(picture, 0));
        else
            grid_->CurrentSelected = -1;
        state_->SelectedPicture.clear();
    });
}

void TTimeThread::finish()
{
    uiStep([&] {
        if (!(host_.isUnsorted && host_.isUnsorted()) && host_.sortThumbnails)
            host_.sortThumbnails();
        if (host_.setWatcherRoot && host_.treePath)
            host_.setWatcherRoot(host_.treePath());
        if (host_.updateMarkedCount)
            host_.updateMarkedCount();
        grid_->Busy = false;
        state_->ScanActive = false;
        state_->NotifySuppressed = false;
        grid_->viewport()->update();
        state_->SelectedPicture.clear();
        grid_->CancelRequested = false;
        reused_ = std::max(0, grid_->itemCount() - decoded_);
    });
}
