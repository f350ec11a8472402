#include "slidepictures.h"

#include "platform/settings.h"

#include <QDir>
#include <QImage>

QColor colourOf(int index)
{
    return QColor::fromRgb(QColor::fromHsv((index * 37) % 360, 200, 60 + (index * 13) % 190).rgb());
}

bool writePicture(const QString& path, const QColor& colour, int w, int h)
{
    QImage image(w, h, QImage::Format_RGB888);
    image.fill(colour);
    return image.save(path, "PNG");
}

QStringList writePictures(const QString& folder, int count)
{
    QStringList files;
    for (int i = 0; i < count; ++i) {
        const QString path = QDir(folder).filePath(QStringLiteral("slide%1.png").arg(i));
        if (writePicture(path, colourOf(i)))
            files << path;
    }
    return files;
}

void clearSlideShowOptions()
{
    Settings store;
    store.eraseSection("DiaShow");
    store.sync();
}
