// The picture control on a 12-megapixel JPEG made here:
//  - loading it and painting it once in fit mode, beside the codec
//    engine's bare decode of the same file;
//  - one repaint while panning with the grab hand at 100 % zoom, beside a
//    bare QPainter::drawImage of the same visible part into an image of the
//    window's size.
// Each figure is the fastest of several runs; the ratios are ours / bare.

#include "codec/binding/codecwrappers.h"
#include "codec/binding/dibconvert.h"
#include "imagecontrol/pmultiimage.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImageWriter>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <cstdio>
#include <functional>

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;
constexpr int kRuns = 7;
const QSize kWindow(1280, 800);

// A photo-like picture: smooth colour fields with fine texture.
QImage makePicture()
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (int y = 0; y < kHeight; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kWidth; ++x) {
            const int texture = ((x * 7 + y * 13) ^ (x * y)) & 15;
            row[x] = qRgb((x * 255 / kWidth + texture) & 255, (y * 255 / kHeight + texture) & 255,
                          int(128 + 100 * std::sin((x + y) / 300.0)));
        }
    }
    return image;
}

double fastestMs(int runs, const std::function<void()>& run)
{
    double best = -1;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        run();
        const double ms = double(t.nsecsElapsed()) / 1e6;
        best = best < 0 ? ms : std::min(best, ms);
    }
    return best;
}

void printPair(const char* what, double ours, const char* bareWhat, double bare, double aim)
{
    const double ratio = bare > 0 ? ours / bare : 0;
    std::printf("%-34s %8.2f ms   %-28s %8.2f ms   ratio %.2f (aim %.1f: %s)\n", what, ours, bareWhat, bare, ratio,
                aim, ratio <= aim ? "met" : "missed");
}

void moveMouse(QWidget& widget, QPoint to)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(to), widget.mapToGlobal(QPointF(to)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &move);
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString jpg = dir.filePath(QStringLiteral("photo.jpg"));
    QImageWriter writer(jpg, "jpeg");
    writer.setQuality(90);
    if (!writer.write(makePicture())) {
        std::printf("cannot write the test JPEG\n");
        return 1;
    }
    std::printf("JPEG %dx%d (%.1f megapixels), window %dx%d\n", kWidth, kHeight, kWidth * kHeight / 1e6,
                kWindow.width(), kWindow.height());

    // bare decode through the engine, to a packed DIB at 24 bits
    GlobalHandle warm = nullptr;
    if (!ReadJpgFileDib(jpg, 24, false, warm)) {
        std::printf("the codec engine cannot decode the JPEG\n");
        return 1;
    }
    FreeDIB(warm);
    TPMultiImage image;
    image.resize(kWindow);
    image.setStretchRatio(true);
    image.setCenter(true);
    image.show();
    if (!QTest::qWaitForWindowExposed(&image)) {
        std::printf("the window was not shown\n");
        return 1;
    }
    image.setImageName(jpg);
    image.repaint();
    if (image.Picture().image().size() != QSize(kWidth, kHeight)) {
        std::printf("the control did not load the JPEG\n");
        return 1;
    }
    // the two alternate, so a busy machine slows both alike
    double bareDecode = -1, loadAndPaint = -1;
    for (int i = 0; i < kRuns; ++i) {
        const double bare = fastestMs(1, [&] {
            GlobalHandle dib = nullptr;
            ReadJpgFileDib(jpg, 24, false, dib);
            FreeDIB(dib);
        });
        const double ours = fastestMs(1, [&] {
            image.setImageName(jpg);
            image.repaint();
        });
        bareDecode = bareDecode < 0 ? bare : std::min(bareDecode, bare);
        loadAndPaint = loadAndPaint < 0 ? ours : std::min(loadAndPaint, ours);
    }
    printPair("load + first paint, fit mode", loadAndPaint, "engine decode (DIB)", bareDecode, 1.3);

    // panning at 100 %: each move is one origin step and one repaint
    image.setStretchRatio(false);
    image.ResetZoom();
    image.ViewOrigin = QPoint(1000, 1000);
    image.repaint();
    QTest::mousePress(&image, Qt::LeftButton, {}, QPoint(600, 400));
    QPoint at(600, 400);
    QImage screen(kWindow, QImage::Format_ARGB32_Premultiplied);
    const QImage& picture = image.Picture().image();
    const int s = image.ScrollbarWidth();
    double panRepaint = -1, bareDraw = -1;
    for (int i = 0; i < kRuns * 5; ++i) {
        at += (i % 2) ? QPoint(5, 3) : QPoint(-7, -5);
        const double ours = fastestMs(1, [&] { moveMouse(image, at); });
        const QRect visible(image.ViewOrigin, QSize(kWindow.width() - s, kWindow.height() - s));
        const double bare = fastestMs(1, [&] {
            QPainter p(&screen);
            p.drawImage(QRect(QPoint(0, 0), visible.size()), picture, visible);
        });
        panRepaint = panRepaint < 0 ? ours : std::min(panRepaint, ours);
        bareDraw = bareDraw < 0 ? bare : std::min(bareDraw, bare);
    }
    QTest::mouseRelease(&image, Qt::LeftButton, {}, at);
    printPair("pan repaint at 100 %", panRepaint, "QPainter::drawImage", bareDraw, 2.0);
    return 0;
}
