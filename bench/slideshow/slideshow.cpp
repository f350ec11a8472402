// bench_slideshow FOLDER: the JPEGs of FOLDER in a slide show on the whole
// screen. Prints, per picture size, the time from a step to the next
// picture fully shown (set and painted): with the slide decoded ahead once
// the interval has passed, and without decoding ahead. Then plays the
// diagonal transition once and prints its frames and length.
// Run on a real or virtual X screen: xvfb-run -s "-screen 0 1920x1080x24".
#include "viewer/slideshow/diashowdlg.h"
#include "viewer/slideshow/slidedecoder.h"
#include "viewer/slideshow/transitionplayer.h"

#include "imagecontrol/pmultiimage.h"
#include "platform/settings.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImageReader>
#include <QScreen>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <map>

namespace {

void writeOptions(bool diagonal)
{
    Settings store;
    store.writeBool("DiaShow", "FXN", !diagonal);
    store.writeBool("DiaShow", "FXD", diagonal);
    store.writeInteger("DiaShow", "Steep", 30);
    store.writeBool("DiaShow", "WAll", true);
    store.sync();
}

// Lets the window process events until done answers true; gives up after
// two minutes.
template <typename Done>
void runUntil(Done done, const char* what)
{
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (waited.elapsed() > 120000) {
            std::fprintf(stderr, "stuck waiting for %s\n", what);
            std::exit(1);
        }
    }
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// One step to the next picture; milliseconds until it is set and painted.
double timeStep(TDiashowDlg& show)
{
    const int before = show.slidesShown();
    QElapsedTimer t;
    t.start();
    show.timerTick();
    runUntil([&] { return show.slidesShown() > before; }, "the next slide");
    show.imageControl()->repaint();
    return double(t.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv)
{
    QTemporaryDir config;
    qputenv("GLIMRA_CONFIG_DIR", config.path().toUtf8());
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_slideshow FOLDER-OF-JPEGS\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    QStringList files;
    for (const QString& name : folder.entryList({"*.jpg", "*.JPG", "*.jpeg"}, QDir::Files, QDir::Name))
        files << folder.filePath(name);
    if (files.size() < 2) {
        std::fprintf(stderr, "need at least two JPEGs in %s\n", argv[1]);
        return 1;
    }
    SlideItems items;
    items.count = [&] { return int(files.size()); };
    items.fileName = [&](int i) { return files.value(i); };
    items.page = [](int) { return 0; };
    items.checked = [](int) { return false; };
    const QSize screen = QGuiApplication::primaryScreen()->size();
    std::printf("screen %dx%d, %lld pictures\n", screen.width(), screen.height(), qlonglong(files.size()));

    writeOptions(false);
    TDiashowDlg show(items);
    show.open();
    runUntil([&] { return show.slidesShown() > 0; }, "the first slide");
    show.decoder()->waitForDone();

    std::fprintf(stderr, "first slide shown\n");
    // megapixels of the picture a step goes to -> times
    std::map<int, std::vector<double>> ahead, onDemand;
    const int rounds = 3;
    for (int round = 0; round < rounds; ++round) {
        for (int i = 0; i < files.size(); ++i) {
            show.decodeAhead = true;
            show.decoder()->waitForDone();   // the interval has passed: the next slide is made
            const QString next = files[(files.indexOf(show.shownFile()) + 1) % files.size()];
            const QSize size = QImageReader(next).size();
            const int mp = int(std::lround(size.width() * double(size.height()) / 1e6));
            const double t = timeStep(show);
            if (!show.usedCache())
                std::printf("warning: %s was not decoded ahead\n", qPrintable(next));
            ahead[mp].push_back(t);
        }
    }
    show.decodeAhead = false;
    show.cache().clear();
    for (int round = 0; round < rounds; ++round) {
        for (int i = 0; i < files.size(); ++i) {
            show.decoder()->waitForDone();
            const QString next = files[(files.indexOf(show.shownFile()) + 1) % files.size()];
            const QSize size = QImageReader(next).size();
            const int mp = int(std::lround(size.width() * double(size.height()) / 1e6));
            onDemand[mp].push_back(timeStep(show));
        }
    }
    std::printf("%-8s %22s %22s\n", "picture", "decoded ahead (ms)", "on demand (ms)");
    for (const auto& [mp, times] : ahead) {
        const auto& slow = onDemand[mp];
        std::printf("%3d MP   median %6.1f max %6.1f  median %6.1f max %6.1f\n", mp, median(times),
                    *std::max_element(times.begin(), times.end()), median(slow),
                    *std::max_element(slow.begin(), slow.end()));
    }

    // the diagonal transition at the stored speed: frames and length
    writeOptions(true);
    show.decodeAhead = true;
    show.restart();
    runUntil([&] { return !show.decoder()->busy() && !show.player()->running(); }, "the first transition");
    show.decoder()->waitForDone();
    TransitionPlayer* player = show.player();
    int frames = 0;
    QElapsedTimer t;
    t.start();
    show.timerTick();
    const double toFirstFrame = double(t.nsecsElapsed()) / 1e6;
    int lastSteps = -1;
    runUntil([&] {
        if (player->stepsDrawn() != lastSteps) {
            lastSteps = player->stepsDrawn();
            ++frames;
        }
        return !player->running();
    }, "the transition's end");
    const double length = double(t.nsecsElapsed()) / 1e6;
    const TransitionScript script = TransitionScript::record(FXDiagonal, screen, 4, 5);
    std::printf("diagonal transition: first frame after %.1f ms, %d steps in %d frames, %.0f ms (nominal %lld ms)\n",
                toFirstFrame, int(script.steps.size()), frames, length, qlonglong(script.duration));
    show.close();
    return 0;
}
