#pragma once
// Slide list files: the header line "Korvane SlaidShow List", then one full
// picture path per line. Written UTF-8 with CR LF; read with LF or CR LF.

#include <QString>
#include <QStringList>

struct SlideListContents {
    bool headerOk = false;     // false: an empty list
    QStringList entries;       // the lines after the header
    int skippedLines = 0;      // not UTF-8, a NUL byte or over-long
    bool truncated = false;    // the file was larger than the reader takes
    // A German sentence naming what was left out; empty when nothing was.
    QString note() const;
};

class SlideListFile {
public:
    static const QString kHeader;
    // Limits of what a list file may hold; the rest is left out.
    static constexpr qint64 kMaxBytes = qint64(16) << 20;
    static constexpr int kMaxLineBytes = 4096;
    static constexpr int kMaxEntries = 100000;

    // A missing, unreadable or special file (folder, pipe) reads as empty.
    static SlideListContents read(const QString& path);
    // Header and entries through a temporary file beside the list, which
    // then takes the list's name: a list is never left half-written, and a
    // symbolic link of that name is replaced, not followed. False, with the
    // old file untouched, on any failure.
    static bool write(const QString& path, const QStringList& entries);
};
