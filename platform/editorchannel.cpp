#include "editorchannel.h"

#include <QDir>
#include <unistd.h>

namespace editorchannel {

namespace {

QString folder()
{
    const QString runtime = QString::fromLocal8Bit(qgetenv("XDG_RUNTIME_DIR"));
    return runtime.isEmpty() ? QStringLiteral("/tmp") : runtime;
}

QString prefix()
{
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return QStringLiteral("korvane-tessik-") + QString::number(getuid()) + "-";
    return QStringLiteral("korvane-tessik-");
}

}  // namespace

QString socketPath(qint64 pid)
{
    return folder() + "/" + prefix() + QString::number(pid);
}

QStringList socketPaths()
{
    QStringList result;
    const QDir dir(folder());
    for (const QString& name : dir.entryList({prefix() + "*"}, QDir::System | QDir::Files | QDir::Hidden)) {
        bool numeric = false;
        name.mid(prefix().size()).toLongLong(&numeric);
        if (numeric)
            result << dir.filePath(name);
    }
    return result;
}

}  // namespace editorchannel
