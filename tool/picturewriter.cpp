#include "picturewriter.h"

#include "toolerror.h"

#include "codec/binding/codecwrappers.h"
#include "codec/binding/dibconvert.h"
#include "codec/binding/tbitmap.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>
#include <QtEndian>

namespace {

// The packed DIB as a BMP file image: the 14-byte file header before it.
QByteArray bmpImage(GlobalHandle dib)
{
    const qsizetype size = qsizetype(globalmem::size(dib));
    const auto* data = static_cast<const char*>(globalmem::lock(dib));
    QByteArray out;
    if (data && size >= 40) {
        const quint32 colours = qFromLittleEndian<quint32>(data + 32);
        const quint16 bits = qFromLittleEndian<quint16>(data + 14);
        const quint32 table = (colours ? colours : (bits <= 8 ? 1u << bits : 0u)) * 4;
        char header[14] = {'B', 'M'};
        qToLittleEndian<quint32>(quint32(14 + size), header + 2);
        qToLittleEndian<quint32>(14 + 40 + table, header + 10);
        out = QByteArray(header, 14) + QByteArray(data, size);
    }
    if (data)
        globalmem::unlock(dib);
    return out;
}

bool saveWhole(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    return !bytes.isEmpty() && file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

bool writeThroughQt(const QString& path, GlobalHandle dib, const QByteArray& format)
{
    TBitmap bitmap;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    return DIBToGraphic(dib, bitmap) && buffer.open(QIODevice::WriteOnly) &&
           QImageWriter(&buffer, format).write(bitmap.image()) && saveWhole(path, bytes);
}

}  // namespace

void writePicture(const QString& path, GlobalHandle dib)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    bool ok = false;
    if (ext == QLatin1String("bmp") || ext == QLatin1String("dib"))
        ok = saveWhole(path, bmpImage(dib));
    else if (ext == QLatin1String("png") || ext == QLatin1String("jpg") || ext == QLatin1String("jpeg"))
        ok = writeThroughQt(path, dib, ext.toLatin1());
    else if (ext == QLatin1String("tif") || ext == QLatin1String("tiff"))
        ok = WriteTiffFileDib(path, dib, 0, 1, false);
    else if (ext == QLatin1String("gif"))
        ok = WriteGifFileDib(path, dib, 0);
    else if (ext == QLatin1String("pcx"))
        ok = WritePcxFileDib(path, dib, 0);
    else if (ext == QLatin1String("tga"))
        ok = WriteTgaFileDib(path, dib, 0);
    else
        throw ToolError::usage(QStringLiteral("%1: no picture type glimra-tool writes").arg(path));
    if (!ok)
        throw ToolError::failure(QStringLiteral("%1: cannot write the picture").arg(path));
}
