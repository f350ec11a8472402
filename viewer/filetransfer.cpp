#include "filetransfer.h"

#include "platform/fileops.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cstdio>
#include <sys/stat.h>

bool FileTransfer::sameFileSystem(const QString& source, const QString& targetFolder)
{
    struct stat a {};
    struct stat b {};
    return ::stat(QFile::encodeName(source).constData(), &a) == 0
        && ::stat(QFile::encodeName(targetFolder).constData(), &b) == 0 && a.st_dev == b.st_dev;
}

bool FileTransfer::placeFile(const QString& from, const QString& to, bool overwrite)
{
    if (fileops::injectedFault(fileops::Op::Rename, to))
        return false;
    if (!overwrite)
        return fileops::renameNoReplace(from, to);
    if (QFileInfo::exists(to))
        fileops::makeArchiveOnly(to);
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

FileTransfer::Result FileTransfer::run(const QString& source, const QString& target, bool move, bool overwrite,
                                       const Progress& progress)
{
    const QFileInfo src(source);
    if (!src.isFile())
        return SourceMissing;
    const QString folder = QFileInfo(target).absolutePath();
    if (!overwrite && QFileInfo::exists(target))
        return Failed;
    if (fileops::sameFile(source, target))
        return Failed;   // a file never replaces itself
    if (move && sameFileSystem(source, folder)) {
        // one rename: the target is replaced whole or not at all
        if (!placeFile(source, target, overwrite))
            return Failed;
        if (progress)
            progress(src.size(), src.size());
        return Done;
    }
    const Result copied = copyData(source, target, overwrite, progress);
    if (copied != Done || !move)
        return copied;
    // the copy is on the disk under its name: only now does the source go
    if (!fileops::syncFolder(folder))
        return Failed;
    fileops::makeArchiveOnly(source);
    return fileops::removeFile(source) ? Done : Failed;
}

FileTransfer::Result FileTransfer::copyData(const QString& source, const QString& target, bool overwrite,
                                            const Progress& progress)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return Failed;
    const QFileInfo srcInfo(source);
    const qint64 total = srcInfo.size();
    QTemporaryFile out(QFileInfo(target).absolutePath() + "/.kvn-transfer-XXXXXX");
    if (!out.open())
        return Failed;
    char buffer[kBlockSize];
    qint64 done = 0;
    if (progress && !progress(0, total))
        return Cancelled;
    while (done < total) {
        const qint64 n = in.read(buffer, kBlockSize);
        if (n <= 0)
            return Failed;
        if (fileops::injectedFault(fileops::Op::Write, target) || out.write(buffer, n) != n)
            return Failed;
        done += n;
        if (progress && !progress(done, total))
            return Cancelled;   // the temporary file goes with `out`
    }
    if (!out.flush() || !fileops::syncFile(int(out.handle()), target))
        return Failed;
    out.setFileTime(srcInfo.lastModified(), QFileDevice::FileModificationTime);
    out.setPermissions(srcInfo.permissions());
    out.close();
    if (!placeFile(out.fileName(), target, overwrite))
        return Failed;   // the temporary file goes with `out`
    out.setAutoRemove(false);   // it has the target's name now
    return Done;
}
