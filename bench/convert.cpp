// Batch conversion of real JPEGs to PNG at 50 %: milliseconds of our
// conversion run (the dialog's workers) on every core and on one, beside
// vips run as one and as two processes at a time and ImageMagick's convert,
// on the same files in the same run. Every tool starts one process per
// file; ours runs in this process, as the dialog does.
//
// The pictures are the first 100 valid, not derived JPEGs of the corpus's
// manifest (the list repeats when it holds fewer). Each variant runs twice;
// the faster counts. Machines shared with other work give noisy figures:
// compare the ratios of one run.
//
// Usage: bench_convert [CORPUS_FOLDER] [COUNT]

#include "fastest.h"

#include "conversion/conversionrun.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <cstdio>
#include <functional>

namespace {

QStringList realJpegs(const QString& corpus, int count)
{
    QFile manifest(corpus + "/manifest.tsv");
    QStringList files;
    if (!manifest.open(QIODevice::ReadOnly))
        return files;
    QTextStream in(&manifest);
    in.readLine();
    while (!in.atEnd()) {
        const QStringList f = in.readLine().split('\t');
        if (f.size() >= 10 && f[1] == QLatin1String("jpeg") && f[8] == QLatin1String("no")
            && f[9] == QLatin1String("valid") && QFileInfo::exists(corpus + "/" + f[0]))
            files << corpus + "/" + f[0];
    }
    QStringList chosen;
    for (int i = 0; !files.isEmpty() && chosen.size() < count; ++i)
        chosen << files[i % files.size()];
    return chosen;
}

// The sources as name-unique copies, so repeated files give their own targets.
QStringList copiesIn(const QString& folder, const QStringList& files)
{
    QStringList copies;
    for (int i = 0; i < files.size(); ++i) {
        const QString copy = QStringLiteral("%1/%2-%3").arg(folder).arg(i, 3, 10, QLatin1Char('0')).arg(
            QFileInfo(files[i]).fileName());
        if (!QFile::copy(files[i], copy))
            return {};
        copies << copy;
    }
    return copies;
}

bool freshFolder(const QString& folder)
{
    QDir(folder).removeRecursively();
    return QDir().mkpath(folder);
}

int pngsIn(const QString& folder)
{
    return int(QDir(folder).entryList({QStringLiteral("*.png")}, QDir::Files).size());
}

bool convertOurs(const QStringList& files, const QString& out, int inFlight)
{
    if (!freshFolder(out))
        return false;
    QList<ConversionItem> items;
    for (const QString& f : files)
        items.append({f, 0});
    ConversionOptions options;
    options.targetExt = QStringLiteral("png");
    options.folder = out;
    options.percent = 50;
    ConversionRun run(items, options, [](const QString&, const QString&, QString&) { return 3; });
    if (inFlight > 0)
        run.setMostInFlight(inFlight);
    QEventLoop loop;
    QObject::connect(&run, &ConversionRun::finished, &loop, &QEventLoop::quit);
    run.start();
    if (run.running())
        loop.exec();
    return pngsIn(out) == files.size();
}

// program run once per argument list by xargs, at most `processes` at a
// time.
bool runTool(const QString& program, const QList<QStringList>& argLists, int processes, const QString& out,
             int expected)
{
    if (!freshFolder(out))
        return false;
    QByteArray list;
    for (const QStringList& c : argLists)
        for (const QString& a : c)
            list += a.toUtf8() + '\0';
    QProcess xargs;
    xargs.start(QStringLiteral("xargs"), {QStringLiteral("-0"), QStringLiteral("-P"), QString::number(processes),
                                          QStringLiteral("-n"), QString::number(argLists.first().size()), program});
    if (!xargs.waitForStarted())
        return false;
    xargs.write(list);
    xargs.closeWriteChannel();
    xargs.waitForFinished(-1);
    return xargs.exitCode() == 0 && pngsIn(out) == expected;
}

QList<QStringList> vipsCommands(const QStringList& files, const QString& out)
{
    QList<QStringList> commands;
    for (const QString& f : files)
        commands << QStringList{QStringLiteral("resize"), f,
                                out + "/" + QFileInfo(f).completeBaseName() + ".png", QStringLiteral("0.5")};
    return commands;
}

QList<QStringList> magickCommands(const QStringList& files, const QString& out)
{
    QList<QStringList> commands;
    for (const QString& f : files)
        commands << QStringList{f, QStringLiteral("-resize"), QStringLiteral("50%"),
                                out + "/" + QFileInfo(f).completeBaseName() + ".png"};
    return commands;
}

void report(const char* what, double ms, double reference)
{
    if (ms < 0) {
        std::printf("%-34s failed or missing\n", what);
        return;
    }
    if (reference > 0)
        std::printf("%-34s %9.0f ms   %.2f x vips two processes\n", what, ms, ms / reference);
    else
        std::printf("%-34s %9.0f ms\n", what, ms);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString corpus = args.value(1, QStringLiteral(KV_SOURCE_DIR "/../shared/corpus"));
    const int count = args.value(2, QStringLiteral("100")).toInt();
    const QStringList chosen = realJpegs(corpus, count);
    if (chosen.isEmpty()) {
        std::fprintf(stderr, "no JPEGs in %s\n", qPrintable(corpus));
        return 1;
    }
    QTemporaryDir dir;
    const QStringList sources = QDir().mkpath(dir.filePath("src")) ? copiesIn(dir.filePath("src"), chosen)
                                                                   : QStringList();
    if (sources.isEmpty()) {
        std::fprintf(stderr, "cannot copy the JPEGs to %s\n", qPrintable(dir.path()));
        return 1;
    }
    qint64 bytes = 0;
    for (const QString& f : sources)
        bytes += QFileInfo(f).size();
    std::printf("%lld JPEGs (%lld distinct, %.1f MB) to PNG at 50 %%, %d cores\n", qlonglong(sources.size()),
                qlonglong(QSet<QString>(chosen.begin(), chosen.end()).size()), bytes / 1e6,
                QThread::idealThreadCount());

    const QString out = dir.filePath("out");
    const int n = int(sources.size());
    const bool vips = !QStandardPaths::findExecutable(QStringLiteral("vips")).isEmpty();
    const bool magick = !QStandardPaths::findExecutable(QStringLiteral("convert")).isEmpty();
    const auto vipsRun = [&](int processes) {
        return runTool(QStringLiteral("vips"), vipsCommands(sources, out), processes, out, n);
    };
    const double vips1 = vips ? fastest(2, [&] { return vipsRun(1); }) : -1;
    const double vips2 = vips ? fastest(2, [&] { return vipsRun(2); }) : -1;
    const double im =
        magick ? fastest(2, [&] { return runTool(QStringLiteral("convert"), magickCommands(sources, out), 1, out, n); })
               : -1;
    const double oursAll = fastest(2, [&] { return convertOurs(sources, out, 0); });
    const double oursOne = fastest(2, [&] { return convertOurs(sources, out, 1); });

    report("ours, every core", oursAll, vips2);
    report("ours, one file at a time", oursOne, vips2);
    report("vips, one process at a time", vips1, vips2);
    report("vips, two processes at a time", vips2, 0);
    report("ImageMagick convert, one process", im, vips2);
    if (oursAll > 0 && oursOne > 0)
        std::printf("every core / one: %.2f\n", oursAll / oursOne);
    return oursAll > 0 && oursOne > 0 ? 0 : 1;
}
