#pragma once
// The thumbnail database a grid was loaded from, kept open: its miniatures
// stay in the file as hex text and are read when a cell needs them. A file
// cut short or replaced meanwhile gives a failed read, never a crash.

#include <QByteArray>
#include <QString>
#include <memory>

class StoredMiniatures {
public:
    // Null when the file cannot be opened.
    static std::shared_ptr<const StoredMiniatures> open(const QString& path);
    ~StoredMiniatures();
    StoredMiniatures(const StoredMiniatures&) = delete;
    StoredMiniatures& operator=(const StoredMiniatures&) = delete;

    // The bytes at offset, exactly length of them, or empty.
    QByteArray read(qint64 offset, qint64 length) const;

private:
    explicit StoredMiniatures(int fd) : fd_(fd) {}
    int fd_;
};
