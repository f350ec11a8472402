#include "referencedecoder.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace referencedecoder {

namespace {

bool isPcx(const QString& path)
{
    return QFileInfo(path).suffix().compare("pcx", Qt::CaseInsensitive) == 0;
}

QString program(const QString& path)
{
    return QStandardPaths::findExecutable(isPcx(path) ? "pcxtoppm" : "convert");
}

// ImageMagick's arguments: frames of a GIF keep their place on the logical
// screen; other formats drop page offsets. PNG values are taken as they are
// stored (ImageMagick would convert files with gAMA 1.0 from linear light).
// TGA, TIFF and JPEG (EXIF) pictures are put in their stated orientation.
QStringList magickArguments(const QString& path, int page)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    QStringList args{QString("%1[%2]").arg(path).arg(page)};
    if (ext == "png")
        args << "-set" << "colorspace" << "sRGB";
    if (ext == "tga" || ext == "tif" || ext == "tiff" || ext == "jpg" || ext == "jpeg")
        args << "-auto-orient";
    if (ext != "gif")
        args << "+repage";
    args << "-background" << "white" << "-alpha" << "remove" << "-flatten" << "-depth" << "8" << "ppm:-";
    return args;
}

// Parses a binary PPM (P6, maxval 255).
QImage fromPpm(const QByteArray& data)
{
    int pos = 0;
    auto token = [&]() {
        while (pos < data.size()) {
            if (data[pos] == '#') {
                while (pos < data.size() && data[pos] != '\n')
                    ++pos;
            } else if (QChar(data[pos]).isSpace()) {
                ++pos;
            } else {
                break;
            }
        }
        const int start = pos;
        while (pos < data.size() && !QChar(data[pos]).isSpace())
            ++pos;
        return data.mid(start, pos - start);
    };
    if (token() != "P6")
        return {};
    const int w = token().toInt();
    const int h = token().toInt();
    const int maxval = token().toInt();
    ++pos;
    if (w <= 0 || h <= 0 || maxval != 255 || qint64(pos) + qint64(w) * h * 3 > data.size())
        return {};
    QImage img(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        memcpy(img.scanLine(y), data.constData() + pos + qint64(y) * w * 3, size_t(w) * 3);
    return img;
}

}  // namespace

bool available(const QString& path)
{
    return !program(path).isEmpty();
}

QImage decode(const QString& path, int page)
{
    QProcess p;
    p.start(program(path), isPcx(path) ? QStringList{path} : magickArguments(path, page));
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    return fromPpm(p.readAllStandardOutput());
}

}  // namespace referencedecoder
