#include "timethread.h"

#include "viewerstate.h"

#include "thumbnails/databasesave.h"
#include "thumbnails/ispicturefile.h"
#include "thumbnails/piclibthumbnails.h"
#include "thumbnails/thumbnailqueue.h"
#include "platform/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QSet>

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
            saveDatabase(databaseFile(last));
        if (cancelled())
            return;
        // a cancelled load ends the scan, though the load clears the request
        if (!loadDatabase(folder, database))
            return;
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
    dropStaleItems(folder, entries);
    if (!cancelled())
        bringFilesUpToDate(folder, entries);
    const bool stopped = cancelled();
    uiStep([&] {
        if (host_.setCancelEnabled)
            host_.setCancelEnabled(false);
        // a stopped scan says how far it came; the bar starts again from 0
        if (stopped && host_.showMessage && grid_->host.progressPosition && grid_->host.progressMaximum)
            host_.showMessage(QString("Abgebrochen: %1 von %2 Dateien eingelesen")
                                  .arg(grid_->host.progressPosition())
                                  .arg(grid_->host.progressMaximum()));
        if (grid_->host.setProgressPosition)
            grid_->host.setProgressPosition(0);
    });
}

// The entries are taken in one step; they are written here.
void TTimeThread::saveDatabase(const QString& file)
{
    std::shared_ptr<DatabaseSave> save;
    std::function<void(int)> progress;
    uiStep([&] {
        save = grid_->BeginSave(file);
        progress = grid_->progressReporter();
    });
    if (!save)
        return;
    save->write(grid_->CancelRequested, progress);
    uiStep([&] { grid_->EndSave(*save); });
}

// The index is read here and handed to the grid in batches.
bool TTimeThread::loadDatabase(const QString& folder, const QString& database)
{
    std::unique_ptr<DatabaseIndexReader> reader;
    uiStep([&] {
        grid_->Clear();
        // from here on the grid holds this folder's items, however the load ends
        state_->LastScannedFolder = folder;
        reader = grid_->BeginLoad(database);
        grid_->viewport()->update();
    });
    if (!reader)
        return true;
    DatabaseIndexReader::State state = DatabaseIndexReader::State::More;
    while (state == DatabaseIndexReader::State::More) {
        std::vector<std::unique_ptr<Th>> items;
        state = reader->read(std::max(1, grid_->LoadBatch.load()), items, grid_->CancelRequested);
        uiStep([&] { grid_->TakeLoaded(std::move(items)); });
    }
    bool loaded = true;
    uiStep([&] { loaded = grid_->EndLoad(*reader, state); });
    return loaded;
}

// Items whose file is not a file of the folder's listing go.
void TTimeThread::dropStaleItems(const QString& folder, const QFileInfoList& entries)
{
    const QString slashed = paths::withTrailingSeparator(folder);
    QSet<QString> present;
    present.reserve(entries.size());
    for (const QFileInfo& entry : entries)
        if (entry.isFile())
            present.insert(slashed + entry.fileName());
    if (cancelled())
        return;
    uiStep([&] { grid_->RemoveItems([&present](const Th& item) { return !present.contains(item.FileName); }); });
}

void TTimeThread::bringFilesUpToDate(const QString& folder, const QFileInfoList& entries)
{
    struct Held {
        qint64 size;
        QDateTime date;
    };
    QHash<QString, Held> held;
    uiStep([&] {
        for (int i = 0; i < grid_->itemCount(); ++i) {
            const Th& item = grid_->item(i);
            if (!held.contains(item.FileName))
                held.insert(item.FileName, {item.FileSize, item.FileDate});
        }
    });
    // Deciding: one look-up per file. New and changed pictures enter the
    // grid at once as placeholders and are made on the workers.
    const QString slashed = paths::withTrailingSeparator(folder);
    std::vector<std::unique_ptr<Th>> placeholders;
    QSet<QString> changed;
    QStringList toMake;
    int settled = 0;
    for (const QFileInfo& entry : entries) {
        if (cancelled())
            return;
        const QString file = slashed + entry.fileName();
        const QDateTime date = wholeSeconds(entry.lastModified());
        const auto it = held.constFind(file);
        // an item held as it is stays, whatever the picture test says now
        if ((it != held.cend() && it->size == entry.size() && it->date == date) || !IsPictureFile(file)) {
            ++settled;
            continue;
        }
        if (it != held.cend())
            changed.insert(file);   // every item of the file goes: a TIFF has one per page
        auto placeholder = std::make_unique<Th>();
        placeholder->FileName = file;
        placeholder->FileSize = entry.size();
        placeholder->FileDate = date;
        placeholder->FormatName = paths::extension(file).mid(1).toUpper();
        placeholders.push_back(std::move(placeholder));
        toMake << file;
    }
    std::shared_ptr<ThumbnailQueue> queue;
    uiStep([&] {
        if (grid_->host.setProgressPosition)
            grid_->host.setProgressPosition(settled);
        if (!changed.isEmpty())
            grid_->RemoveItems([&changed](const Th& item) { return changed.contains(item.FileName); });
        if (toMake.isEmpty())
            return;
        queue = std::make_shared<ThumbnailQueue>(grid_->makerSettings());
        grid_->AddPlaceholders(std::move(placeholders));
        grid_->BeginMaking(queue);
    });
    if (!queue)
        return;
    queue->add(toMake);
    // the UI thread takes the miniatures as they come; here only the cancel is watched
    while (!queue->waitIdle(20))
        if (cancelled())
            queue->stop();
    uiStep([&] { decoded_ = grid_->EndMaking(); });
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
