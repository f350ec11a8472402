#pragma once
// Reads the index of a thumbnail database: every entry's facts and where
// its miniature's hex text lies in the file, not the miniature itself. The
// items keep the file open to read their miniatures when needed. Runs on
// any thread; the items it gives belong to the caller.

#include "databaselinereader.h"
#include "th.h"

#include <QFile>
#include <QString>
#include <atomic>
#include <memory>
#include <vector>

class StoredMiniatures;

class DatabaseIndexReader {
public:
    explicit DatabaseIndexReader(const QString& fileName);
    ~DatabaseIndexReader();
    DatabaseIndexReader(const DatabaseIndexReader&) = delete;
    DatabaseIndexReader& operator=(const DatabaseIndexReader&) = delete;

    // False when the file cannot be opened.
    bool open();
    qint64 fileSize() const { return size_; }
    QString fileName() const { return file_.fileName(); }

    enum class State { More, End, Failed, Stopped };
    // Appends up to max entries to out. Entries whose miniature is no BMP
    // image or whose picture is gone are skipped.
    State read(int max, std::vector<std::unique_ptr<Th>>& out, const std::atomic<bool>& stop);
    // Entries skipped so far, or cut short at the file's end.
    int skipped() const { return skipped_; }

private:
    QFile file_;
    qint64 size_ = 0;
    std::unique_ptr<DatabaseLineReader> lines_;
    std::shared_ptr<const StoredMiniatures> stored_;
    int skipped_ = 0;
};
