#include "fileops.h"

#include <QFile>
#include <QFileInfo>

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

}  // namespace fileops
