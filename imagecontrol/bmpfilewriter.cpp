#include "bmpfilewriter.h"

#include "codec/binding/iltdib.h"

#include <QSaveFile>
#include <cstring>
#include <QtEndian>

QByteArray BmpFileBytes(GlobalHandle dib)
{
    ILTDib view(dib, false);
    if (!view.IsConsistent())
        return {};
    const qint64 total = view.TotalSize();
    if (total <= 0 || total > qint64(globalmem::size(dib)) || total > 0x7FFFFFFF - 14)
        return {};
    QByteArray bytes(14 + total, Qt::Uninitialized);
    auto* out = reinterpret_cast<uchar*>(bytes.data());
    out[0] = 'B';
    out[1] = 'M';
    qToLittleEndian<quint32>(quint32(bytes.size()), out + 2);
    qToLittleEndian<quint32>(0, out + 6);
    qToLittleEndian<quint32>(quint32(14 + view.HeaderSize()), out + 10);
    std::memcpy(out + 14, view.Header(), size_t(total));
    return bytes;
}

bool WriteBmpFile(const QString& path, GlobalHandle dib)
{
    const QByteArray bytes = BmpFileBytes(dib);
    if (bytes.isEmpty())
        return false;
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}
