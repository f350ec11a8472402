// glimra-tool convert: the viewer's batch conversion without a window,
// its options as flags. One line per file in list order, then the totals.

#include "commandline.h"
#include "toolcommands.h"
#include "toolerror.h"

#include "conversion/conversionrun.h"
#include "imagecontrol/savepicturefile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>
#include <unistd.h>

namespace {

TSaveResolution resolutionForDepth(int depth)
{
    switch (depth) {
    case 0: return sColorVga;
    case 1: return sMonoChrome;
    case 4: return sColor16;
    case 8: return sColor256;
    default: return sColorTrue;
    }
}

// The question on the terminal; without one, "ask" keeps the existing file.
int askOnTerminal(const QString& source, const QString& target, QString& renameTo)
{
    if (!isatty(STDIN_FILENO))
        return ConversionPlanner::SkipFile;
    QTextStream err(stderr);
    QTextStream in(stdin);
    for (;;) {
        err << source << " -> " << target << " exists: [o]verwrite, [s]kip, [r]ename to "
            << QFileInfo(renameTo).fileName() << ", [c]ancel? " << Qt::flush;
        const QString answer = in.readLine().trimmed().toLower();
        if (answer.isNull())
            return ConversionPlanner::SkipFile;
        if (answer == QLatin1String("o"))
            return ConversionPlanner::Overwrite;
        if (answer == QLatin1String("s") || answer.isEmpty())
            return ConversionPlanner::SkipFile;
        if (answer == QLatin1String("r"))
            return ConversionPlanner::Rename;
        if (answer == QLatin1String("c"))
            return ConversionPlanner::Cancel;
    }
}

ConversionPlanner::AskHook overwriteHook(const QString& mode)
{
    if (mode == QLatin1String("yes"))
        return [](const QString&, const QString&, QString&) { return int(ConversionPlanner::Overwrite); };
    if (mode == QLatin1String("no"))
        return [](const QString&, const QString&, QString&) { return int(ConversionPlanner::SkipFile); };
    if (mode == QLatin1String("rename"))
        return [](const QString&, const QString&, QString&) { return int(ConversionPlanner::Rename); };
    if (mode == QLatin1String("ask"))
        return askOnTerminal;
    throw ToolError::usage(QStringLiteral("--overwrite takes ask, yes, no or rename"));
}

ConversionOptions optionsFrom(const CommandLine& line)
{
    ConversionOptions options;
    const auto to = line.value(QStringLiteral("--to"));
    const auto out = line.value(QStringLiteral("--out"));
    if (!to || !out)
        throw ToolError::usage(QStringLiteral("--to FORMAT and --out DIR are needed"));
    options.targetExt = to->toLower();
    if (!WritableExtension(options.targetExt))
        throw ToolError::usage(QStringLiteral("%1 is not a format the programs write").arg(*to));
    options.folder = *out;
    const bool width = line.value(QStringLiteral("--width")).has_value();
    const bool height = line.value(QStringLiteral("--height")).has_value();
    const bool percent = line.value(QStringLiteral("--percent")).has_value();
    if (width != height || (width && percent))
        throw ToolError::usage(QStringLiteral("give --width and --height together, or --percent"));
    options.changeSize = width;
    options.width = line.intValue(QStringLiteral("--width"), 400, 1, 9999);
    options.height = line.intValue(QStringLiteral("--height"), 600, 1, 9999);
    options.percent = line.intValue(QStringLiteral("--percent"), 0, 1, 1000);
    const int depth = line.intValue(QStringLiteral("--depth"), 24, 0, 24);
    if (depth != 0 && depth != 1 && depth != 4 && depth != 8 && depth != 24)
        throw ToolError::usage(QStringLiteral("--depth takes 0, 1, 4, 8 or 24"));
    options.save.writeRes = resolutionForDepth(depth);
    options.save.jpegQuality = line.intValue(QStringLiteral("--quality"), 85, 0, 100);
    return options;
}

QList<ConversionItem> itemsFor(const QStringList& files, bool splitPages)
{
    QList<ConversionItem> items;
    for (const QString& file : files) {
        const int pages = splitPages ? PicturePageCount(file) : 1;
        for (int page = 0; page < std::max(1, pages); ++page)
            items.append({file, page});
    }
    return items;
}

QString lineFor(const ConversionResult& r)
{
    switch (r.outcome) {
    case ConversionResult::Converted: return QStringLiteral("converted %1 -> %2").arg(r.source, r.target);
    case ConversionResult::Skipped: return QStringLiteral("skipped %1 -> %2 (exists)").arg(r.source, r.target);
    case ConversionResult::Failed: break;
    }
    return QStringLiteral("failed %1: %2").arg(r.source, r.reason);
}

}  // namespace

int runConvertCommand(const QStringList& args)
{
    QStringList rest = args;
    const bool splitPages = rest.removeAll(QStringLiteral("--split-pages")) > 0;
    const CommandLine line(rest, {QStringLiteral("--to"), QStringLiteral("--width"), QStringLiteral("--height"),
                                  QStringLiteral("--percent"), QStringLiteral("--depth"), QStringLiteral("--quality"),
                                  QStringLiteral("--overwrite"), QStringLiteral("--out")});
    ConversionOptions options = optionsFrom(line);
    options.splitPages = splitPages;
    const auto ask = overwriteHook(line.value(QStringLiteral("--overwrite")).value_or(QStringLiteral("ask")));
    if (line.positionals().isEmpty())
        throw ToolError::usage(QStringLiteral("no FILES to convert"));
    if (!QDir().mkpath(options.folder))
        throw ToolError::failure(QStringLiteral("%1: cannot make the folder").arg(options.folder));

    QElapsedTimer clock;
    clock.start();
    const QList<ConversionItem> items = itemsFor(line.positionals(), splitPages);
    ConversionRun run(items, options, ask);
    QTextStream out(stdout);
    int converted = 0, skipped = 0, failed = 0;
    QObject::connect(&run, &ConversionRun::fileDone, [&](int, const ConversionResult& r) {
        out << lineFor(r) << '\n' << Qt::flush;
        converted += r.outcome == ConversionResult::Converted;
        skipped += r.outcome == ConversionResult::Skipped;
        failed += r.outcome == ConversionResult::Failed;
    });
    QEventLoop loop;
    QObject::connect(&run, &ConversionRun::finished, &loop, &QEventLoop::quit);
    run.start();
    if (run.running())
        loop.exec();
    // files after a "cancel" answer stay as they are
    for (qsizetype i = converted + skipped + failed; i < items.size(); ++i) {
        out << QStringLiteral("skipped %1 (cancelled)").arg(items[i].source) << '\n';
        ++skipped;
    }
    out << QStringLiteral("converted=%1 skipped=%2 failed=%3 ms=%4").arg(converted).arg(skipped).arg(failed).arg(
               clock.elapsed())
        << '\n';
    return failed > 0 ? ToolError::Failure : 0;
}
