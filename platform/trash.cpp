#include "trash.h"

#include "fileops.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>

#include <unistd.h>

namespace trash {

namespace {

// The user's Trash lives under the data folder; the folder may not exist yet.
QString dataHome()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

QString existingAncestor(QString path)
{
    while (!path.isEmpty() && !QFileInfo::exists(path)) {
        const QString parent = QFileInfo(path).absolutePath();
        if (parent == path)
            break;
        path = parent;
    }
    return path;
}

}  // namespace

bool availableFor(const QString& path)
{
    const QFileInfo file(path);
    if (!file.exists())
        return false;
    const QStorageInfo volume(file.absolutePath());
    if (!volume.isValid() || volume.isReadOnly())
        return false;
    if (onHomeTrashVolume(path))
        return true;
    // a Trash at the top of the file system: a shared ".Trash" or the user's
    // own ".Trash-<uid>", which may be made when the top is writable
    const QDir top(volume.rootPath());
    const QFileInfo own(top.filePath(".Trash-" + QString::number(getuid())));
    if (own.isDir() && !own.isSymLink() && own.isWritable())
        return true;
    const QFileInfo shared(top.filePath(".Trash"));
    if (shared.isDir() && !shared.isSymLink())
        return true;
    return !own.exists() && QFileInfo(volume.rootPath()).isWritable();
}

bool onHomeTrashVolume(const QString& path)
{
    const QString home = dataHome();
    return !home.isEmpty()
        && QStorageInfo(existingAncestor(home)).rootPath() == QStorageInfo(QFileInfo(path).absolutePath()).rootPath();
}

bool moveToTrash(const QString& path)
{
    if (fileops::injectedFault(fileops::Op::Remove, path))
        return false;
    // Qt files into the user's Trash only when its folders exist (else it
    // makes them relative to the working folder): make them first, private
    if (onHomeTrashVolume(path)) {
        const QString root = dataHome() + "/Trash";
        for (const QString& sub : {QStringLiteral("/files"), QStringLiteral("/info")})
            if (!QDir().mkpath(root + sub))
                return false;
        QFile::setPermissions(root, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    return QFile::moveToTrash(path);
}

}  // namespace trash
