#include "annotationfile.h"

#include "codec/binding/annotationcalls.h"
#include "codec/binding/errorinvalid.h"
#include "platform/fileops.h"
#include "platform/ownfilewriter.h"

#include <QFile>
#include <QFileInfo>

namespace {

// Larger annotation files are not ours to copy.
constexpr qint64 kMaxAnnotationBytes = qint64(256) << 20;

bool copyOwnFile(const QString& from, const QString& to)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly) || in.size() > kMaxAnnotationBytes)
        return false;
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return false;
    OwnFileWriter writer(to);
    return writer.open() && writer.write(bytes) && writer.commit();
}

void removeAnnotationFile(const QString& file)
{
    fileops::makeArchiveOnly(file);
    fileops::removeFile(file);
}

}  // namespace

QString PictureAnnotationFile(const QString& picture)
{
    const int dot = picture.lastIndexOf(QLatin1Char('.'));
    const int slash = picture.lastIndexOf(QLatin1Char('/'));
    const QString stem = dot > slash ? picture.left(dot) + QLatin1Char('-') + picture.mid(dot + 1) : picture;
    return stem + QStringLiteral(".ant");
}

bool CarryAnnotationFile(const QString& source, const QString& target, bool move)
{
    const QString from = PictureAnnotationFile(source);
    const QString to = PictureAnnotationFile(target);
    if (!QFileInfo(from).isFile()) {
        if (QFileInfo::exists(to))
            removeAnnotationFile(to);
        return true;
    }
    if (!copyOwnFile(from, to))
        return false;
    if (move)
        removeAnnotationFile(from);
    return true;
}

bool RemoveAnnotationPage(const QString& annotationFile, int page)
{
    try {
        annotationcalls::Scratch layer;
        return annotationcalls::Remove(layer.key(), page, annotationFile);
    } catch (const ErrorInvalid&) {
        return false;
    }
}
