// The grid's database: written and read in steps so that the work can run
// on any thread, and kept in step with the item list.

#include "piclibthumbnails.h"

#include "databasesave.h"

#include "platform/ownfilewriter.h"
#include "platform/settings.h"

#include <QFileInfo>
#include <QPointer>
#include <QThread>
#include <cmath>

// ---- the database ----------------------------------------------------------------

bool TPicLibThumbnails::SaveDatabase(const QString& fileName)
{
    const std::shared_ptr<DatabaseSave> save = BeginSave(fileName);
    if (!save)
        return true;
    save->write(CancelRequested, progressReporter());
    EndSave(*save);
    return true;
}

bool TPicLibThumbnails::SaveDatabaseInBackground(const QString& fileName, std::function<void()> done)
{
    std::shared_ptr<DatabaseSave> save = BeginSave(fileName);
    if (!save)
        return false;
    if (saver_.joinable())
        saver_.join();   // ended already: its result was taken
    QPointer<TPicLibThumbnails> self(this);
    saver_ = std::thread([self, save, done = std::move(done), report = progressReporter(), stop = &CancelRequested] {
        save->write(*stop, report);
        // the grid joins this thread before it goes: self is alive here
        QMetaObject::invokeMethod(
            self.data(), [self, save, done] {
                if (!self)
                    return;
                self->EndSave(*save);
                if (done)
                    done();
            },
            Qt::QueuedConnection);
    });
    return true;
}

// The entries are copied here, on the grid's thread; the copies share the
// miniatures' pixels and texts, so this is quick for any folder.
std::shared_ptr<DatabaseSave> TPicLibThumbnails::BeginSave(const QString& fileName)
{
    if (items_.empty() || !(host.thumbnailsEnabled && host.thumbnailsEnabled()) || Busy)
        return nullptr;
    if (inSyncWith(fileName)) {
        recordDatabase(fileName);   // the file holds exactly these items already
        return nullptr;
    }
    // a file whose load was cut short holds entries the grid does not
    if (fileName == interruptedLoad_)
        return nullptr;
    if (!OwnFileWriter::replaceable(fileName))
        return nullptr;   // a link, a folder or a device of that name stays as it is
    std::vector<Th> entries;
    entries.reserve(items_.size());
    for (const std::unique_ptr<Th>& item : items_)
        if (!item->Placeholder)
            entries.push_back(*item);
    Busy = true;
    saving_ = true;
    setHostProgress(0);
    if (host.setProgressMaximum)
        host.setProgressMaximum(int(items_.size()) - 1);
    if (host.setCancelEnabled)
        host.setCancelEnabled(true);
    CancelRequested = false;
    return std::make_shared<DatabaseSave>(fileName, std::move(entries), generation_);
}

void TPicLibThumbnails::EndSave(const DatabaseSave& save)
{
    if (save.saved()) {
        markInSync(save.fileName(), save.generation());
        readStoredFromTheSavedFile(save);
    }
    if (host.setCancelEnabled)
        host.setCancelEnabled(false);
    setHostProgress(0);
    saving_ = false;
    Busy = false;
    CancelRequested = false;
    count_ = int(items_.size());
    if (save.saved())
        recordDatabase(save.fileName());
}

// Miniatures still in the replaced file come from the saved one, which
// holds the same text, so the old file is let go. Only for the item list
// the save was taken from: its entries are the items without placeholders.
void TPicLibThumbnails::readStoredFromTheSavedFile(const DatabaseSave& save)
{
    if (save.generation() != generation_ || !save.written())
        return;
    const std::vector<DatabaseSave::Place>& places = save.places();
    size_t entry = 0;
    for (const std::unique_ptr<Th>& item : items_) {
        if (item->Placeholder)
            continue;
        if (entry >= places.size())
            return;
        const DatabaseSave::Place place = places[entry++];
        if (item->Stored && place.length > 0) {
            item->Stored = save.written();
            item->StoredOffset = place.offset;
            item->StoredLength = place.length;
        }
    }
}

// Progress of work on another thread reaches the host through the event
// loop; on the grid's own thread it goes straight there.
std::function<void(int)> TPicLibThumbnails::progressReporter()
{
    QPointer<TPicLibThumbnails> self(this);
    QThread* own = thread();
    return [self, own](int position) {
        if (QThread::currentThread() == own) {
            if (self)
                self->setHostProgress(position);
            return;
        }
        constexpr int kEvery = 32;   // a posted event per few entries is plenty
        if (position % kEvery != 0)
            return;
        QMetaObject::invokeMethod(
            self.data(), [self, position] {
                if (self && self->Busy)
                    self->setHostProgress(position);
            },
            Qt::QueuedConnection);
    };
}

void TPicLibThumbnails::WaitForSave()
{
    if (saver_.joinable())
        saver_.join();
}

void TPicLibThumbnails::recordDatabase(const QString& fileName)
{
    Settings store;
    const QString section = QStringLiteral("DBFiles");
    const QStringList keys = store.readSection(section);
    for (const QString& key : keys)
        if (store.readString(section, key, QString()) == fileName)
            return;
    // the lowest number not in use: a pruned list has gaps
    int n = 0;
    while (store.valueExists(section, QString::number(n)))
        ++n;
    store.writeString(section, QString::number(n), fileName);
}

void TPicLibThumbnails::markInSync(const QString& fileName, quint64 generation)
{
    const QFileInfo info(fileName);
    sync_ = {fileName, info.size(), info.lastModified(), generation};
}

bool TPicLibThumbnails::inSyncWith(const QString& fileName) const
{
    const QFileInfo info(fileName);
    return !sync_.file.isEmpty() && sync_.file == fileName && sync_.generation == generation_ && info.isFile()
        && info.size() == sync_.size && info.lastModified() == sync_.modified;
}

bool TPicLibThumbnails::LoadDatabase(const QString& fileName)
{
    const std::unique_ptr<DatabaseIndexReader> reader = BeginLoad(fileName);
    if (!reader)
        return true;
    DatabaseIndexReader::State state = DatabaseIndexReader::State::More;
    while (state == DatabaseIndexReader::State::More) {
        std::vector<std::unique_ptr<Th>> items;
        state = reader->read(std::max(1, LoadBatch.load()), items, CancelRequested);
        TakeLoaded(std::move(items));
    }
    return EndLoad(*reader, state);
}

std::unique_ptr<DatabaseIndexReader> TPicLibThumbnails::BeginLoad(const QString& fileName)
{
    if (!QFileInfo(fileName).isFile() || !(host.thumbnailsEnabled && host.thumbnailsEnabled()) || Busy)
        return nullptr;
    Busy = true;
    Clear();
    // until the last entry is in, the file holds more than the grid
    interruptedLoad_ = fileName;
    setHostProgress(0);
    auto reader = std::make_unique<DatabaseIndexReader>(fileName);
    if (!reader->open()) {
        finishLoad();
        return nullptr;
    }
    if (host.setProgressMaximum)
        host.setProgressMaximum(int(std::lround(double(reader->fileSize()) / 35598)));
    if (host.setCancelEnabled)
        host.setCancelEnabled(true);
    CancelRequested = false;
    return reader;
}

void TPicLibThumbnails::TakeLoaded(std::vector<std::unique_ptr<Th>> items)
{
    if (items.empty())
        return;
    const int taken = int(items.size());
    for (std::unique_ptr<Th>& item : items)
        items_.push_back(std::move(item));
    ++generation_;
    count_ = int(items_.size());
    layoutColumns();
    if (host.relayout)
        host.relayout();
    advanceHostProgress(taken);
    viewport()->update();
}

bool TPicLibThumbnails::EndLoad(const DatabaseIndexReader& reader, DatabaseIndexReader::State state)
{
    const bool stopped = state == DatabaseIndexReader::State::Stopped;
    if (state != DatabaseIndexReader::State::Failed && host.updateMarkedCount)
        host.updateMarkedCount();
    if (state == DatabaseIndexReader::State::End) {
        interruptedLoad_.clear();
        // every entry came in as stored: the file needs no rewrite for these items
        if (reader.skipped() == 0)
            markInSync(reader.fileName(), generation_);
    }
    finishLoad();
    return !stopped;
}

void TPicLibThumbnails::finishLoad()
{
    count_ = int(items_.size());
    if (host.setCancelEnabled)
        host.setCancelEnabled(false);
    Busy = false;
    CancelRequested = false;
    setHostProgress(0);
}
