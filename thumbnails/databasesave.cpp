#include "databasesave.h"

#include "thumbnaildatabase.h"

#include "platform/ownfilewriter.h"

DatabaseSave::DatabaseSave(QString fileName, std::vector<Th> entries, quint64 generation)
    : fileName_(std::move(fileName)), entries_(std::move(entries)), generation_(generation)
{
}

bool DatabaseSave::write(const std::atomic<bool>& stop, const std::function<void(int)>& progress)
{
    saved_ = false;
    OwnFileWriter file(fileName_);
    if (!file.open())
        return false;
    int entry = 0;
    for (size_t i = 0; i < entries_.size() && !stop && !file.failed(); ++i) {
        if (progress)
            progress(int(i));
        file.write(ThumbnailDatabase::entryText(entry++, entries_[i]));
    }
    saved_ = !stop && file.commit();
    return saved_;
}
