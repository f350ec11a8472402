#include "wholefile.h"

#include <QFile>
#include <QSaveFile>

namespace wholefile {

bool read(const QString& path, qint64 maxBytes, QByteArray& out, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot open the file");
        return false;
    }
    if (file.size() > maxBytes) {
        error = QStringLiteral("file too large");
        return false;
    }
    out = file.readAll();
    return true;
}

bool write(const QString& path, const QByteArray& data)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
        return false;
    return file.commit();
}

}  // namespace wholefile
