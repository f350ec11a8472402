#include "conversionnaming.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>

bool IsTiffName(const QString& path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    return ext == QLatin1String("tif") || ext == QLatin1String("tiff");
}

QString ConversionTargetName(const QString& source, int page, const QString& folder, const QString& ext)
{
    QString base = QFileInfo(source).completeBaseName();
    if (QFileInfo(source).suffix().isEmpty())
        base = QFileInfo(source).fileName();
    if (IsTiffName(source))
        base += QStringLiteral("_Seite_") + QString::number(page + 1);
    return QDir(folder).filePath(base + QLatin1Char('.') + ext);
}

QSize FitKeepingAspect(QSize wanted, QSize picture)
{
    const int W = wanted.width(), H = wanted.height();
    const int w = picture.width(), h = picture.height();
    if (W <= 0 || H <= 0 || w <= 0 || h <= 0)
        return wanted;
    // W / H > w / h, compared without division
    if (qint64(W) * h > qint64(w) * H)
        return {std::max(1, int(std::lround(double(H) * w / h))), H};
    return {W, std::max(1, int(std::lround(double(W) * h / w)))};
}

QString AnnotationFileOf(const QString& picture)
{
    QString name = picture;
    const int slash = name.lastIndexOf(QLatin1Char('/'));
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot > slash)
        name[dot] = QLatin1Char('-');
    return name + QStringLiteral(".ant");
}
