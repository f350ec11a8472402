#include "ownfilewriter.h"

#include "fileops.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool lstatOf(const QByteArray& path, struct stat& st)
{
    return ::lstat(path.constData(), &st) == 0;
}

bool writeAll(int fd, const char* data, qsizetype size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

void syncFolderOf(const QByteArray& path)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(QFile::decodeName(path)).absolutePath());
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

}  // namespace

OwnFileWriter::OwnFileWriter(QString path) : path_(std::move(path)) {}

OwnFileWriter::~OwnFileWriter()
{
    cancel();
}

bool OwnFileWriter::replaceable(const QString& path)
{
    struct stat st {};
    if (!lstatOf(QFile::encodeName(path), st))
        return errno == ENOENT;
    return S_ISREG(st.st_mode);
}

bool OwnFileWriter::open()
{
    cancel();
    failed_ = false;
    if (path_.isEmpty() || !replaceable(path_) || fileops::injectedFault(fileops::Op::Write, path_)) {
        failed_ = true;
        return false;
    }
    const QFileInfo info(path_);
    temp_ = QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".XXXXXX"));
    fd_ = ::mkostemp(temp_.data(), O_CLOEXEC);
    if (fd_ < 0) {
        temp_.clear();
        failed_ = true;
        return false;
    }
    struct stat old {};
    const bool exists = lstatOf(QFile::encodeName(path_), old);
    ::fchmod(fd_, exists ? (old.st_mode & 07777) : 0644);
    return true;
}

bool OwnFileWriter::write(const QByteArray& data)
{
    if (fd_ < 0 || failed_)
        return false;
    if (fileops::injectedFault(fileops::Op::Write, path_) || !writeAll(fd_, data.constData(), data.size()))
        failed_ = true;
    return !failed_;
}

bool OwnFileWriter::commit()
{
    if (fd_ < 0 || failed_) {
        cancel();
        return false;
    }
    const bool synced = ::fsync(fd_) == 0;
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    // the name may have become a link or a folder while the data was written
    if (!synced || !closed || !replaceable(path_) || fileops::injectedFault(fileops::Op::Rename, path_)
        || ::rename(temp_.constData(), QFile::encodeName(path_).constData()) != 0) {
        failed_ = true;
        cancel();
        return false;
    }
    syncFolderOf(temp_);
    temp_.clear();
    return true;
}

void OwnFileWriter::cancel()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temp_.isEmpty())
        ::unlink(temp_.constData());
    temp_.clear();
}
