#include "writertestkit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cmath>

#include "codec/binding/codecwrappers.h"
#include "codec/binding/dibconvert.h"
#include "codec/binding/tbitmap.h"

namespace writertestkit {

QImage photo(int w, int h, int seed)
{
    QImage img(w, h, QImage::Format_RGB888);
    QRandomGenerator rng(static_cast<quint32>(seed));
    for (int y = 0; y < h; ++y) {
        uchar* line = img.scanLine(y);
        for (int x = 0; x < w; ++x) {
            const int n = int(rng.bounded(9)) - 4;
            line[3 * x] = uchar(qBound(0, 255 * x / std::max(1, w - 1) + n, 255));
            line[3 * x + 1] = uchar(qBound(0, 255 * y / std::max(1, h - 1) + n, 255));
            line[3 * x + 2] = uchar(qBound(0, int(127 + 120 * std::sin((x + y) / 9.0)) + n, 255));
        }
    }
    return img;
}

QImage blocks(int w, int h, int colours)
{
    QImage img(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int c = ((x / 3) + (y / 2) * 7) % colours;
            img.setPixelColor(x, y, QColor((c * 73) % 256, (c * 151) % 256, (c * 37 + 11) % 256));
        }
    return img;
}

GlobalHandle dibOf(const QImage& image, int bits)
{
    if (bits == 24)
        return BitmapToDIB(image, pf24bit, {});
    // pictures of at most 2^bits colours: Qt's table holds exactly them
    const QImage indexed = image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
    const TPixelFormat format = bits == 1 ? pf1bit : (bits == 4 ? pf4bit : pf8bit);
    return BitmapToDIB(indexed, format, indexed.colorTable());
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

QByteArray run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    const QByteArray out = p.readAllStandardOutput();
    return out.isNull() ? QByteArray("") : out;
}

QString identify(const QString& path, const QString& format)
{
    return QString::fromUtf8(run("identify", {"-format", format, path + "[0]"})).trimmed();
}

QStringList tiffinfoCompressions(const QString& path)
{
    QStringList out;
    const QString text = QString::fromUtf8(run("tiffinfo", {path}));
    static const QRegularExpression scheme("Compression Scheme: ([^\\n]+)");
    for (auto it = scheme.globalMatch(text); it.hasNext();)
        out << it.next().captured(1).trimmed();
    return out;
}

QImage ourDecode(const QString& path, int page)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    TBitmap bitmap;
    bool ok = false;
    if (ext == "jpg")
        ok = ReadJpgFileBitmap(path, 24, false, bitmap);
    else if (ext == "png")
        ok = ReadPngFileBitmap(path, 24, false, bitmap);
    else if (ext == "gif")
        ok = ReadGifFileBitmap(path, 24, false, bitmap);
    else if (ext == "pcx")
        ok = ReadPcxFileBitmap(path, 24, false, bitmap);
    else if (ext == "tga")
        ok = ReadTgaFileBitmap(path, 24, false, bitmap);
    else if (ext == "tif")
        ok = ReadTiffFileBitmap(path, 24, false, page, bitmap);
    return ok ? bitmap.image().convertToFormat(QImage::Format_RGB888) : QImage();
}

int maxDifference(const QImage& a, const QImage& b)
{
    if (a.isNull() || a.size() != b.size())
        return 256;
    const QImage x = a.convertToFormat(QImage::Format_RGB888), y = b.convertToFormat(QImage::Format_RGB888);
    int worst = 0;
    for (int r = 0; r < x.height(); ++r) {
        const uchar* p = x.constScanLine(r);
        const uchar* q = y.constScanLine(r);
        for (int i = 0; i < 3 * x.width(); ++i)
            worst = std::max(worst, std::abs(p[i] - q[i]));
    }
    return worst;
}

double psnr(const QImage& a, const QImage& b)
{
    if (a.isNull() || a.size() != b.size())
        return 0;
    const QImage x = a.convertToFormat(QImage::Format_RGB888), y = b.convertToFormat(QImage::Format_RGB888);
    double sum = 0;
    for (int r = 0; r < x.height(); ++r) {
        const uchar* p = x.constScanLine(r);
        const uchar* q = y.constScanLine(r);
        for (int i = 0; i < 3 * x.width(); ++i)
            sum += double(p[i] - q[i]) * double(p[i] - q[i]);
    }
    const double mse = sum / (3.0 * x.width() * x.height());
    return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

}  // namespace writertestkit
