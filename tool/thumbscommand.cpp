// glimra-tool thumbs FOLDER [--size N]: the viewer's folder scan without a
// window; writes the folder's thumbnail database.

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
#include <QTextStream>

int runThumbsCommand(const QStringList& args)
{
    const CommandLine cl(args, {QStringLiteral("--size")});
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

    TTimeThread scan(&grid, &state, host);
    QEventLoop loop;
    QObject::connect(&scan, &QThread::finished, &loop, &QEventLoop::quit);
    scan.start();
    loop.exec();
    scan.wait();
    grid.SaveDatabase(TTimeThread::databaseFile(folder));

    QTextStream(stdout) << "items=" << grid.itemCount() << " decoded=" << scan.decoded()
                        << " reused=" << scan.reused() << " ms=" << timer.elapsed() << '\n';
    return 0;
}
