// glimra-tool thumbs FOLDER [--size N] [--probe]: the viewer's folder scan
// without a window; writes the folder's thumbnail database. --probe adds the
// longest time the event loop did not turn (scan and save) and the peak
// anonymous memory.

#include "commandline.h"
#include "toolcommands.h"
#include "toolerror.h"

#include "thumbnails/piclibthumbnails.h"
#include "viewer/comparethumbnails.h"
#include "viewer/timethread.h"
#include "viewer/viewerstate.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QFile>
#include <QTextStream>
#include <QTimer>

namespace {

// RssAnon of /proc/self/status, in KiB; 0 where there is none.
qint64 anonymousMemoryKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("RssAnon:"))
            return line.mid(8).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

// Turns of the event loop, watched by a timer that should fire every 10 ms.
struct LoopProbe {
    QTimer timer;
    QElapsedTimer sinceLast;
    qint64 longestGap = 0;
    qint64 peakAnonymous = 0;

    LoopProbe()
    {
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [this] { turn(); });
    }
    void start()
    {
        sinceLast.start();
        timer.start();
    }
    void turn()
    {
        longestGap = std::max(longestGap, sinceLast.restart());
        peakAnonymous = std::max(peakAnonymous, anonymousMemoryKiB());
    }
};

}  // namespace

int runThumbsCommand(const QStringList& args)
{
    QStringList rest = args;
    const bool probing = rest.removeAll(QStringLiteral("--probe")) > 0;
    const CommandLine cl(rest, {QStringLiteral("--size")});
    cl.requirePositionals(1, QStringLiteral("one FOLDER"));
    const int size = cl.intValue(QStringLiteral("--size"), 100, 30, 1000);
    const QString folder = QDir::cleanPath(QFileInfo(cl.positionals().first()).absoluteFilePath());
    if (!QFileInfo(folder).isDir())
        throw ToolError::failure(QStringLiteral("no such folder: ") + folder);

    QElapsedTimer timer;
    timer.start();
    ViewerState state;
    state.ThumbnailsEnabled = true;
    state.NotifySuppressed = false;
    TPicLibThumbnails grid;
    grid.setThumbnailWidth(size);
    grid.setThumbnailHeight(size);
    grid.host.thumbnailsEnabled = [] { return true; };
    grid.host.compare = [&state](const Th& a, const Th& b) {
        return CompareThumbnails(a, b, state.SortOrder, state.SortDescending);
    };
    ScanHost host;
    host.treePath = [folder] { return folder; };
    host.sortThumbnails = [&grid] { grid.sortItems(grid.host.compare); };

    LoopProbe probe;
    if (probing)
        probe.start();
    TTimeThread scan(&grid, &state, host);
    QEventLoop loop;
    QObject::connect(&scan, &QThread::finished, &loop, &QEventLoop::quit);
    scan.start();
    loop.exec();
    scan.wait();
    // the save runs on the grid's writer thread while the event loop turns
    QElapsedTimer saving;
    saving.start();
    QEventLoop saved;
    if (grid.SaveDatabaseInBackground(TTimeThread::databaseFile(folder), [&saved] { saved.quit(); }))
        saved.exec();
    const qint64 saveMs = saving.elapsed();
    if (probing)
        probe.turn();

    QTextStream(stdout) << "items=" << grid.itemCount() << " decoded=" << scan.decoded()
                        << " reused=" << scan.reused() << " ms=" << timer.elapsed();
    if (probing)
        QTextStream(stdout) << " longest_gap_ms=" << probe.longestGap << " peak_anon_kib=" << probe.peakAnonymous
                            << " save_ms=" << saveMs;
    QTextStream(stdout) << '\n';
    return 0;
}
