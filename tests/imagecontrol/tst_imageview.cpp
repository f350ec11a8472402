// The picture control's view: the rectangle drawn in each display mode,
// zoom limits, scroll bars, grab-hand panning, fit mode, black-and-white
// stretch modes, the text overlay, picture changes and the load transition.

#include "picturefiles.h"

#include "codec/binding/tbitmap.h"
#include "effects/undoring.h"
#include "imagecontrol/pmultiimage.h"
#include "imagecontrol/viewerdesign.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QFileInfo>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

namespace {

TBitmap bitmapOf(const QImage& image)
{
    return TBitmap(image.convertToFormat(QImage::Format_RGB888), pf24bit);
}

// The rectangle OnPaintArea reported for one paint, or none.
struct AreaProbe {
    std::optional<QRect> area;
    int paints = 0;
    void attach(TPMultiImage& image)
    {
        image.OnPaintArea = [this](QObject*, int x, int y, int w, int h) { area = QRect(x, y, w, h); };
        image.OnPaint = [this](QObject*) { ++paints; };
    }
    QImage paint(TPMultiImage& image)
    {
        area.reset();
        return image.grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
};

QRect colourBox(const QImage& shot, QRgb colour)
{
    QRect box;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (shot.pixel(x, y) == colour)
                box = box.united(QRect(x, y, 1, 1));
    return box;
}

// The box of pixels close to colour (glyph edges may be blended).
QRect nearColourBox(const QImage& shot, QRgb colour)
{
    QRect box;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QRgb p = shot.pixel(x, y);
            if (std::abs(qRed(p) - qRed(colour)) < 60 && std::abs(qGreen(p) - qGreen(colour)) < 60 &&
                std::abs(qBlue(p) - qBlue(colour)) < 60)
                box = box.united(QRect(x, y, 1, 1));
        }
    return box;
}

// colour is one of the picture's pixels within two pixels of at.
bool nearPixel(const QImage& picture, QPoint at, QRgb colour)
{
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx)
            if (picture.valid(at + QPoint(dx, dy)) && picture.pixel(at + QPoint(dx, dy)) == colour)
                return true;
    return false;
}

}  // namespace

class ImageViewTest : public QObject {
    Q_OBJECT

private slots:
    void init() { ClearUndo(); }
    void zoomStopsAtItsLimits();
    void zoomDisplayRectanglesAndScrollBars();
    void fitNaturalStretchTileAndEmptyDisplays();
    void opaqueOnlyWhenPictureFillsTheControl();
    void grabHandPansByPicturePixels();
    void scrollBarsMoveTheOrigin();
    void fitModeKeepsTheViewItLeaves();
    void zoomOutAndHiddenBarsKeepTheViewInsideThePicture();
    void newFileResetsTheView();
    void everyPictureShownTakesTheModesOwnView();
    void monochromeStretchModes();
    void textOverlay();
    void pictureChangeAndAutoSize();
    void loadTransitionRevealsThePicture();
    void realPhotoFitted();
    void viewerPaneDesign();

private:
    QTemporaryDir dir_;
};

void ImageViewTest::zoomStopsAtItsLimits()
{
    TPMultiImage image;
    image.resize(100, 100);
    image.ZoomIn(1.1);
    QCOMPARE(image.ZoomFactor, 1.0);  // no picture: nothing happens
    image.setPicture(bitmapOf(picturefiles::pattern(50, 50)));
    int accepted = 0;
    for (int i = 0; i < 100; ++i) {
        const double before = image.ZoomFactor;
        image.ZoomIn(1.1);
        if (image.ZoomFactor != before)
            ++accepted;
    }
    QCOMPARE(accepted, 41);  // 1.1^41 = 49.8, 1.1^42 = 54.8
    QVERIFY(image.ZoomFactor < 50);
    QVERIFY(image.ZoomFactor * 1.1 >= 50);

    image.ResetZoom();
    QCOMPARE(image.ZoomFactor, 1.0);
    accepted = 0;
    for (int i = 0; i < 100; ++i) {
        const double before = image.ZoomFactor;
        image.ZoomOut(0.9);
        if (image.ZoomFactor != before)
            ++accepted;
    }
    QCOMPARE(accepted, 24);  // 0.9^24 = 0.0798, 0.9^25 = 0.0718
    QVERIFY(image.ZoomFactor > 0.075);
}

void ImageViewTest::zoomDisplayRectanglesAndScrollBars()
{
    const QImage picture = picturefiles::pattern(1000, 500);
    TPMultiImage image;
    image.show();
    AreaProbe probe;
    probe.attach(image);
    image.resize(400, 400);
    image.setPicture(bitmapOf(picture));
    QImage shot = probe.paint(image);
    QCOMPARE(probe.area, QRect(0, 0, 388, 388));
    QVERIFY(!image.horizontalBar()->isHidden());
    QVERIFY(!image.verticalBar()->isHidden());
    QCOMPARE(image.horizontalBar()->maximum(), 612);
    QCOMPARE(image.verticalBar()->maximum(), 112);
    QCOMPARE(image.verticalBar()->geometry(), QRect(388, 1, 12, 387));
    QCOMPARE(image.horizontalBar()->geometry(), QRect(1, 388, 387, 12));
    QCOMPARE(image.cornerPanel()->geometry(), QRect(388, 388, 12, 12));
    QCOMPARE(shot.pixel(0, 0), picture.pixel(0, 0));
    QCOMPARE(shot.pixel(387, 387), picture.pixel(387, 387));

    // zoom 2 from origin (10, 20): each picture pixel covers two
    image.ZoomIn(2);
    image.ViewOrigin = QPoint(10, 20);
    shot = probe.paint(image);
    QCOMPARE(probe.area, QRect(0, 0, 388, 388));
    QCOMPARE(shot.pixel(0, 0), picture.pixel(10, 20));
    QCOMPARE(shot.pixel(3, 5), picture.pixel(11, 22));
    QCOMPARE(image.horizontalBar()->maximum(), 2000 - 400 + 12);
    QCOMPARE(image.horizontalBar()->value(), 20);

    // only the height exceeds: centred horizontally
    image.ResetZoom();
    image.resize(1200, 400);
    probe.paint(image);
    QCOMPARE(probe.area, QRect(0, 0, 1000, 388));
    image.setCenter(true);
    shot = probe.paint(image);
    QCOMPARE(probe.area, QRect(100, 0, 1000, 388));
    QCOMPARE(image.CenterOffset, QPoint(100, 0));
    QCOMPARE(image.horizontalBar()->maximum(), 0);
    QCOMPARE(image.verticalBar()->maximum(), 112);
    QCOMPARE(shot.pixel(100, 0), picture.pixel(0, 0));
    image.setColor(0x0000FF);
    shot = probe.paint(image);
    QCOMPARE(shot.pixel(50, 50), qRgb(255, 0, 0));

    // only the width exceeds: centred vertically
    image.resize(400, 600);
    probe.paint(image);
    QCOMPARE(probe.area, QRect(0, 50, 388, 500));

    // without scroll bars the whole control is used
    image.setShowScrollbars(false);
    image.resize(400, 400);
    probe.paint(image);
    QCOMPARE(probe.area, QRect(0, 0, 400, 400));
    QVERIFY(image.horizontalBar()->isHidden());
}

void ImageViewTest::fitNaturalStretchTileAndEmptyDisplays()
{
    const QImage picture = picturefiles::pattern(1000, 500);
    TPMultiImage image;
    AreaProbe probe;
    probe.attach(image);
    image.resize(400, 400);
    image.setPicture(bitmapOf(picture));

    image.setStretchRatio(true);
    QCOMPARE(image.ZoomFactor, 0.4);
    QImage shot = probe.paint(image);
    QCOMPARE(probe.area, QRect(0, 0, 400, 200));
    QVERIFY(image.horizontalBar()->isHidden());
    image.setCenter(true);
    probe.paint(image);
    QCOMPARE(probe.area, QRect(0, 100, 400, 200));
    image.setStretchRatio(false);

    // natural size, centred: negative offsets clip both sides
    image.setScrolling(false);
    shot = probe.paint(image);
    QCOMPARE(probe.area, QRect(-300, -50, 1000, 500));
    QCOMPARE(shot.pixel(0, 0), picture.pixel(300, 50));
    image.setCenter(false);
    shot = probe.paint(image);
    QCOMPARE(probe.area, QRect(0, 0, 1000, 500));
    QCOMPARE(shot.pixel(5, 7), picture.pixel(5, 7));

    // stretched: the picture's own rectangle is reported
    image.setStretch(true);
    shot = probe.paint(image);
    QCOMPARE(probe.area, QRect(0, 0, 1000, 500));
    QVERIFY(nearPixel(picture, QPoint(0, 0), shot.pixel(0, 0)));
    QVERIFY(nearPixel(picture, QPoint(500, 250), shot.pixel(200, 200)));
    image.setStretch(false);

    // tiled: repeated from (0, 0), no area reported
    const QImage small = picturefiles::pattern(30, 20, 5);
    image.setPicture(bitmapOf(small));
    image.setTileWindow(true);
    const int paintsBefore = probe.paints;
    shot = probe.paint(image);
    QVERIFY(!probe.area);
    QCOMPARE(probe.paints, paintsBefore);
    QCOMPARE(shot.pixel(35, 25), small.pixel(5, 5));
    QCOMPARE(shot.pixel(399, 399), small.pixel(399 % 30, 399 % 20));
    image.setTileWindow(false);

    // empty: the colour only
    image.setColor(0x00FF00);
    image.setPicture(TBitmap());
    shot = probe.paint(image);
    QVERIFY(!probe.area);
    QCOMPARE(probe.paints, paintsBefore + 1);
    QCOMPARE(shot.pixel(200, 200), qRgb(0, 255, 0));
}

void ImageViewTest::opaqueOnlyWhenPictureFillsTheControl()
{
    TPMultiImage image;
    image.show();
    image.resize(64, 48);
    image.setPicture(bitmapOf(picturefiles::pattern(64, 48)));
    QVERIFY(image.Opaque());
    image.setPicture(bitmapOf(picturefiles::pattern(64, 47)));
    QVERIFY(!image.Opaque());
    image.resize(64, 47);
    QVERIFY(image.Opaque());
}

void ImageViewTest::grabHandPansByPicturePixels()
{
    TPMultiImage image;
    image.resize(400, 400);
    image.setPicture(bitmapOf(picturefiles::pattern(1000, 500)));
    image.ZoomIn(4);
    QCOMPARE(image.ZoomFactor, 4.0);
    image.ViewOrigin = QPoint(100, 50);
    QTest::mousePress(&image, Qt::LeftButton, {}, QPoint(200, 200));
    QCOMPARE(image.cursor().shape(), Qt::ClosedHandCursor);
    QTest::mouseMove(&image, QPoint(199, 200));
    QCOMPARE(image.ViewOrigin, QPoint(101, 50));  // one screen pixel still moves one picture pixel
    QTest::mouseMove(&image, QPoint(201, 199));
    QCOMPARE(image.ViewOrigin, QPoint(100, 51));
    QTest::mouseMove(&image, QPoint(181, 219));
    QCOMPARE(image.ViewOrigin, QPoint(105, 46));  // (201 - 181) / 4 = 5, (199 - 219) / 4 = -5
    QTest::mouseMove(&image, QPoint(700, 700));
    QCOMPARE(image.ViewOrigin, QPoint(0, 0));
    QTest::mouseRelease(&image, Qt::LeftButton, {}, QPoint(700, 700));
    QCOMPARE(image.cursor().shape(), Qt::ArrowCursor);

    // at zoom 1 a long drag stops where the view ends at the picture's edge
    image.ResetZoom();
    image.ViewOrigin = QPoint(600, 0);
    QTest::mousePress(&image, Qt::LeftButton, {}, QPoint(300, 300));
    QTest::mouseMove(&image, QPoint(200, 300));
    QCOMPARE(image.ViewOrigin.x(), 1000 - 388);
    QTest::mouseRelease(&image, Qt::LeftButton, {}, QPoint(200, 300));

    // a picture that fits does not pan
    image.setPicture(bitmapOf(picturefiles::pattern(100, 100)));
    const QPoint before = image.ViewOrigin;
    QTest::mousePress(&image, Qt::LeftButton, {}, QPoint(50, 50));
    QCOMPARE(image.cursor().shape(), Qt::ArrowCursor);
    QTest::mouseMove(&image, QPoint(10, 10));
    QCOMPARE(image.ViewOrigin, before);
    QTest::mouseRelease(&image, Qt::LeftButton, {}, QPoint(10, 10));
}

void ImageViewTest::scrollBarsMoveTheOrigin()
{
    TPMultiImage image;
    image.resize(400, 400);
    image.setPicture(bitmapOf(picturefiles::pattern(1000, 500)));
    image.ZoomIn(2);
    image.horizontalBar()->setValue(101);
    QCOMPARE(image.ViewOrigin.x(), 50);
    image.verticalBar()->setValue(40);
    QCOMPARE(image.ViewOrigin.y(), 20);
    // a change of the view moves the bars, not the origin
    image.ViewOrigin = QPoint(300, 10);
    image.UpdateScrollBars();
    QCOMPARE(image.horizontalBar()->value(), 600);
    QCOMPARE(image.ViewOrigin, QPoint(300, 10));
}

void ImageViewTest::fitModeKeepsTheViewItLeaves()
{
    TPMultiImage image;
    image.show();
    image.resize(300, 200);
    image.setPicture(bitmapOf(picturefiles::pattern(600, 600)));
    int toolbar = 0;
    image.OnButtonUpdate = [&] { ++toolbar; };
    image.ZoomIn(2);
    image.ViewOrigin = QPoint(10, 20);
    image.setStretch(true);
    image.setStretchRatio(true);
    QVERIFY(!image.Stretch());
    QCOMPARE(image.ZoomFactor, 200.0 / 600);
    QCOMPARE(image.ViewOrigin, QPoint());
    QCOMPARE(toolbar, 1);
    image.resize(600, 300);
    QCOMPARE(image.ZoomFactor, 0.5);
    image.ResetZoom();  // keeps the fit zoom
    QCOMPARE(image.ZoomFactor, 0.5);
    image.setStretchRatio(false);
    QCOMPARE(image.ZoomFactor, 2.0);
    QCOMPARE(image.ViewOrigin, QPoint());  // ResetZoom emptied the saved origin
}

void ImageViewTest::zoomOutAndHiddenBarsKeepTheViewInsideThePicture()
{
    TPMultiImage image;
    image.resize(400, 400);
    image.setPicture(bitmapOf(picturefiles::pattern(1000, 500)));
    image.ViewOrigin = QPoint(600, 100);
    image.ZoomOut(0.9);
    // 400 > (1000 - 600) * 0.9: x becomes 1000 - trunc(400 / 0.9) = 556
    QCOMPARE(image.ViewOrigin, QPoint(556, 56));

    image.ResetZoom();
    image.ViewOrigin = QPoint(612, 112);
    image.setShowScrollbars(false);
    // d = 400 - (1000 - 612) = 12: x = 612 - 12 - 1; d = 400 - (500 - 112) = 12
    QCOMPARE(image.ViewOrigin, QPoint(599, 99));
}

void ImageViewTest::newFileResetsTheView()
{
    const QString png = picturefiles::save(dir_, QStringLiteral("v.png"), picturefiles::pattern(800, 600));
    TPMultiImage image;
    image.resize(400, 300);
    image.setPicture(bitmapOf(picturefiles::pattern(900, 900)));
    image.ZoomIn(3);
    image.ViewOrigin = QPoint(40, 40);
    image.setImageName(png);
    QCOMPARE(image.ZoomFactor, 1.0);
    QCOMPARE(image.ViewOrigin, QPoint());
    image.setStretchRatio(true);
    image.setImageName(png);
    QCOMPARE(image.ZoomFactor, 0.5);
    // a picture set directly keeps the view
    image.setStretchRatio(false);
    image.ZoomIn(2);
    image.setPicture(bitmapOf(picturefiles::pattern(900, 900)));
    QCOMPARE(image.ZoomFactor, 2.0);
}

// A metafile or icon the caller puts in after naming it, a pasted picture
// and the picture an undo brings back are shown pictures too: none keeps
// the zoom or origin of the picture before.
void ImageViewTest::everyPictureShownTakesTheModesOwnView()
{
    const QString small = picturefiles::save(dir_, QStringLiteral("small.png"), picturefiles::pattern(20, 10));
    const QByteArray drawnByTheCaller("drawn by the caller");
    const QString wmf = picturefiles::writeBytes(dir_, QStringLiteral("drawing.wmf"), drawnByTheCaller);
    const QString ico = picturefiles::writeBytes(dir_, QStringLiteral("tiny.ico"), drawnByTheCaller);
    const auto showByCaller = [](TPMultiImage& image, const QString& file, QSize size) {
        image.setImageName(file);
        image.setPicture(bitmapOf(picturefiles::pattern(size.width(), size.height())));
    };
    TPMultiImage image;
    image.resize(200, 200);
    image.setStretchRatio(true);
    image.setCenter(true);

    // fit: each picture is fitted by its own size
    image.setImageName(small);
    QCOMPARE(image.ZoomFactor, 10.0);
    showByCaller(image, wmf, {400, 100});
    QCOMPARE(image.ZoomFactor, 0.5);
    showByCaller(image, ico, {32, 32});
    QCOMPARE(image.ZoomFactor, 6.25);
    AreaProbe probe;
    probe.attach(image);
    probe.paint(image);
    QCOMPARE(probe.area, QRect(0, 0, 200, 200));

    // a paste and its undo, fitted
    image.setImageName(small);
    QGuiApplication::clipboard()->setImage(picturefiles::pattern(400, 400));
    image.PasteFromClipboard();
    QCOMPARE(image.ZoomFactor, 0.5);
    image.UndoImage();
    QCOMPARE(image.Picture().width(), 20);
    QCOMPARE(image.ZoomFactor, 10.0);

    // zoom display: natural size from the top-left corner
    image.setStretchRatio(false);
    image.setImageName(small);
    image.ZoomIn(3);
    image.ViewOrigin = QPoint(5, 5);
    showByCaller(image, wmf, {400, 100});
    QCOMPARE(image.ZoomFactor, 1.0);
    QCOMPARE(image.ViewOrigin, QPoint());
    image.ZoomIn(3);
    image.ViewOrigin = QPoint(50, 20);
    image.PasteFromClipboard();
    QCOMPARE(image.ZoomFactor, 1.0);
    QCOMPARE(image.ViewOrigin, QPoint());
    image.ZoomIn(2);
    image.UndoImage();
    QCOMPARE(image.Picture().width(), 400);
    QCOMPARE(image.ZoomFactor, 1.0);
    QGuiApplication::clipboard()->clear();
}

void ImageViewTest::monochromeStretchModes()
{
    // white with one black column at x = 1: shrunk to a quarter, only the
    // black-on-white mode keeps it
    QImage lines(100, 100, QImage::Format_Mono);
    lines.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    lines.fill(1);
    for (int y = 0; y < 100; ++y)
        lines.setPixel(1, y, 0);
    const QString bmp = picturefiles::save(dir_, QStringLiteral("lines.bmp"), lines);
    TPMultiImage image;
    AreaProbe probe;
    probe.attach(image);
    image.resize(25, 25);
    image.setStretchRatio(true);
    image.setImageName(bmp);
    QCOMPARE(int(image.imageInfo.bitsPerPixel), 1);
    image.setBlitMode(sDark);
    QImage shot = probe.paint(image);
    QCOMPARE(probe.area, QRect(0, 0, 25, 25));
    QCOMPARE(colourBox(shot, qRgb(0, 0, 0)), QRect(0, 0, 1, 25));
    image.setBlitMode(sLightest);
    shot = probe.paint(image);
    QVERIFY(colourBox(shot, qRgb(0, 0, 0)).isEmpty());

    // white dots on black survive only white on black
    QImage dots(100, 100, QImage::Format_Mono);
    dots.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    dots.fill(0);
    dots.setPixel(41, 41, 1);
    image.setImageName(picturefiles::save(dir_, QStringLiteral("dots.bmp"), dots));
    shot = probe.paint(image);
    QCOMPARE(colourBox(shot, qRgb(255, 255, 255)), QRect(10, 10, 1, 1));
    image.setBlitMode(sDark);
    shot = probe.paint(image);
    QVERIFY(colourBox(shot, qRgb(255, 255, 255)).isEmpty());

    // colour files ignore the blit mode
    QImage colour = lines.convertToFormat(QImage::Format_RGB32);
    image.setImageName(picturefiles::save(dir_, QStringLiteral("lines.png"), colour));
    QVERIFY(image.imageInfo.bitsPerPixel >= 2);
    const QImage dark = probe.paint(image);
    image.setBlitMode(sLight);
    QCOMPARE(probe.paint(image), dark);
}

void ImageViewTest::textOverlay()
{
    TPMultiImage image;
    image.resize(200, 150);
    image.setColor(0xFFFFFF);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(20);
    font.setStyleStrategy(QFont::NoAntialias);
    image.setFont(font);
    image.setFontColor(0x0000FF);  // red
    image.setText(QStringLiteral("MMMM"));
    image.setTextLeft(20);
    image.setTextTop(80);
    QImage shot = image.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect flat = nearColourBox(shot, qRgb(255, 0, 0));
    QVERIFY(!flat.isEmpty());
    QVERIFY(flat.left() >= 20 && flat.left() < 26);
    QVERIFY(flat.top() >= 80 && flat.bottom() < 105);
    QVERIFY(flat.width() > flat.height());

    image.setTextShadow(true);
    image.setTextShadowColor(0xFF0000);  // blue
    shot = image.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect shadow = nearColourBox(shot, qRgb(0, 0, 255));
    QCOMPARE(shadow.bottomRight(), flat.bottomRight() + QPoint(2, 2));

    // turned 90 degrees counter-clockwise: the text rises from its point
    image.setTextShadow(false);
    image.setTextRotate(90);
    shot = image.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect turned = nearColourBox(shot, qRgb(255, 0, 0));
    QVERIFY(turned.height() > turned.width());
    QVERIFY(turned.bottom() <= 80 + 1);
    QVERIFY(turned.top() < 80 - 30);
    QVERIFY(turned.left() >= 19 && turned.right() < 20 + 25);

    // opaque text draws its background over the picture
    image.setTextRotate(0);
    QImage black(200, 150, QImage::Format_RGB32);
    black.fill(Qt::black);
    image.setPicture(bitmapOf(black));
    image.setScrolling(false);
    shot = image.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QVERIFY(colourBox(shot, qRgb(255, 255, 255)).isEmpty());
    image.setTextTransParent(false);
    shot = image.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect back = colourBox(shot, qRgb(255, 255, 255));
    QVERIFY(!back.isEmpty());
    QVERIFY(back.contains(flat.center()));
}

void ImageViewTest::pictureChangeAndAutoSize()
{
    TPMultiImage image;
    int changes = 0;
    image.OnPictureChanged = [&](QObject* sender) {
        QCOMPARE(sender, &image);
        ++changes;
    };
    image.setPicture(bitmapOf(picturefiles::pattern(30, 20)));
    QCOMPARE(changes, 1);
    QCOMPARE(image.size(), QSize(105, 105));
    image.setAutoSize(true);
    QCOMPARE(changes, 2);
    QCOMPARE(image.size(), QSize(30, 20));
    QVERIFY(image.Opaque());
    image.setPicture(bitmapOf(picturefiles::pattern(70, 10)));
    QCOMPARE(image.size(), QSize(70, 10));
}

void ImageViewTest::loadTransitionRevealsThePicture()
{
    const QImage source = picturefiles::pattern(120, 80);
    const QString png = picturefiles::save(dir_, QStringLiteral("fx.png"), source);
    TPMultiImage image;
    image.resize(200, 150);
    image.show();
    QVERIFY(QTest::qWaitForWindowExposed(&image));
    int steps = 0;
    QList<int> delays;
    image.TransitionPause = [&](int milliseconds) {
        delays.append(milliseconds);
        ++steps;
        return true;
    };
    image.FXMethod = FXVertical;
    image.setImageName(png);
    QVERIFY(steps > 1);
    QCOMPARE(delays.first(), 25);
    QVERIFY(picturefiles::samePixels(image.Picture().image(), source));
    QVERIFY(image.TransitionBitmap.empty());

    // slide show: the composed screen-sized picture, fitted when larger
    image.SlideShowMode = true;
    image.FitLargeInShow = true;
    image.setCenter(true);
    image.FXMethod = FXRectangles;
    const QString large = picturefiles::save(dir_, QStringLiteral("large.png"), picturefiles::pattern(400, 150));
    steps = 0;
    image.setImageName(large);
    QVERIFY(steps > 1);
    QVERIFY(image.StretchRatio());
    QCOMPARE(image.Picture().image().size(), image.screen()->size());
    QCOMPARE(image.CenterOffset, QPoint(0, (150 - 75) / 2));  // r = 0.5: 200 x 75
}

void ImageViewTest::realPhotoFitted()
{
    const QString photo = QStringLiteral(KV_SOURCE_DIR "/../shared/corpus/jpeg/mate-backgrounds--Elephants.jpg");
    if (!QFileInfo::exists(photo))
        QSKIP("the shared picture corpus is not here");
    TPMultiImage image;
    AreaProbe probe;
    probe.attach(image);
    image.resize(640, 480);
    image.setColor(0x404040);
    image.setCenter(true);
    image.setStretchRatio(true);
    image.show();
    QVERIFY(QTest::qWaitForWindowExposed(&image));
    image.setImageName(photo);
    QCOMPARE(image.Picture().image().size(), QSize(1920, 1080));
    // 1920 x 1080 in 640 x 480: zoom min(480 / 1080, 640 / 1920) = 1/3
    QCOMPARE(image.ZoomFactor, 640.0 / 1920);
    const QImage shot = probe.paint(image);
    QCOMPARE(probe.area, QRect(0, 60, 640, 360));
    QCOMPARE(shot.pixel(10, 30), qRgb(0x40, 0x40, 0x40));
    QCOMPARE(shot.pixel(10, 450), qRgb(0x40, 0x40, 0x40));
    // each drawn pixel is one of the photo's, near three times its place
    const QImage& picture = image.Picture().image();
    for (const QPoint at : {QPoint(100, 100), QPoint(320, 240), QPoint(600, 400)})
        QVERIFY(nearPixel(picture.convertToFormat(QImage::Format_RGB32), QPoint(at.x() * 3, (at.y() - 60) * 3),
                          shot.pixel(at)));
    if (qEnvironmentVariableIsSet("KV_SHOT_DIR"))
        shot.save(qEnvironmentVariable("KV_SHOT_DIR") + QStringLiteral("/photo-fitted.png"));
}

void ImageViewTest::viewerPaneDesign()
{
    TPMultiImage pane;
    QCOMPARE(pane.JPegSaveQuality(), 25);
    QVERIFY(!pane.Center());
    applyViewerDesign(pane);
    QCOMPARE(pane.objectName(), QStringLiteral("PMultiImage2"));
    QVERIFY(pane.Center());
    QCOMPARE(pane.BorderStyle(), bsSingle);
    QVERIFY(pane.Scrolling());
    QVERIFY(pane.ShowScrollbars());
    QCOMPARE(pane.ZoomBy, 10);
    QCOMPARE(pane.JPegSaveQuality(), 100);
    QCOMPARE(pane.JPegSaveSmooth(), 5);
    QCOMPARE(pane.DefSaveFilename, QStringLiteral("Image1.bmp"));
    // the single border is drawn around the picture
    pane.resize(50, 40);
    QImage white(50, 40, QImage::Format_RGB32);
    white.fill(Qt::white);
    pane.setPicture(bitmapOf(white));
    const QImage shot = pane.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shot.pixel(0, 0), qRgb(0, 0, 0));
    QCOMPARE(shot.pixel(49, 39), qRgb(0, 0, 0));
    QCOMPARE(shot.pixel(1, 1), qRgb(255, 255, 255));
}

QTEST_MAIN(ImageViewTest)
#include "tst_imageview.moc"
