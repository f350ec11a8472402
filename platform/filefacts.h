#pragma once
// What the file system tells about one file: times, permission bits, owner.

#include <QDateTime>
#include <QString>
#include <optional>

struct FileFacts {
    bool exists = false;
    bool isDir = false;
    bool hidden = false;        // the name starts with "."
    qint64 size = 0;
    std::optional<QDateTime> born;   // only where the file system keeps it
    QDateTime modified;
    QDateTime accessed;
    unsigned mode = 0;          // the nine permission bits (0777)
    QString owner;
    QString group;

    // The facts of the file the path names (links followed).
    static FileFacts of(const QString& path);
    // "rw-r--r--" of the permission bits.
    QString permissionText() const;
};
