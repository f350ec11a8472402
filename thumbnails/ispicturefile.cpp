#include "ispicturefile.h"

#include "codec/binding/piclibtypes.h"
#include "platform/paths.h"

#include <QFile>
#include <QFileInfo>

namespace {

qint64 minimumSize(const QString& ext)
{
    if (ext == ".bmp" || ext == ".dib")
        return 65;
    if (ext == ".tif" || ext == ".tiff")
        return 175;
    if (ext == ".jpg" || ext == ".jpeg")
        return 332;
    if (ext == ".pcx")
        return 129;
    if (ext == ".png")
        return 87;
    if (ext == ".eps")
        return 621;
    return 30;
}

bool isPictureExtension(const QString& ext)
{
    for (const char* known : PicLibDotExtensions)
        if (ext == QLatin1String(known))
            return true;
    return false;
}

bool smallGifPasses(const QString& path, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    if (file.read(5).toLower() == "gif89")
        return false;
    return size > 42;
}

}  // namespace

bool IsPictureFile(const QString& path)
{
    const QString ext = paths::lowerExtension(path);
    if (!isPictureExtension(ext))
        return false;
    const QFileInfo info(path);
    const qint64 size = info.isFile() ? info.size() : 0;
    if (ext == ".gif")
        return size >= 807 ? QFile::exists(path) : smallGifPasses(path, size);
    if (size <= minimumSize(ext))
        return false;
    QFile file(path);
    return file.open(QIODevice::ReadOnly);
}
