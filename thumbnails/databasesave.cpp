#include "databasesave.h"

#include "storedminiatures.h"
#include "thumbnaildatabase.h"

#include "platform/ownfilewriter.h"

DatabaseSave::DatabaseSave(QString fileName, std::vector<Th> entries, quint64 generation)
    : fileName_(std::move(fileName)), entries_(std::move(entries)), generation_(generation)
{
}

bool DatabaseSave::write(const std::atomic<bool>& stop, const std::function<void(int)>& progress)
{
    saved_ = false;
    places_.assign(entries_.size(), Place{});
    written_.reset();
    OwnFileWriter file(fileName_);
    if (!file.open())
        return false;
    int entry = 0;
    qint64 at = 0;
    for (size_t i = 0; i < entries_.size() && !stop && !file.failed(); ++i) {
        if (progress)
            progress(int(i));
        const QByteArray text = ThumbnailDatabase::entryText(entry++, entries_[i]);
        places_[i] = placeOfMiniature(text, at);
        at += text.size();
        file.write(text);
    }
    saved_ = !stop && file.commit();
    if (saved_)
        written_ = StoredMiniatures::open(fileName_);
    return saved_;
}

// An entry's text starts with its marker line; the miniature's line follows.
DatabaseSave::Place DatabaseSave::placeOfMiniature(const QByteArray& text, qint64 at)
{
    const qsizetype start = text.indexOf("\r\n");
    const qsizetype end = start < 0 ? -1 : text.indexOf("\r\n", start + 2);
    if (end < 0)
        return {};
    return {at + start + 2, end - start - 2};
}
