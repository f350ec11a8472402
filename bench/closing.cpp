// Closing the viewer while it works: the time from the close request to the
// window gone, while the scan makes miniatures of a folder of photos and
// while it loads that folder's database. Each figure is the slowest of a few
// runs, since a close lands at any moment.

#include "viewer/glimraapplication.h"
#include "viewer/kvnpictureview.h"
#include "viewer/shelltree.h"

#include "thumbnails/piclibthumbnails.h"
#include "platform/settings.h"

#include <QElapsedTimer>
#include <QImage>
#include <QTemporaryDir>
#include <cstdio>

namespace {

constexpr int kPictures = 60;
constexpr int kRuns = 3;

void makeFolder(const QString& folder)
{
    QImage picture(3000, 2000, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb((x * 255 / 3000) ^ (y & 31), (y * 255 / 2000) ^ (x & 15), (x + y) & 255));
    for (int i = 0; i < kPictures; ++i)
        picture.save(QString("%1/p%2.jpg").arg(folder).arg(i, 3, 10, QChar('0')), "jpg", 90);
}

// Milliseconds from close() to the window gone, closing when `hook` fires
// for the n-th time.
qint64 closeDuring(const QString& folder, bool duringLoad, int n)
{
    TKvnPictureView w;
    w.start();
    w.show();
    TPicLibThumbnails* grid = w.thumbnails();
    auto& hook = duringLoad ? grid->host.relayout : grid->host.updateMarkedCount;
    const auto original = hook;
    QElapsedTimer clock;
    int calls = 0;
    hook = [&] {
        if (++calls == n && !clock.isValid()) {
            clock.start();
            w.close();
        }
        if (original)
            original();
    };
    w.folderTree()->setPath(folder);
    while (w.isVisible() || w.state().ScanThread) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        // the scan ended before the hook fired: a plain close
        if (!clock.isValid() && w.isVisible() && !w.state().ScanThread && !w.state().ScanActive
            && grid->itemCount() == kPictures)
            w.close();
    }
    hook = original;
    return clock.isValid() ? clock.elapsed() : -1;
}

}  // namespace

int main(int argc, char** argv)
{
    QTemporaryDir config;
    qputenv("GLIMRA_CONFIG_DIR", config.path().toLocal8Bit());
    GlimraApplication app(argc, argv);
    Settings().writeInteger("StartUp", "SaveDiaDB", 1);
    QTemporaryDir dir;
    makeFolder(dir.path());
    qint64 scanning = 0;
    for (int run = 0; run < kRuns; ++run) {
        QFile::remove(dir.filePath("KvnThumbalais.db"));
        scanning = std::max(scanning, closeDuring(dir.path(), false, 3 + run));
    }
    // a whole database for the load runs
    closeDuring(dir.path(), false, 1 << 30);
    qint64 loading = 0;
    for (int run = 0; run < kRuns; ++run) {
        Settings().writeString("StartUp", "BaseFolder", QString());
        loading = std::max(loading, closeDuring(dir.path(), true, 5 + 10 * run));
    }
    std::printf("close while making miniatures (%d photos of 6 MP): %lld ms\n", kPictures, (long long)scanning);
    std::printf("close while loading their database: %lld ms\n", (long long)loading);
    std::printf("aim: the window goes within the decode of one picture\n");
    return 0;
}
