#pragma once
// Pictures, files and Ghostscript runs shared by the EPS tests.

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QtEndian>

#include <functional>

#include "platform/globalmem.h"

namespace epstest {

// A packed DIB (bottom-up, rows padded to 4 bytes) with pixel(x, y) giving
// a palette index for 1, 4 and 8 bits and 0xRRGGBB for 24 bits.
inline GlobalHandle makeDib(int w, int h, int bits, const QList<QRgb>& palette,
                            const std::function<quint32(int, int)>& pixel)
{
    const int colours = bits <= 8 ? (1 << bits) : 0;
    const int stride = ((w * bits + 31) / 32) * 4;
    const qsizetype size = 40 + colours * 4 + qsizetype(stride) * h;
    GlobalHandle handle = globalmem::alloc(std::size_t(size));
    auto* p = static_cast<uchar*>(globalmem::lock(handle));
    qToLittleEndian<quint32>(40, p);
    qToLittleEndian<qint32>(w, p + 4);
    qToLittleEndian<qint32>(h, p + 8);
    qToLittleEndian<quint16>(1, p + 12);
    qToLittleEndian<quint16>(quint16(bits), p + 14);
    qToLittleEndian<quint32>(quint32(stride * h), p + 20);
    qToLittleEndian<quint32>(quint32(colours), p + 32);
    for (int i = 0; i < colours; ++i) {
        const QRgb c = i < palette.size() ? palette[i] : qRgb(0, 0, 0);
        uchar* e = p + 40 + i * 4;
        e[0] = uchar(qBlue(c)), e[1] = uchar(qGreen(c)), e[2] = uchar(qRed(c)), e[3] = 0;
    }
    uchar* pixels = p + 40 + colours * 4;
    for (int y = 0; y < h; ++y) {
        uchar* row = pixels + qsizetype(h - 1 - y) * stride;
        for (int x = 0; x < w; ++x) {
            const quint32 v = pixel(x, y);
            if (bits == 24) {
                row[x * 3] = uchar(v), row[x * 3 + 1] = uchar(v >> 8), row[x * 3 + 2] = uchar(v >> 16);
            } else if (bits == 8) {
                row[x] = uchar(v);
            } else if (bits == 4) {
                row[x / 2] = uchar(row[x / 2] | ((v & 15) << (x % 2 ? 0 : 4)));
            } else {
                row[x / 8] = uchar(row[x / 8] | ((v & 1) << (7 - x % 8)));
            }
        }
    }
    globalmem::unlock(handle);
    return handle;
}

// 24-bit noise with a few flat areas, so LZW meets both kinds of data.
inline GlobalHandle noiseDib(int w, int h, quint32 seed)
{
    QRandomGenerator random(seed);
    QList<quint32> values;
    for (int i = 0; i < w * h; ++i)
        values.append(random.generate() & 0xFFFFFF);
    return makeDib(w, h, 24, {}, [&](int x, int y) {
        return y < h / 3 ? quint32(x * 255 / std::max(1, w - 1)) * 0x010101u : values[y * w + x];
    });
}

inline QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeAll(const QString& path, const QByteArray& data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

inline bool haveGhostscript()
{
    return !QStandardPaths::findExecutable("gs").isEmpty();
}

// The `gs` program's page of an EPS file at 72 dpi, cropped to its
// bounding box; null when it fails.
inline QImage ghostscript(const QString& eps, const QString& outDir, const QStringList& extra = {})
{
    const QString out = outDir + "/gs-page.ppm";
    QFile::remove(out);
    QProcess gs;
    gs.start("gs", QStringList{"-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-dEPSCrop", "-r72", "-sDEVICE=ppmraw",
                               "-sOutputFile=" + out}
                       << extra << eps);
    if (!gs.waitForFinished(60000) || gs.exitStatus() != QProcess::NormalExit || gs.exitCode() != 0)
        return {};
    return QImage(out).convertToFormat(QImage::Format_RGB888);
}

// The `gs` program's page of an EPS file at 72 dpi on a page of the
// file's whole-point %%BoundingBox (the program itself would prefer the
// high-resolution box); null when it fails.
inline QImage ghostscriptAtBox(const QString& eps, const QString& outDir, const QStringList& extra = {})
{
    const QByteArray text = readAll(eps);
    const qsizetype at = text.indexOf("%%BoundingBox:");
    const QList<QByteArray> box = text.mid(at + 14, text.indexOf('\n', at) - at - 14).simplified().split(' ');
    if (at < 0 || box.size() != 4)
        return {};
    const int llx = box[0].toInt(), lly = box[1].toInt(), urx = box[2].toInt(), ury = box[3].toInt();
    const QString out = outDir + "/gs-box.ppm";
    QFile::remove(out);
    QProcess gs;
    gs.start("gs", QStringList{"-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-dNOEPS", "-r72", "-dFIXEDMEDIA",
                               QString("-g%1x%2").arg(urx - llx).arg(ury - lly), "-sDEVICE=ppmraw",
                               "-sOutputFile=" + out}
                       << extra << "-c" << QString("%1 %2 translate").arg(-llx).arg(-lly) << "-f" << eps
                       // a file without showpage gets one; a second page is not read
                       << "-c" << "showpage");
    if (!gs.waitForFinished(60000) || gs.exitStatus() != QProcess::NormalExit || gs.exitCode() != 0)
        return {};
    return QImage(out).convertToFormat(QImage::Format_RGB888);
}

// Offset and length of one section of a DOS EPS binary header (0: the
// PostScript section, 1: WMF, 2: TIFF); the whole file for a plain one.
inline QByteArray section(const QByteArray& eps, int which)
{
    if (!eps.startsWith("\xC5\xD0\xD3\xC6"))
        return which == 0 ? eps : QByteArray();
    const auto* h = reinterpret_cast<const uchar*>(eps.constData());
    const quint32 offset = qFromLittleEndian<quint32>(h + 4 + which * 8);
    const quint32 length = qFromLittleEndian<quint32>(h + 8 + which * 8);
    if (qint64(offset) + length > eps.size())
        return {};
    return eps.mid(offset, length);
}

// A DOS EPS binary file of these sections.
inline QByteArray dosEps(const QByteArray& postscript, const QByteArray& tiff)
{
    QByteArray header(30, '\0');
    auto* h = reinterpret_cast<uchar*>(header.data());
    h[0] = 0xC5, h[1] = 0xD0, h[2] = 0xD3, h[3] = 0xC6;
    qToLittleEndian<quint32>(30, h + 4);
    qToLittleEndian<quint32>(quint32(postscript.size()), h + 8);
    qToLittleEndian<quint32>(tiff.isEmpty() ? 0 : quint32(30 + postscript.size()), h + 20);
    qToLittleEndian<quint32>(quint32(tiff.size()), h + 24);
    qToLittleEndian<quint16>(0xFFFF, h + 28);
    return header + postscript + tiff;
}

}  // namespace epstest
