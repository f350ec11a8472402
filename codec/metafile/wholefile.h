#pragma once
// Whole files in and out: read with a size limit, written through a
// temporary file so a failed write leaves the old file as it was.

#include <QByteArray>
#include <QString>

namespace wholefile {

// False, with error saying why, when the file cannot be opened or is
// larger than maxBytes.
bool read(const QString& path, qint64 maxBytes, QByteArray& out, QString& error);
bool write(const QString& path, const QByteArray& data);

}  // namespace wholefile
