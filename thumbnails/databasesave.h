#pragma once
// One write of a thumbnail database: the entries as they stood when the
// save began, copied on the grid's thread (miniatures and texts are shared,
// not duplicated), written on any thread through a temporary file that
// replaces the old one only when complete.

#include "th.h"

#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class DatabaseSave {
public:
    // entries: the items to store, in their order; generation: the grid's
    // item list they were taken from.
    DatabaseSave(QString fileName, std::vector<Th> entries, quint64 generation);

    // Writes every entry; progress gets the number written so far before
    // each. A stop or a failure leaves the old file as it was.
    bool write(const std::atomic<bool>& stop, const std::function<void(int)>& progress = {});

    const QString& fileName() const { return fileName_; }
    quint64 generation() const { return generation_; }
    int entryCount() const { return int(entries_.size()); }
    bool saved() const { return saved_; }

    // Where an entry's miniature text lies in the written file (length 0:
    // not written).
    struct Place {
        qint64 offset = 0;
        qint64 length = 0;
    };
    // After a save, per entry, and the written file open for reading them;
    // null when it could not be opened.
    const std::vector<Place>& places() const { return places_; }
    const std::shared_ptr<const StoredMiniatures>& written() const { return written_; }

private:
    static Place placeOfMiniature(const QByteArray& text, qint64 at);

    QString fileName_;
    std::vector<Th> entries_;
    quint64 generation_;
    bool saved_ = false;
    std::vector<Place> places_;
    std::shared_ptr<const StoredMiniatures> written_;
};
