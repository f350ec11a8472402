#pragma once
// Copies or moves one file. The target appears only when it is complete:
// the data goes to a temporary file beside it, which then takes its name,
// so a cancelled or failed transfer leaves the source and any old target
// as they were and no partial file behind.

#include <QString>
#include <functional>

class FileTransfer {
public:
    enum Result { Done, Cancelled, Failed, SourceMissing };

    // Called after every block with the bytes copied and the total; answer
    // false to cancel.
    using Progress = std::function<bool(qint64 done, qint64 total)>;

    // overwrite: an existing target is replaced (only after the user chose
    // so); without it the transfer fails rather than replace a file.
    static Result run(const QString& source, const QString& target, bool move, bool overwrite,
                      const Progress& progress = {});
    // True when both paths lie on the same file system (a move is one rename).
    static bool sameFileSystem(const QString& source, const QString& targetFolder);

    static constexpr qint64 kBlockSize = 8192;

private:
    static Result copyData(const QString& source, const QString& target, bool overwrite, const Progress& progress);
    // Gives the file its new name; without overwrite an existing file stops it.
    static bool placeFile(const QString& from, const QString& to, bool overwrite);
};
