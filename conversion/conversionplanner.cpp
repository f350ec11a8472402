#include "conversionplanner.h"

#include "conversionnaming.h"

#include "platform/fileops.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString key(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

}  // namespace

ConversionPlanner::ConversionPlanner(const ConversionOptions& options, AskHook ask)
    : options_(options), ask_(std::move(ask))
{
}

bool ConversionPlanner::taken(const QString& path) const
{
    return reserved_.contains(key(path)) || QFileInfo::exists(path) || QFileInfo(path).isSymLink();
}

QString ConversionPlanner::freeName(const QString& path) const
{
    const QFileInfo info(path);
    const QString ext = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    const QString base = info.suffix().isEmpty() ? info.fileName() : info.completeBaseName();
    for (int k = 1;; ++k) {
        const QString candidate = info.dir().filePath(base + QLatin1Char('_') + QString::number(k) + ext);
        if (!taken(candidate))
            return candidate;
    }
}

void ConversionPlanner::reserve(const QString& path)
{
    reserved_.insert(key(path));
}

PlannedTarget ConversionPlanner::plan(const QString& source, int page)
{
    return settle(source, ConversionTargetName(source, page, options_.folder, options_.targetExt));
}

PlannedTarget ConversionPlanner::settle(const QString& source, const QString& target)
{
    PlannedTarget planned;
    planned.target = target;
    if (!taken(target)) {
        planned.action = PlannedTarget::Write;
        reserve(target);
        return planned;
    }
    // Re-encoding a picture in place needs no question; any other picture
    // of that name is the user's and is only replaced when they say so.
    const bool reservedBefore = reserved_.contains(key(target));
    if (options_.replaceSources && !reservedBefore && fileops::sameFile(source, target)) {
        planned.action = PlannedTarget::Write;
        planned.overSource = true;
        reserve(target);
        return planned;
    }
    QString renameTo = freeName(target);
    const int answer = ask_ ? ask_(source, target, renameTo) : SkipFile;
    if (answer == Overwrite && !reservedBefore) {
        planned.action = PlannedTarget::Write;
        reserve(target);
    } else if (answer == Rename && !renameTo.isEmpty() && !taken(renameTo)) {
        planned.action = PlannedTarget::Write;
        planned.target = renameTo;
        reserve(renameTo);
    } else if (answer == Cancel) {
        planned.action = PlannedTarget::Stop;
    }
    return planned;
}
