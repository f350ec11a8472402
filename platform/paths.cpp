#include "paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace paths {

QString withTrailingSeparator(const QString& path)
{
    QString p = path;
    while (p.size() > 1 && p.endsWith('/'))
        p.chop(1);
    return p.endsWith('/') ? p : p + '/';
}

QString normalized(const QString& path)
{
    if (path.isEmpty())
        return {};
    return QDir::cleanPath(QDir::isAbsolutePath(path) ? path : QDir::current().absoluteFilePath(path));
}

bool samePath(const QString& a, const QString& b)
{
    return normalized(a) == normalized(b);
}

bool sameFolder(const QString& a, const QString& b)
{
    return withTrailingSeparator(normalized(a)) == withTrailingSeparator(normalized(b));
}

QString fileName(const QString& path)
{
    const int slash = path.lastIndexOf('/');
    return slash < 0 ? path : path.mid(slash + 1);
}

QString extension(const QString& path)
{
    const QString name = fileName(path);
    const int dot = name.lastIndexOf('.');
    return dot < 0 ? QString() : name.mid(dot);
}

QString lowerExtension(const QString& path)
{
    return extension(path).toLower();
}

QString programFolder()
{
    QString dir;
    if (QCoreApplication::instance())
        dir = QCoreApplication::applicationDirPath();
    else
        dir = QFileInfo(QFile::symLinkTarget("/proc/self/exe")).absolutePath();
    // installed: the programs in bin/, their folder in lib/korvane/
    const QString installed = dir + QStringLiteral("/../lib/korvane");
    if (QFileInfo(dir).fileName() == QStringLiteral("bin") && QFileInfo(installed).isDir())
        return withTrailingSeparator(QDir::cleanPath(installed));
    return withTrailingSeparator(dir);
}

}  // namespace paths
