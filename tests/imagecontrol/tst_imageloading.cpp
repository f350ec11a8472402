// Loading pictures into the picture control by extension, the picture
// information, TIFF pages, moving-text files, thumbnails, resources and the
// error path, over the real codec engine.

#include "picturefiles.h"

#include "codec/binding/codecwrappers.h"
#include "codec/binding/errorinvalid.h"
#include "codec/binding/tbitmap.h"
#include "effects/undoring.h"
#include "imagecontrol/pmultiimage.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Recorder {
    int finished = 0;
    int changed = 0;
    QList<int> progress;
    QStringList errors;

    void attach(TPMultiImage& image)
    {
        image.OnFinishedLoadSave = [this](QObject*) { ++finished; };
        image.OnPictureChanged = [this](QObject*) { ++changed; };
        image.OnProgress = [this](QObject*, qint16 p, const QString&, bool&) { progress.append(p); };
        image.OnIlibError = [this](QObject*, qint16, const QString& text, const char*) { errors.append(text); };
    }
};

TBitmap bitmapOf(const QImage& image)
{
    return TBitmap(image.convertToFormat(QImage::Format_RGB888), pf24bit);
}

}  // namespace

class ImageLoadingTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void loadsPictureFilesByExtension();
    void requestedDepthAndMonochromeFiles();
    void tiffPageBeyondTheLastIsClamped();
    void metafileAndIconNamesLeaveThePicture();
    void missingFileEmptiesWithoutError();
    void damagedFileKeepsThePictureAndReportsError();
    void errorWithoutHandlerThrowsAndKeepsState();
    void progressCanStopTheDecoder();
    void unknownExtensionTakesTheReportedType();
    void pictureInformationOfSpecialNames();
    void scrollingMessageAndCredits();
    void thumbnailAndResourceFiles();
    void damagedCorpusFilesNeverCrash();
    void exifOrientationShowsUpright();

private:
    QTemporaryDir dir_;
};

void ImageLoadingTest::init()
{
    ClearUndo();
}

void ImageLoadingTest::loadsPictureFilesByExtension()
{
    const QImage source = picturefiles::pattern(61, 37);
    TPMultiImage image;
    Recorder rec;
    rec.attach(image);
    for (const char* name : {"a.png", "b.bmp", "c.PNG"}) {
        const QString path = picturefiles::save(dir_, QLatin1String(name), source);
        QVERIFY(!path.isEmpty());
        rec = Recorder();
        rec.attach(image);
        image.setImageName(path);
        QVERIFY2(rec.errors.isEmpty(), qPrintable(rec.errors.join(';')));
        QVERIFY(picturefiles::samePixels(image.Picture().image(), source));
        QCOMPARE(rec.finished, 1);
        QVERIFY(rec.changed >= 1);
        QVERIFY(!rec.progress.isEmpty());
        QCOMPARE(rec.progress.first(), 0);
        QCOMPARE(image.imageInfo.width, 61);
        QCOMPARE(image.imageInfo.height, 37);
        QCOMPARE(image.imageInfo.fileSize, QFileInfo(path).size());
        QVERIFY(!image.ResetView);
    }
    QCOMPARE(image.imageInfo.type, QStringLiteral("PNG"));

    // JPEG through the JPEG reader: close to the source, same size
    const QString jpg = picturefiles::save(dir_, QStringLiteral("d.jpg"), source.scaled(200, 120));
    image.setImageName(jpg);
    QCOMPARE(image.Picture().image().size(), QSize(200, 120));
    QCOMPARE(image.imageInfo.type, QStringLiteral("JPEG"));

    // GIF through the stream reader at 24 bits
    image.setImageName(picturefiles::copyData(dir_, QStringLiteral("codec/rose.gif"), QStringLiteral("rose.gif")));
    QVERIFY(rec.errors.isEmpty());
    QCOMPARE(image.Picture().pixelFormat(), pf24bit);
    QCOMPARE(image.imageInfo.type, QStringLiteral("GIF"));
}

void ImageLoadingTest::requestedDepthAndMonochromeFiles()
{
    const QString png = picturefiles::save(dir_, QStringLiteral("depth.png"), picturefiles::pattern(40, 30));
    TPMultiImage image;
    Recorder rec;
    rec.attach(image);
    image.ImageReadRes = lColor256;
    image.setImageName(png);
    QCOMPARE(image.Picture().pixelFormat(), pf8bit);
    image.ImageReadRes = lMonoChrome;
    image.setImageName(png);
    QCOMPARE(image.Picture().pixelFormat(), pf1bit);
    image.ImageReadRes = lColorTrue;
    image.setImageName(png);
    QCOMPARE(image.Picture().pixelFormat(), pf24bit);

    // a 1-bit file is shown in black and white whatever depth is asked
    image.setImageName(picturefiles::copyData(dir_, QStringLiteral("codec/rose-1bit.bmp"), QStringLiteral("m.bmp")));
    QCOMPARE(image.Picture().pixelFormat(), pf1bit);
    QCOMPARE(int(image.imageInfo.bitsPerPixel), 1);
    // a 4-bit file keeps its colours
    image.setImageName(picturefiles::copyData(dir_, QStringLiteral("codec/rose-4bit.bmp"), QStringLiteral("f.bmp")));
    QCOMPARE(image.Picture().pixelFormat(), pf4bit);
    QVERIFY(rec.errors.isEmpty());
}

void ImageLoadingTest::tiffPageBeyondTheLastIsClamped()
{
    const QString tif = picturefiles::copyData(dir_, QStringLiteral("codec/rose-3pages.tif"), QStringLiteral("p.tif"));
    TiffPageInfo pages;
    QVERIFY(ReadTiffPageInfo(tif, 0, pages));
    QCOMPARE(pages.pages, 3);
    TBitmap lastPage;
    QVERIFY(ReadTiffFileBitmap(tif, 24, false, 2, lastPage));

    TPMultiImage image;
    Recorder rec;
    rec.attach(image);
    image.ImageReadRes = lColorTrue;
    image.setTiffPage(7);
    image.setImageName(tif);
    QVERIFY2(rec.errors.isEmpty(), qPrintable(rec.errors.join(';')));
    QCOMPARE(int(image.TiffPage()), 2);
    QCOMPARE(int(image.PreviousTiffPage()), 7);
    QCOMPARE(int(image.imageInfo.pageCount), 3);
    QCOMPARE(image.imageInfo.type, QStringLiteral("TIF"));
    QVERIFY(picturefiles::samePixels(image.Picture().image(), lastPage.image()));

    // a page inside the file stays as set; ".TIFF" is read the same way
    const QString tiff = picturefiles::copyData(dir_, QStringLiteral("codec/rose-3pages.tif"), QStringLiteral("q.TIFF"));
    TBitmap secondPage;
    QVERIFY(ReadTiffFileBitmap(tiff, 24, false, 1, secondPage));
    image.setTiffPage(1);
    image.setImageName(tiff);
    QCOMPARE(int(image.TiffPage()), 1);
    QVERIFY(picturefiles::samePixels(image.Picture().image(), secondPage.image()));
}

void ImageLoadingTest::metafileAndIconNamesLeaveThePicture()
{
    TPMultiImage image;
    Recorder rec;
    rec.attach(image);
    const QImage shown = picturefiles::pattern(20, 10);
    image.setPicture(bitmapOf(shown));
    for (const char* name : {"x.wmf", "y.EMF", "z.ico"}) {
        ClearUndo();
        rec.finished = 0;
        image.setImageName(picturefiles::writeBytes(dir_, QLatin1String(name), QByteArray("not read here")));
        QVERIFY(picturefiles::samePixels(image.Picture().image(), shown));
        QVERIFY(UndoAvailable());  // a snapshot for the caller's change
        QCOMPARE(rec.finished, 0);
        QVERIFY(!image.ResetView);
    }
    QVERIFY(rec.errors.isEmpty());
}

void ImageLoadingTest::missingFileEmptiesWithoutError()
{
    TPMultiImage image;
    Recorder rec;
    rec.attach(image);
    image.setPicture(bitmapOf(picturefiles::pattern(8, 8)));
    image.setImageName(dir_.filePath(QStringLiteral("gone.jpg")));
    QVERIFY(image.Picture().empty());
    QVERIFY(rec.errors.isEmpty());
    QCOMPARE(rec.finished, 0);
    QCOMPARE(image.ImageName(), dir_.filePath(QStringLiteral("gone.jpg")));
}

void ImageLoadingTest::damagedFileKeepsThePictureAndReportsError()
{
    const QImage shown = picturefiles::pattern(30, 20);
    const QString good = picturefiles::save(dir_, QStringLiteral("good.png"), shown);
    QFile f(good);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray png = f.readAll();
    const QImage big = picturefiles::pattern(300, 200, 3);
    const QString bigJpg = picturefiles::save(dir_, QStringLiteral("big.jpg"), big);
    QFile j(bigJpg);
    QVERIFY(j.open(QIODevice::ReadOnly));
    const QByteArray jpg = j.readAll();

    const QList<QPair<QString, QByteArray>> damaged = {
        {QStringLiteral("garbage.jpg"), QByteArray(500, 'x')},
        {QStringLiteral("cut.png"), png.left(png.size() / 2)},
        {QStringLiteral("header.png"), png.left(20)},
        {QStringLiteral("empty.bmp"), QByteArray()},
        {QStringLiteral("cut.jpg"), jpg.left(jpg.size() / 3)},
        {QStringLiteral("garbage.tif"), QByteArray("II*\0garbage", 11)},
        {QStringLiteral("garbage.gif"), QByteArray("GIF89a\x10\x00\x10\x00", 10)},
    };
    TPMultiImage image;
    Recorder rec;
    rec.attach(image);
    image.setImageName(good);
    const ImageInfo before = image.imageInfo;
    for (const auto& [name, bytes] : damaged) {
        rec.errors.clear();
        rec.finished = 0;
        const QString file = picturefiles::writeBytes(dir_, name, bytes);
        // the text the program shows the user: German, naming the file
        const QStringList reasons{QStringLiteral("Die Datei \"%1\" konnte nicht gelesen werden.").arg(file),
                                  QStringLiteral("Die Bildinformationen der Datei \"%1\" konnten nicht gelesen "
                                                 "werden.").arg(file)};
        image.setImageName(file);
        QVERIFY2(image.Picture().empty() || picturefiles::samePixels(image.Picture().image(), shown),
                 qPrintable(name));
        QVERIFY2(!image.Picture().empty(), qPrintable(name + QStringLiteral(": emptied")));
        QCOMPARE(rec.errors.size(), 1);
        QVERIFY2(reasons.contains(rec.errors.first()), qPrintable(rec.errors.first()));
        QCOMPARE(rec.finished, 0);
        QCOMPARE(image.imageInfo.width, before.width);
        QCOMPARE(image.imageInfo.type, before.type);
        QVERIFY(!image.ResetView);
    }
}

void ImageLoadingTest::errorWithoutHandlerThrowsAndKeepsState()
{
    const QImage shown = picturefiles::pattern(12, 9);
    TPMultiImage image;
    image.setImageName(picturefiles::save(dir_, QStringLiteral("keep.png"), shown));
    const QString bad = picturefiles::writeBytes(dir_, QStringLiteral("bad.png"), QByteArray(64, '\x01'));
    bool thrown = false;
    try {
        image.setImageName(bad);
    } catch (const ErrorInvalid& e) {
        thrown = true;
        QVERIFY(!e.message().isEmpty());
    }
    QVERIFY(thrown);
    QVERIFY(picturefiles::samePixels(image.Picture().image(), shown));
    QVERIFY(!image.ResetView);
    QCOMPARE(image.imageInfo.width, 12);
}

void ImageLoadingTest::progressCanStopTheDecoder()
{
    const QString jpg = picturefiles::save(dir_, QStringLiteral("stop.jpg"), picturefiles::pattern(640, 480));
    TPMultiImage image;
    QStringList messages;
    QStringList errors;
    image.OnIlibError = [&](QObject*, qint16, const QString& text, const char*) { errors.append(text); };
    image.OnProgress = [&](QObject* sender, qint16 percent, const QString& message, bool& cancel) {
        QCOMPARE(sender, &image);
        messages.append(message);
        cancel = percent > 0;
    };
    image.setImageName(jpg);
    QVERIFY(image.Picture().empty());
    QCOMPARE(errors.size(), 1);
    QVERIFY(messages.size() >= 2);
    QCOMPARE(messages.last(), (QStringLiteral("Reading ") + jpg).toLower());
}

void ImageLoadingTest::unknownExtensionTakesTheReportedType()
{
    const QImage source = picturefiles::pattern(50, 40).scaled(100, 80);
    const QString jpg = picturefiles::save(dir_, QStringLiteral("w.jpg"), source);
    const QString jpe = dir_.filePath(QStringLiteral("w.jpe"));
    QVERIFY(QFile::copy(jpg, jpe));
    TPMultiImage image;
    Recorder rec;
    rec.attach(image);
    image.setImageName(jpe);
    QCOMPARE(image.Picture().image().size(), QSize(100, 80));
    QCOMPARE(rec.finished, 1);

    // a type the control does not decode leaves the picture and ends the load
    const QImage shown = picturefiles::pattern(5, 5);
    image.setPicture(bitmapOf(shown));
    const QString dcx = picturefiles::copyData(dir_, QStringLiteral("codec/rose-2pages.dcx"), QStringLiteral("r.xyz"));
    rec.finished = 0;
    image.setImageName(dcx);
    QVERIFY(rec.errors.isEmpty());
    QVERIFY(picturefiles::samePixels(image.Picture().image(), shown));
    QCOMPARE(rec.finished, 1);
}

void ImageLoadingTest::pictureInformationOfSpecialNames()
{
    TPMultiImage image;
    image.OnIlibError = [](QObject*, qint16, const QString&, const char*) {};
    image.setPicture(bitmapOf(picturefiles::pattern(33, 22)));
    QVERIFY(!image.ReadImageInfo(dir_.filePath(QStringLiteral("none.wmf"))));
    QCOMPARE(image.imageInfo.type, QStringLiteral("ERR"));
    QCOMPARE(image.imageInfo.compression, QStringLiteral("ERR"));
    QCOMPARE(image.imageInfo.width, -1);
    QCOMPARE(image.imageInfo.fileSize, qint64(-1));

    const QString ico = picturefiles::writeBytes(dir_, QStringLiteral("i.ico"), QByteArray(77, '\0'));
    QVERIFY(image.ReadImageInfo(ico));
    QCOMPARE(image.imageInfo.type, QStringLiteral("ICO"));
    QCOMPARE(image.imageInfo.compression, QStringLiteral("ICO"));
    QCOMPARE(image.imageInfo.width, 33);
    QCOMPARE(image.imageInfo.fileSize, qint64(77));

    QVERIFY(image.ReadImageInfo(QStringLiteral("anything.res")));
    QCOMPARE(image.imageInfo.type, QStringLiteral("RES"));
    QCOMPARE(image.imageInfo.compression, QStringLiteral("BMP"));
    // 24-bit rows of 33 pixels take 100 bytes
    QCOMPARE(image.imageInfo.fileSize, qint64(40 + 22 * 100));

    // BMP headers answered directly; a top-down file reports a positive height
    const QString top = picturefiles::copyData(dir_, QStringLiteral("codec/rose-24.bmp"), QStringLiteral("t.bmp"));
    QVERIFY(image.ReadImageInfo(top));
    QCOMPARE(image.imageInfo.type, QStringLiteral("BMP"));
    QVERIFY(image.imageInfo.height > 0);
}

void ImageLoadingTest::scrollingMessageAndCredits()
{
    const QString scm = picturefiles::writeBytes(
        dir_, QStringLiteral("m.scm"),
        QByteArray(" /fc|255/fh|-20/fn|DejaVu Sans/fs|/ft|1000/bc|65280/sp|0/sm|Hallo Welt/eo|"));
    TPMultiImage image;
    Recorder rec;
    rec.attach(image);
    image.resize(300, 100);
    image.setColor(0x123456);
    image.setPicture(bitmapOf(picturefiles::pattern(4, 4)));
    image.setImageName(scm);
    QVERIFY(rec.errors.isEmpty());
    QCOMPARE(rec.finished, 0);
    QVERIFY(image.Picture().empty());
    QCOMPARE(image.messageMode(), MessageBanner::Mode::Message);
    QCOMPARE(image.MessageText, QStringLiteral("Hallo Welt"));
    QCOMPARE(image.Color(), qint32(65280));
    QVERIFY(image.MessageFont.bold());
    QCOMPARE(image.imageInfo.type, QStringLiteral("SCM"));
    const QRect start = image.messageStrip();
    QCOMPARE(start.left(), 300);
    QCOMPARE(start.top(), (100 - start.height()) / 2);
    image.MessageTick();
    QCOMPARE(image.messageStrip().left(), 299);
    image.MessageSpeed = 2;  // one tick in three moves
    image.MessageTick();
    image.MessageTick();
    QCOMPARE(image.messageStrip().left(), 299);
    image.MessageTick();
    QCOMPARE(image.messageStrip().left(), 298);

    // loading a picture leaves the mode and brings the colour back
    image.setImageName(picturefiles::save(dir_, QStringLiteral("after.png"), picturefiles::pattern(6, 6)));
    QCOMPARE(image.messageMode(), MessageBanner::Mode::None);
    QCOMPARE(image.Color(), qint32(0x123456));

    const QString cms = picturefiles::writeBytes(
        dir_, QStringLiteral("c.cms"), QByteArray("Korvane\r\n0\r\n-16\r\nDejaVu Sans\r\n12\r\n0100\r\n255\r\n0\r\n"
                                                  "Erste Zeile\r\nZweite\r\n"));
    image.setImageName(cms);
    QCOMPARE(image.messageMode(), MessageBanner::Mode::Credits);
    QCOMPARE(image.Color(), qint32(255));
    QVERIFY(image.MessageFont.italic());
    const QRect first = image.messageStrip();
    QCOMPARE(first.top(), 100);
    QCOMPARE(first.left(), (300 - first.width()) / 2);
    // the first line rises until it is its height plus 5 above the top
    for (int i = 0; i < 100 + first.height() + 5; ++i)
        image.MessageTick();
    QCOMPARE(image.messageStrip().top(), -(first.height() + 5));
    image.MessageTick();
    QCOMPARE(image.messageStrip().top(), 100);
    QVERIFY(image.messageStrip().width() != first.width());  // "Zweite" is shorter
}

void ImageLoadingTest::thumbnailAndResourceFiles()
{
    const QImage source = picturefiles::pattern(16, 12);
    const QString bmp = picturefiles::save(dir_, QStringLiteral("thumb.bmp"), source);
    const QString thb = dir_.filePath(QStringLiteral("thumb.thb"));
    QVERIFY(QFile::copy(bmp, thb));
    TPMultiImage image;
    Recorder rec;
    rec.attach(image);
    image.setImageName(thb);
    QVERIFY(rec.errors.isEmpty());
    QVERIFY(picturefiles::samePixels(image.Picture().image(), source));
    QCOMPARE(rec.finished, 0);

    // program resources by name or number, with their colour table
    const QImage resource(QStringLiteral(":/res/TESTBILD.bmp"));
    QVERIFY(!resource.isNull());
    image.setImageName(QStringLiteral("/nowhere/TESTBILD.res"));
    QVERIFY(picturefiles::samePixels(image.Picture().image(), resource));
    QCOMPARE(image.Picture().palette(), resource.colorTable());
    QCOMPARE(image.imageInfo.type, QStringLiteral("RES"));
    image.setPicture(TBitmap());
    image.setImageName(QStringLiteral("007.res"));
    QVERIFY(picturefiles::samePixels(image.Picture().image(), resource));
    QVERIFY(rec.errors.isEmpty());
    image.setImageName(QStringLiteral("UNBEKANNT.res"));
    QCOMPARE(rec.errors.size(), 1);
    QVERIFY(picturefiles::samePixels(image.Picture().image(), resource));
}

// A photo stands as its EXIF orientation says, however the control is set
// to show it.
void ImageLoadingTest::exifOrientationShowsUpright()
{
    QStringList photos{picturefiles::copyData(dir_, QStringLiteral("codec/rose-exif-orientation-6.jpg"), "rose6.jpg")};
    const QDir corpus(QStringLiteral(KV_SOURCE_DIR "/../shared/corpus/jpeg"));
    for (const char* name : {"derived--bridge-exif-orientation-3.jpg", "derived--bridge-exif-orientation-8.jpg"})
        if (corpus.exists(QLatin1String(name)))
            photos << corpus.filePath(QLatin1String(name));
    for (const QString& photo : photos) {
        QImageReader reader(photo);
        reader.setAutoTransform(true);
        const QImage upright = reader.read();
        QVERIFY2(!upright.isNull(), qPrintable(photo));
        for (const bool transition : {false, true}) {
            TPMultiImage image;
            image.resize(300, 200);
            image.ImageReadRes = lColorTrue;
            image.TransitionPause = [](int) { return true; };
            if (transition)
                image.FXMethod = FXHorizontal;
            image.setImageName(photo);
            const QImage shown = image.Picture().image();
            QCOMPARE(shown.size(), upright.size());
            QCOMPARE(QSize(image.imageInfo.width, image.imageInfo.height), upright.size());
            QVERIFY2(picturefiles::closePixels(shown, upright, 24), qPrintable(photo));
        }
    }
}

void ImageLoadingTest::damagedCorpusFilesNeverCrash()
{
    const QDir broken(QStringLiteral(KV_SOURCE_DIR "/../shared/corpus/broken"));
    if (!broken.exists())
        QSKIP("the shared picture corpus is not here");
    TPMultiImage image;
    int errors = 0;
    int finished = 0;
    image.OnIlibError = [&](QObject*, qint16, const QString&, const char*) { ++errors; };
    image.OnFinishedLoadSave = [&](QObject*) { ++finished; };
    const QImage shown = picturefiles::pattern(9, 9);
    int tried = 0;
    for (const QFileInfo& file : broken.entryInfoList(QDir::Files, QDir::Name)) {
        if (file.size() > 4 * 1024 * 1024)
            continue;
        const int errorsBefore = errors;
        const int finishedBefore = finished;
        image.setPicture(bitmapOf(shown));
        image.setImageName(file.filePath());
        const bool unchanged = picturefiles::samePixels(image.Picture().image(), shown);
        const bool handedOver = QStringList{QStringLiteral("wmf"), QStringLiteral("emf"), QStringLiteral("ico")}
                                    .contains(file.suffix().toLower());
        // a picture that stayed was either refused with an error or not one the control decodes
        if (unchanged)
            QVERIFY2(errors > errorsBefore || finished > finishedBefore || handedOver, qPrintable(file.fileName()));
        else if (!image.Picture().empty())
            QCOMPARE(errors, errorsBefore);
        QVERIFY(!image.ResetView);
        ++tried;
    }
    QVERIFY(tried > 0);
    QVERIFY(errors > 0);
}

QTEST_MAIN(ImageLoadingTest)
#include "tst_imageloading.moc"
