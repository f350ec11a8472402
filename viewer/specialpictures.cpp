#include "specialpictures.h"

#include "codec/binding/display.h"
#include "codec/binding/piclibtypes.h"
#include "codec/metafile/metafileconvert.h"
#include "codec/metafile/tmetafile.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>

namespace specialpictures {

TBitmap metafilePicture(const QString& file)
{
    TMetafile metafile;
    TBitmap bitmap;
    if (!metafile.LoadFromFile(file) || !MetafileToBitmap(&bitmap, &metafile, false))
        return TBitmap();
    bitmap.setPixelFormat(pf24bit);
    return bitmap;
}

bool iconPicture(const QString& file, const QColor& background, TBitmap& picture)
{
    QFile icon(file);
    // the first directory entry: 16 bytes at offset 6, width and height first
    const QByteArray head = icon.open(QIODevice::ReadOnly) ? icon.read(22) : QByteArray();
    const int w = head.size() >= 22 ? quint8(head[6]) : 0;
    const int h = head.size() >= 22 ? quint8(head[7]) : 0;
    if (w == 0 || h == 0)
        return false;
    QImage canvas(w, h, QImage::Format_RGB888);
    canvas.fill(background);
    QPainter(&canvas).drawImage(0, 0, QImage(file, "ico"));
    picture = TBitmap(canvas, pf24bit);
    return true;
}

int foldedDeviceDepth()
{
    const int d = DeviceDepth();
    return d <= 4 ? 4 : (d < 16 ? 8 : 24);
}

QString colourClassText(int bits, int* colours)
{
    static const char* const kTexts[] = {"Monochrom", "16 Farben", "256 Farben", "15 Bit Farben",
                                         "16 Bit Farben", "24 Bit Farben", "32 Bit Farben", "Palette"};
    static const int kColours[] = {2, 16, 256, 0, 0, 0, 0, 0};
    const int index = PixelFormatCode(bits) - 1;
    *colours = kColours[index];
    return QString::fromLatin1(kTexts[index]);
}

QString pictureInformationText(const ImageInfo& i, const QString& file, int page)
{
    return i.type + "  " + QString::number(i.width) + " x " + QString::number(i.height) + "   "
        + QString::number(i.bitsPerPixel) + " " + QString::number(i.planes) + " " + QString::number(i.colorsUsed) + " "
        + QString::number(QFileInfo(file).size()) + "    " + i.compression + "     " + QString::number(page + 1) + "  "
        + QString::number(i.pageCount);
}

namespace {

QString drawnInformationText(const QString& format, const TBitmap& picture, int bits)
{
    int colours = 0;
    const QString text = colourClassText(bits, &colours);
    return format + "  " + QString::number(picture.width()) + " x " + QString::number(picture.height()) + "   "
        + QString::number(bits) + "   1   " + text + "    " + QString::number(colours) + "   "
        + QString::number(qint64(picture.width()) * picture.height() * bits / 8);
}

}  // namespace

QString metafileInformationText(const QString& format, const TBitmap& picture)
{
    return drawnInformationText(format, picture, foldedDeviceDepth());
}

QString pastedInformationText(const TBitmap& picture)
{
    return drawnInformationText(QStringLiteral("Zwischenablage"), picture, picture.bitsPerPixel());
}

QString iconInformationText(const QString& file, const TBitmap& picture)
{
    const int bits = foldedDeviceDepth();
    int colours = 0;
    const QString text = colourClassText(bits, &colours);
    return "ICON  " + QString::number(picture.width()) + " x " + QString::number(picture.height()) + "   "
        + QString::number(bits) + "   1   " + text + "   " + QString::number(colours) + "   "
        + QString::number(QFileInfo(file).size()) + "    None";
}

}  // namespace specialpictures
