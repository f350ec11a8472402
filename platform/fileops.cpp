#include "fileops.h"

#include "paths.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fileops {

namespace {
FaultHook& faultHook()
{
    static FaultHook hook;
    return hook;
}
}  // namespace

void setFaultHook(FaultHook hook)
{
    faultHook() = std::move(hook);
}

bool injectedFault(Op op, const QString& path)
{
    const FaultHook& hook = faultHook();
    return hook && hook(op, path);
}

bool makeArchiveOnly(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return false;
    const auto perms = file.permissions();
    if (perms & QFileDevice::WriteOwner)
        return true;
    return file.setPermissions(perms | QFileDevice::WriteOwner | QFileDevice::ReadOwner);
}

bool removeFile(const QString& path)
{
    if (injectedFault(Op::Remove, path))
        return false;
    makeArchiveOnly(path);
    QFile::remove(path);
    return !QFileInfo::exists(path) && !QFileInfo(path).isSymLink();
}

bool isHidden(const QString& path)
{
    return QFileInfo(path).fileName().startsWith('.');
}

namespace {

int renameWithoutReplacing(const QByteArray& from, const QByteArray& to, const QString& target)
{
    if (injectedFault(Op::RenameNoReplace, target)) {
        errno = EPERM;
        return -1;
    }
    return ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE);
}

// The answers of a file system or kernel that has no RENAME_NOREPLACE.
bool callMissing(int error)
{
    return error == EINVAL || error == ENOSYS || error == EPERM || error == EOPNOTSUPP || error == ENOTSUP;
}

}  // namespace

bool renameNoReplace(const QString& from, const QString& to)
{
    const QByteArray a = QFile::encodeName(from);
    const QByteArray b = QFile::encodeName(to);
    if (renameWithoutReplacing(a, b, to) == 0)
        return true;
    if (!callMissing(errno))
        return false;
    // the exclusive create fails when the name is taken; once it is ours,
    // the rename replaces only our own empty file
    const int fd = ::open(b.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    ::close(fd);
    if (injectedFault(Op::Rename, to) || ::rename(a.constData(), b.constData()) != 0) {
        ::unlink(b.constData());
        return false;
    }
    return true;
}

bool syncFile(int fd, const QString& path)
{
    if (injectedFault(Op::Sync, path))
        return false;
    if (fd < 0)
        return false;
    // a file system that cannot sync (some network and FUSE mounts) has
    // nothing more to offer; only a failed sync is a failure
    return ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP || errno == EOPNOTSUPP;
}

bool syncFolder(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = syncFile(fd, folder);
    ::close(fd);
    return synced;
}

bool sameFile(const QString& a, const QString& b)
{
    if (paths::samePath(a, b))
        return true;
    struct stat x {};
    struct stat y {};
    return ::stat(QFile::encodeName(a).constData(), &x) == 0 && ::stat(QFile::encodeName(b).constData(), &y) == 0
        && x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

}  // namespace fileops
