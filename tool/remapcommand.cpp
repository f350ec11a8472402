// glimra-tool remap FILE.ILP IN OUT: the picture remapped to the colours of
// a palette file, at 8 bits (4 bits when the palette holds at most 16
// colours); OUT is written by its extension through a temporary file.

#include "picturefile.h"
#include "toolcommands.h"
#include "toolerror.h"

#include "codec/binding/codecwrappers.h"
#include "codec/binding/dibconvert.h"
#include "codec/binding/errorinvalid.h"
#include "codec/binding/tbitmap.h"
#include "dibcore/dibguard.h"
#include "effects/dialog/palettefile.h"
#include "effects/effectframe.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>
#include <QtEndian>

namespace {

PaletteEntries readPalette(const QString& path)
{
    std::optional<PaletteEntries> palette;
    try {
        if (LoadPaletteFile(path, palette) == 0 || !palette)
            throw ToolError::failure(QStringLiteral("%1: not a Korvane 3.0 palette file").arg(path));
    } catch (const ErrorInvalid& e) {
        throw ToolError::failure(QStringLiteral("%1: %2").arg(path, e.message()));
    }
    return *palette;
}

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

void writeRemapped(const QString& path, GlobalHandle dib)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    const int bits = effectframe::bitCount(dib);
    bool ok = false;
    if (ext == QLatin1String("bmp") || ext == QLatin1String("dib")) {
        ok = saveWhole(path, bmpImage(dib));
    } else if (ext == QLatin1String("png")) {
        TBitmap bitmap;
        QByteArray bytes;
        QBuffer buffer(&bytes);
        ok = DIBToGraphic(dib, bitmap) && buffer.open(QIODevice::WriteOnly) &&
             QImageWriter(&buffer, "png").write(bitmap.image()) && saveWhole(path, bytes);
    } else if (ext == QLatin1String("tif") || ext == QLatin1String("tiff")) {
        ok = WriteTiffFileDib(path, dib, bits, 1, false);
    } else if (ext == QLatin1String("gif")) {
        ok = WriteGifFileDib(path, dib, bits);
    } else if (ext == QLatin1String("pcx")) {
        ok = WritePcxFileDib(path, dib, bits);
    } else {
        throw ToolError::usage(QStringLiteral("%1: write BMP, PNG, TIFF, GIF or PCX").arg(path));
    }
    if (!ok)
        throw ToolError::failure(QStringLiteral("%1: cannot write the picture").arg(path));
}

}  // namespace

int runRemapCommand(const QStringList& args)
{
    if (args.size() != 3)
        throw ToolError::usage(QStringLiteral("expected FILE.ILP, IN and OUT"));
    PaletteEntries palette = readPalette(args[0]);
    const int bits = palette.size() <= 16 ? 4 : 8;
    PictureFile file(args[1]);
    const TBitmap bitmap = file.decode(0, 0);
    dibcore::DibGuard dib(GraphicToDIBDepth(&bitmap, bits, false, nullptr, nullptr));
    if (!dib.get() || effectframe::bitCount(dib.get()) != bits)
        throw ToolError::failure(QStringLiteral("%1: cannot make a %2-bit picture of it").arg(args[1]).arg(bits));
    GlobalHandle h = dib.release();
    try {
        RemapToPalette(palette, h);
    } catch (const ErrorInvalid& e) {
        dib.reset(h);
        throw ToolError::failure(QStringLiteral("%1: %2").arg(args[1], e.message()));
    }
    dib.reset(h);
    writeRemapped(args[2], dib.get());
    return 0;
}
