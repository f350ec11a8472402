// Editing the picture control's picture: undo snapshots, clipboard with its
// keys and format order, the viewer's rubber band, rotation and inversion
// through the effects engine, the effects dialog hook and scanning.

#include "picturefiles.h"

#include "codec/binding/errorinvalid.h"
#include "codec/binding/tbitmap.h"
#include "codec/metafile/metafileconvert.h"
#include "codec/metafile/tmetafile.h"
#include "effects/effectcalls.h"
#include "effects/undoring.h"
#include "imagecontrol/bmpfilewriter.h"
#include "imagecontrol/clipboardpicture.h"
#include "imagecontrol/pmultiimage.h"
#include "codec/binding/dibconvert.h"
#include "dibcore/dibguard.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QtTest>

namespace {

TBitmap bitmapOf(const QImage& image)
{
    return TBitmap(image.convertToFormat(QImage::Format_RGB888), pf24bit);
}

QByteArray pngBytes(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray bmpBytes(const QImage& image)
{
    const TBitmap bitmap = bitmapOf(image);
    dibcore::DibGuard dib(GraphicToDIB(&bitmap));
    return BmpFileBytes(dib.get());
}

struct Band {
    QPoint anchor, corner;
    Qt::MouseButton button = Qt::NoButton;
    int fired = 0;
    void attach(TPMultiImage& image)
    {
        image.OnRubberband = [this](QObject*, Qt::MouseButton b, Qt::KeyboardModifiers, int x, int y, int xx, int yy) {
            button = b;
            anchor = QPoint(x, y);
            corner = QPoint(xx, yy);
            ++fired;
        };
    }
};

}  // namespace

class ImageEditingTest : public QObject {
    Q_OBJECT

private slots:
    void init() { ClearUndo(); }
    void fiveSnapshotsFiveUndos();
    void undoAfterToolbarCut();
    void clipboardKeys();
    void pasteTakesFormatsInOrder();
    void pasteTakesMetafilesFirst();
    void rubberBandKeepsTheControlsAspect();
    void rotateAndInvertThroughTheEffectsEngine();
    void effectsDialogHook();
    void scanFailureReachesTheErrorEvent();
};

void ImageEditingTest::fiveSnapshotsFiveUndos()
{
    TPMultiImage image;
    QList<QImage> pictures;
    for (int i = 1; i <= 5; ++i) {
        pictures.append(picturefiles::pattern(10 + i, 10, i));
        image.setPicture(bitmapOf(pictures.last()));
        PushUndo(image.Picture());
    }
    image.setPicture(bitmapOf(picturefiles::pattern(40, 40, 9)));
    for (int i = 4; i >= 1; --i) {
        image.UndoImage();
        QVERIFY(picturefiles::samePixels(image.Picture().image(), pictures[i]));
    }
    QVERIFY(!UndoAvailable());
    image.UndoImage();  // the fifth changes nothing
    QVERIFY(picturefiles::samePixels(image.Picture().image(), pictures[1]));
}

void ImageEditingTest::undoAfterToolbarCut()
{
    TPMultiImage image;
    const QImage older = picturefiles::pattern(12, 12, 1);
    const QImage shown = picturefiles::pattern(20, 15, 2);
    PushUndo(bitmapOf(older));
    image.setPicture(bitmapOf(shown));
    // the toolbar snapshots, then the control snapshots again while cutting
    PushUndo(image.Picture());
    image.CutToClipboard();
    QVERIFY(image.Picture().empty());
    image.UndoImage();
    QVERIFY(picturefiles::samePixels(image.Picture().image(), shown));
    image.UndoImage();
    QVERIFY(picturefiles::samePixels(image.Picture().image(), shown));
    image.UndoImage();
    QVERIFY(picturefiles::samePixels(image.Picture().image(), older));

    // without ILUndo the control takes no snapshot of its own
    ClearUndo();
    image.ILUndo = false;
    image.CutToClipboard();
    QVERIFY(!UndoAvailable());
    // cutting nothing leaves the clipboard alone
    const QImage onBoard = qvariant_cast<QImage>(QGuiApplication::clipboard()->mimeData()->imageData());
    image.CutToClipboard();
    QVERIFY(picturefiles::samePixels(qvariant_cast<QImage>(QGuiApplication::clipboard()->mimeData()->imageData()),
                                     onBoard));
}

void ImageEditingTest::clipboardKeys()
{
    const QImage a = picturefiles::pattern(31, 17, 3);
    const QImage b = picturefiles::pattern(9, 9, 4);
    TPMultiImage image;
    image.setPicture(bitmapOf(a));
    QTest::keyClick(&image, Qt::Key_C, Qt::ControlModifier);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    QVERIFY(data->hasFormat(QStringLiteral("image/bmp")));
    QVERIFY(data->data(QStringLiteral("image/bmp")).startsWith("BM"));
    QVERIFY(data->hasImage());

    image.setPicture(bitmapOf(b));
    QTest::keyClick(&image, Qt::Key_V, Qt::ControlModifier);
    QVERIFY(picturefiles::samePixels(image.Picture().image(), a));
    QVERIFY(UndoAvailable());  // the picture pasted over

    QTest::keyClick(&image, Qt::Key_Delete, Qt::ShiftModifier);
    QVERIFY(image.Picture().empty());
    QTest::keyClick(&image, Qt::Key_Insert, Qt::ShiftModifier);
    QVERIFY(picturefiles::samePixels(image.Picture().image(), a));

    image.setPicture(bitmapOf(b));
    QTest::keyClick(&image, Qt::Key_Insert, Qt::ControlModifier);
    QTest::keyClick(&image, Qt::Key_X, Qt::ControlModifier);
    QVERIFY(image.Picture().empty());
    QTest::keyClick(&image, Qt::Key_V, Qt::ControlModifier);
    QVERIFY(picturefiles::samePixels(image.Picture().image(), b));
}

// Metafiles offered under the names desktop programs use are drawn at their
// own size, before any other format on the clipboard.
void ImageEditingTest::pasteTakesMetafilesFirst()
{
    QTemporaryDir dir;
    const QString wmf = picturefiles::copyData(dir, QStringLiteral("metafile/bus-classic.wmf"), "bus.wmf");
    const QString emf = picturefiles::copyData(dir, QStringLiteral("metafile/aircraft.emf"), "aircraft.emf");
    QClipboard* board = QGuiApplication::clipboard();
    TPMultiImage image;
    const QImage dib = picturefiles::pattern(11, 7, 1);
    const QList<QPair<QString, QString>> offers{{"image/x-wmf", wmf}, {"image/wmf", wmf},
                                                {"image/x-emf", emf}, {"image/emf", emf}};
    for (const auto& [format, file] : offers) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        TMetafile metafile;
        QVERIFY(metafile.LoadFromFile(file));
        TBitmap drawn;
        QVERIFY(MetafileToBitmap(&drawn, &metafile, false));
        auto* data = new QMimeData;
        data->setData(QStringLiteral("image/bmp"), bmpBytes(dib));
        data->setData(format, f.readAll());
        board->setMimeData(data);
        QVERIFY(clipboardpicture::offersPicture());
        image.setPicture(TBitmap());
        image.PasteFromClipboard();
        QCOMPARE(image.Picture().image().size(), metafile.Size());
        QVERIFY2(picturefiles::samePixels(image.Picture().image(), drawn.image()), qPrintable(format));
        QCOMPARE(image.Picture().pixelFormat(), pf24bit);
    }
    // a damaged metafile pastes nothing
    auto* broken = new QMimeData;
    broken->setData(QStringLiteral("image/x-wmf"), QByteArray("\xD7\xCD\xC6\x9A garbage", 12));
    board->setMimeData(broken);
    QVERIFY(clipboardpicture::offersPicture());
    const QImage before = image.Picture().image();
    image.PasteFromClipboard();
    QVERIFY(picturefiles::samePixels(image.Picture().image(), before));
    board->clear();
}

void ImageEditingTest::pasteTakesFormatsInOrder()
{
    const QImage dib = picturefiles::pattern(11, 7, 1);
    const QImage bitmap = picturefiles::pattern(13, 5, 2);
    const QImage other = picturefiles::pattern(6, 8, 3);
    QClipboard* board = QGuiApplication::clipboard();
    TPMultiImage image;

    auto offer = [&](bool withDib, bool withBitmap, bool withOther) {
        auto* data = new QMimeData;
        if (withDib)
            data->setData(QStringLiteral("image/bmp"), bmpBytes(dib));
        if (withBitmap)
            data->setImageData(bitmap);
        if (withOther)
            data->setData(QStringLiteral("image/png"), pngBytes(other));
        board->setMimeData(data);
    };
    offer(true, true, true);
    image.PasteFromClipboard();
    QVERIFY(picturefiles::samePixels(image.Picture().image(), dib));
    offer(false, true, true);
    image.PasteFromClipboard();
    QVERIFY(picturefiles::samePixels(image.Picture().image(), bitmap));
    offer(false, false, true);
    image.PasteFromClipboard();
    QVERIFY(picturefiles::samePixels(image.Picture().image(), other));
    QCOMPARE(image.Picture().pixelFormat(), pf24bit);

    // no picture on the clipboard: nothing happens, no snapshot
    ClearUndo();
    board->setText(QStringLiteral("kein Bild"));
    image.PasteFromClipboard();
    QVERIFY(picturefiles::samePixels(image.Picture().image(), other));
    QVERIFY(!UndoAvailable());

    // a damaged DIB converts to nothing: the picture stays
    auto* broken = new QMimeData;
    broken->setData(QStringLiteral("image/bmp"), QByteArray("BM\x10\x00garbage", 11));
    board->setMimeData(broken);
    image.PasteFromClipboard();
    QVERIFY(picturefiles::samePixels(image.Picture().image(), other));

    // in fit mode the pasted picture is fitted; a message ends, its colour stays
    image.resize(100, 100);
    image.setStretchRatio(true);
    image.MessageText = QStringLiteral("Laufschrift");
    image.MessageColor = 0x00FF00;
    image.StartMessage();
    QCOMPARE(image.messageMode(), MessageBanner::Mode::Message);
    offer(true, false, false);
    image.PasteFromClipboard();
    QCOMPARE(image.messageMode(), MessageBanner::Mode::None);
    QCOMPARE(image.Color(), qint32(0x00FF00));
    QCOMPARE(image.ZoomFactor, 100.0 / 11);
}

void ImageEditingTest::rubberBandKeepsTheControlsAspect()
{
    TPMultiImage image;
    Band band;
    band.attach(image);
    image.resize(400, 300);
    image.setColor(0xFFFFFF);
    image.AllowRubberBand = true;
    image.show();
    QVERIFY(QTest::qWaitForWindowExposed(&image));

    // exactly horizontal: grows downward with height k x width (k = 0.75)
    QTest::mousePress(&image, Qt::LeftButton, {}, QPoint(50, 50));
    QTest::mouseMove(&image, QPoint(150, 50));
    QImage shot = image.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shot.pixel(50, 80), qRgb(0, 0, 0));    // left side, inverted
    QCOMPARE(shot.pixel(130, 80), qRgb(0, 0, 0));   // right side
    QCOMPARE(shot.pixel(90, 80), qRgb(255, 255, 255));
    QTest::mouseRelease(&image, Qt::LeftButton, {}, QPoint(150, 50));
    QCOMPARE(band.fired, 1);
    QCOMPARE(band.button, Qt::LeftButton);
    QCOMPARE(band.anchor, QPoint(50, 50));
    // L = 100, e = 100 / sqrt(0.75^2 + 1) = 80, f = 60
    QCOMPARE(band.corner, QPoint(130, 110));
    shot = image.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shot.pixel(50, 80), qRgb(255, 255, 255));  // not kept on screen

    // up and left: (-30, -40) has length 50, e = 40, f = 30
    QTest::mousePress(&image, Qt::LeftButton, {}, QPoint(50, 50));
    QTest::mouseMove(&image, QPoint(20, 10));
    QTest::mouseRelease(&image, Qt::LeftButton, {}, QPoint(20, 10));
    QCOMPARE(band.corner, QPoint(10, 20));
    // straight up goes left
    QTest::mousePress(&image, Qt::LeftButton, {}, QPoint(50, 50));
    QTest::mouseMove(&image, QPoint(50, 0));
    QTest::mouseRelease(&image, Qt::LeftButton, {}, QPoint(50, 0));
    QCOMPARE(band.corner, QPoint(10, 20));
    // a fractional extent is cut toward zero: (7, 0) gives e = 5.6, f = 4.2
    QTest::mousePress(&image, Qt::LeftButton, {}, QPoint(50, 50));
    QTest::mouseMove(&image, QPoint(57, 50));
    QTest::mouseRelease(&image, Qt::LeftButton, {}, QPoint(57, 50));
    QCOMPARE(band.corner, QPoint(55, 54));

    // the band button only; the right button when chosen
    QTest::mousePress(&image, Qt::RightButton, {}, QPoint(10, 10));
    QTest::mouseRelease(&image, Qt::RightButton, {}, QPoint(90, 10));
    QCOMPARE(band.fired, 4);
    image.RubberBandBtn = Qt::RightButton;
    QTest::mousePress(&image, Qt::RightButton, {}, QPoint(10, 10));
    QTest::mouseMove(&image, QPoint(110, 10));
    QTest::mouseRelease(&image, Qt::RightButton, {}, QPoint(110, 10));
    QCOMPARE(band.fired, 5);
    QCOMPARE(band.button, Qt::RightButton);
    QCOMPARE(band.corner, QPoint(90, 70));

    // annotation editing takes the mouse instead
    image.setEditAnnotat(true);
    QTest::mousePress(&image, Qt::RightButton, {}, QPoint(10, 10));
    QTest::mouseRelease(&image, Qt::RightButton, {}, QPoint(110, 10));
    QCOMPARE(band.fired, 5);
}

void ImageEditingTest::rotateAndInvertThroughTheEffectsEngine()
{
    const QImage source = picturefiles::pattern(7, 4);
    TPMultiImage image;
    image.setPicture(bitmapOf(source));
    image.RotateImage(0, 0, 180, 0, 0);
    QVERIFY(picturefiles::samePixels(image.Picture().image(), source.mirrored(true, true)));
    image.RotateImage(0, 0, -90, 0, 0);
    QCOMPARE(image.Picture().image().size(), QSize(4, 7));
    QVERIFY(picturefiles::samePixels(image.Picture().image(),
                                     source.mirrored(true, true).transformed(QTransform().rotate(90))));

    image.setPicture(bitmapOf(source));
    QVERIFY(!UndoAvailable());
    image.InvertImage();
    QImage inverted = source;
    inverted.invertPixels();
    QVERIFY(picturefiles::samePixels(image.Picture().image(), inverted));
    QVERIFY(UndoAvailable());
    image.UndoImage();
    QVERIFY(picturefiles::samePixels(image.Picture().image(), source));

    image.setPicture(TBitmap());
    bool thrown = false;
    try {
        image.InvertImage();
    } catch (const ErrorInvalid& e) {
        thrown = e.message() == QLatin1String("Input image is empty");
    }
    QVERIFY(thrown);
    thrown = false;
    try {
        image.RotateImage(0, 0, 90, 0, 0);
    } catch (const ErrorInvalid& e) {
        thrown = e.message() == QLatin1String("Input image is empty");
    }
    QVERIFY(thrown);
}

void ImageEditingTest::effectsDialogHook()
{
    const QImage source = picturefiles::pattern(16, 8);
    TPMultiImage image;
    image.setPicture(bitmapOf(source));
    QVERIFY(!image.ShowEffectsDialog());
    QVERIFY(picturefiles::samePixels(image.Picture().image(), source));

    int bits = 0;
    TPMultiImage* owner = nullptr;
    image.ImageReadRes = lColorTrue;
    image.EffectsDialog = [&](TPMultiImage& dialogOwner, GlobalHandle& master) {
        owner = &dialogOwner;
        bits = *reinterpret_cast<const quint16*>(static_cast<const char*>(globalmem::lock(master)) + 14);
        globalmem::unlock(master);
        return ILInvert(master);
    };
    QVERIFY(image.ShowEffectsDialog());
    QCOMPARE(owner, &image);
    QCOMPARE(bits, 24);
    QVERIFY(image.EffectApplied);
    QImage inverted = source;
    inverted.invertPixels();
    QVERIFY(picturefiles::samePixels(image.Picture().image(), inverted));
    image.UndoImage();
    QVERIFY(picturefiles::samePixels(image.Picture().image(), source));

    image.EffectsDialog = [](TPMultiImage&, GlobalHandle&) { return false; };
    QVERIFY(image.ShowEffectsDialog());
    QVERIFY(!image.EffectApplied);
    QVERIFY(picturefiles::samePixels(image.Picture().image(), source));
}

void ImageEditingTest::scanFailureReachesTheErrorEvent()
{
    const QImage shown = picturefiles::pattern(5, 5);
    TPMultiImage image;
    QStringList errors;
    image.OnIlibError = [&](QObject*, qint16, const QString& text, const char*) { errors.append(text); };
    image.setPicture(bitmapOf(shown));
    QVERIFY(!image.ScanImage(nullptr));
    QCOMPARE(errors.size(), 1);
    QVERIFY(picturefiles::samePixels(image.Picture().image(), shown));
}

QTEST_MAIN(ImageEditingTest)
#include "tst_imageediting.moc"
