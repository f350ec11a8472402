// The picture control's link to the annotation layer: the annotation file
// name, automatic load and save (to the file and page the annotations came
// from, and only when they changed), painting over the picture at its zoom,
// burning in, and mouse input going to the layer in editing mode.

#include "imagecontrol/annotationfile.h"
#include "imagecontrol/pmultiimage.h"
#include "imagecontrol/savepicturefile.h"
#include "picturefiles.h"

#include "codec/engine/annotationformat.h"

#include <QDir>
#include <QFile>
#include <QTest>

using annotation::Kind;
using annotation::Object;

namespace {

// A red rectangle, solid pen 2 wide, no fill.
Object redBox(int left, int top, int right, int bottom)
{
    Object o;
    o.kind = Kind::Rectangle;
    o.points = {{left, top}, {right, bottom}};
    o.penWidth = 2;
    o.foreColor = 0x0000FF;
    return o;
}

void writeAnt(const QString& path, const annotationformat::Pages& pages)
{
    const std::vector<std::uint8_t> bytes = annotationformat::serialize(pages);
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
}

std::optional<annotationformat::Pages> readAnt(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray b = f.readAll();
    return annotationformat::parse(reinterpret_cast<const std::uint8_t*>(b.constData()), std::size_t(b.size()));
}

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class TestImageAnnotations : public QObject {
    Q_OBJECT

private slots:
    void theFileNameFollowsThePictureUnlessFixed()
    {
        TPMultiImage image;
        QCOMPARE(image.AnnotationFileName(), QStringLiteral("default.ant"));
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("a.b")));
        const QString picture = picturefiles::save(dir, QStringLiteral("a.b/my.party.jpg"), picturefiles::pattern(8, 8));
        image.setImageName(picture);
        QCOMPARE(image.AnnotationFileName(), dir.filePath(QStringLiteral("a.b/my.party-jpg.ant")));
        image.AnnoFileName = QStringLiteral("/elsewhere/fixed.ant");
        QCOMPARE(image.AnnotationFileName(), QStringLiteral("/elsewhere/fixed.ant"));
    }

    void autoLoadTakesThePagesAnnotations()
    {
        QTemporaryDir dir;
        const QString picture = picturefiles::save(dir, QStringLiteral("photo.png"), picturefiles::pattern(40, 30));
        writeAnt(dir.filePath(QStringLiteral("photo-png.ant")),
                 {{0, {redBox(1, 1, 10, 10), redBox(5, 5, 20, 20)}}, {1, {redBox(2, 2, 3, 3)}}});
        TPMultiImage image;
        image.setImageName(picture);
        QCOMPARE(image.AnnotationCount(), 0);   // automatic loading off
        image.AutoLoadAnno = true;
        image.setImageName(picture);
        QCOMPARE(image.AnnotationCount(), 2);
        QVERIFY(!image.AnnotationsChanged());
        image.ClearAnnotations();
        QCOMPARE(image.AnnotationCount(), 0);
        QVERIFY(image.AnnotationsChanged());
    }

    void autoSaveWritesThePreviousPicturesFileOnlyWhenChanged()
    {
        QTemporaryDir dir;
        const QString first = picturefiles::save(dir, QStringLiteral("first.png"), picturefiles::pattern(40, 30));
        const QString second = picturefiles::save(dir, QStringLiteral("second.png"), picturefiles::pattern(40, 30, 1));
        const QString firstAnt = dir.filePath(QStringLiteral("first-png.ant"));
        const QString secondAnt = dir.filePath(QStringLiteral("second-png.ant"));
        const QString other = dir.filePath(QStringLiteral("other.ant"));
        writeAnt(firstAnt, {{0, {redBox(1, 1, 10, 10)}}});
        writeAnt(secondAnt, {{0, {redBox(2, 2, 8, 8), redBox(3, 3, 9, 9)}}});
        writeAnt(other, {{0, {redBox(4, 4, 6, 6), redBox(4, 4, 7, 7), redBox(4, 4, 8, 8)}}});
        const QByteArray secondBefore = bytesOf(secondAnt);

        TPMultiImage image;
        image.AutoLoadAnno = true;
        image.AutoSaveAnno = true;
        image.setImageName(first);
        QCOMPARE(image.AnnotationCount(), 1);
        // unchanged: nothing is written when the next picture comes
        const QByteArray firstBefore = bytesOf(firstAnt);
        image.setImageName(second);
        QCOMPARE(bytesOf(firstAnt), firstBefore);
        QCOMPARE(image.AnnotationCount(), 2);

        // changed: they go to the second picture's file, not to the next one's
        image.LoadAnnotations(0, other);
        QCOMPARE(image.AnnotationCount(), 3);
        image.setImageName(first);
        QCOMPARE(image.AnnotationCount(), 1);
        QCOMPARE(readAnt(secondAnt)->at(0).size(), std::size_t(3));
        QCOMPARE(readAnt(firstAnt)->at(0).size(), std::size_t(1));
        QVERIFY(bytesOf(secondAnt) != secondBefore);

        // a picture without annotations leaves an empty layer that wipes nothing
        const QString third = picturefiles::save(dir, QStringLiteral("third.png"), picturefiles::pattern(40, 30, 2));
        image.setImageName(third);
        image.setImageName(first);
        QCOMPARE(image.AnnotationCount(), 1);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("third-png.ant"))));
    }

    void aPictureThatFailsToLoadLeavesTheShownOneItsAnnotations()
    {
        QTemporaryDir dir;
        const QString shown = picturefiles::save(dir, QStringLiteral("shown.png"), picturefiles::pattern(60, 40));
        writeAnt(dir.filePath(QStringLiteral("shown-png.ant")), {{0, {redBox(1, 1, 10, 10), redBox(5, 5, 20, 20)}}});
        QByteArray damaged = bytesOf(shown);
        damaged.truncate(damaged.size() / 2);
        const QString broken = picturefiles::writeBytes(dir, QStringLiteral("broken.png"), damaged);
        // the broken picture's own annotations must not be loaded either
        writeAnt(dir.filePath(QStringLiteral("broken-png.ant")), {{0, {redBox(2, 2, 3, 3)}}});
        const QString fresh = picturefiles::save(dir, QStringLiteral("fresh.png"), picturefiles::pattern(60, 40, 1));

        TPMultiImage image;
        QStringList errors;
        image.OnIlibError = [&](QObject*, qint16, const QString& text, const char*) { errors << text; };
        image.AutoLoadAnno = true;
        image.resize(100, 100);
        image.setImageName(shown);
        QCOMPARE(image.AnnotationCount(), 2);
        image.setEditAnnotat(true);
        image.grab();
        QTest::mouseClick(&image, Qt::LeftButton, {}, QPoint(15, 15));   // a change not saved anywhere
        QVERIFY(image.DeleteSelectedAnnotation());
        image.setEditAnnotat(false);
        QVERIFY(image.AnnotationsChanged());
        QCOMPARE(image.AnnotationCount(), 1);
        QCOMPARE(image.grab().toImage().pixelColor(1, 5), QColor(Qt::red));

        image.setImageName(broken);
        QVERIFY(image.LoadFailed());
        QCOMPARE(image.ImageName(), shown);
        QCOMPARE(image.AnnotationCount(), 1);
        QVERIFY(image.AnnotationsChanged());
        QCOMPARE(image.grab().toImage().pixelColor(1, 5), QColor(Qt::red));   // still drawn
        QCOMPARE(errors.size(), 1);
        image.setImageName(fresh);
        QCOMPARE(image.AnnotationCount(), 0);
        // a file that is not there empties the picture, and its annotations go
        image.setImageName(shown);
        QCOMPARE(image.AnnotationCount(), 2);
        image.setImageName(dir.filePath(QStringLiteral("missing.png")));
        QVERIFY(image.Picture().empty());
        QCOMPARE(image.AnnotationCount(), 0);
    }

    void theyArePaintedOverThePictureAtItsZoom()
    {
        QTemporaryDir dir;
        QImage white(100, 80, QImage::Format_RGB32);
        white.fill(Qt::white);
        const QString picture = picturefiles::save(dir, QStringLiteral("white.png"), white);
        writeAnt(dir.filePath(QStringLiteral("white-png.ant")), {{0, {redBox(10, 10, 40, 30)}}});
        TPMultiImage image;
        image.resize(300, 300);
        image.setScrolling(true);
        image.AutoLoadAnno = true;
        image.setImageName(picture);
        QImage shot = image.grab().toImage();
        QCOMPARE(QColor(shot.pixel(25, 10)), QColor(Qt::red));
        QCOMPARE(QColor(shot.pixel(25, 20)), QColor(Qt::white));

        image.ZoomIn(2.0);
        shot = image.grab().toImage();
        QCOMPARE(QColor(shot.pixel(50, 20)), QColor(Qt::red));
        QCOMPARE(QColor(shot.pixel(50, 40)), QColor(Qt::white));
        QCOMPARE(QColor(shot.pixel(80, 60)), QColor(Qt::red));   // bottom edge at 30 x 2
    }

    void burningInChangesTheGivenBitmapOnly()
    {
        QTemporaryDir dir;
        QImage white(60, 50, QImage::Format_RGB32);
        white.fill(Qt::white);
        const QString picture = picturefiles::save(dir, QStringLiteral("w.png"), white);
        writeAnt(dir.filePath(QStringLiteral("w-png.ant")), {{0, {redBox(10, 10, 40, 30)}}});
        TPMultiImage image;
        image.AutoLoadAnno = true;
        image.setImageName(picture);
        TBitmap copy = image.Picture();
        QVERIFY(image.BurnAnnotations(copy));
        QCOMPARE(QColor(copy.image().pixel(25, 10)), QColor(Qt::red));
        QCOMPARE(QColor(image.Picture().image().pixel(25, 10)), QColor(Qt::white));
    }

    void editingModeSendsTheMouseToTheLayer()
    {
        QTemporaryDir dir;
        const QString picture = picturefiles::save(dir, QStringLiteral("p.png"), picturefiles::pattern(80, 80));
        TPMultiImage image;
        image.resize(200, 200);
        image.setImageName(picture);
        image.AllowRubberBand = true;
        image.RubberBandBtn = Qt::RightButton;
        int bands = 0;
        image.OnRubberband = [&](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int, int, int) { ++bands; };
        QTest::mousePress(&image, Qt::RightButton, {}, QPoint(10, 10));
        QTest::mouseRelease(&image, Qt::RightButton, {}, QPoint(50, 50));
        QCOMPARE(bands, 1);
        image.setEditAnnotat(true);
        QTest::mousePress(&image, Qt::RightButton, {}, QPoint(10, 10));
        QTest::mouseRelease(&image, Qt::RightButton, {}, QPoint(50, 50));
        QCOMPARE(bands, 1);
    }

    void savingTheFileTakesTheAnnotationsAlong()
    {
        QTemporaryDir dir;
        QImage white(60, 50, QImage::Format_RGB32);
        white.fill(Qt::white);
        const QString picture = picturefiles::save(dir, QStringLiteral("w.png"), white);
        writeAnt(dir.filePath(QStringLiteral("w-png.ant")), {{0, {redBox(10, 10, 40, 30)}}});
        TPMultiImage image;
        image.AutoLoadAnno = true;
        image.setImageName(picture);
        image.SaveAnnotationsOnSave = true;
        image.EmbedAnnotations = true;
        SaveDialogOptions options;
        const QString target = dir.filePath(QStringLiteral("out.bmp"));
        QVERIFY(SavePictureFile(target, image, options));
        QCOMPARE(readAnt(dir.filePath(QStringLiteral("out-bmp.ant")))->at(0).size(), std::size_t(1));
        QCOMPARE(QColor(QImage(target).pixel(25, 10)), QColor(Qt::red));           // burnt into the file
        QCOMPARE(QColor(image.Picture().image().pixel(25, 10)), QColor(Qt::white));  // not into the picture

        // without annotations the target's stale annotation file goes
        image.ClearAnnotations();
        image.EmbedAnnotations = false;
        QVERIFY(SavePictureFile(target, image, options));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("out-bmp.ant"))));
        // and without the option it stays
        writeAnt(dir.filePath(QStringLiteral("out-bmp.ant")), {{0, {redBox(1, 1, 2, 2)}}});
        image.SaveAnnotationsOnSave = false;
        QVERIFY(SavePictureFile(target, image, options));
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("out-bmp.ant"))));
    }

    void tiffPagesKeepTheirAnnotationsInStep()
    {
        QTemporaryDir dir;
        const QString picture = picturefiles::save(dir, QStringLiteral("p.png"), picturefiles::pattern(30, 30));
        const QString a = dir.filePath(QStringLiteral("a.ant")), b = dir.filePath(QStringLiteral("b.ant"));
        writeAnt(a, {{0, {redBox(1, 1, 2, 2)}}});
        writeAnt(b, {{0, {redBox(1, 1, 2, 2), redBox(3, 3, 4, 4)}}});
        TPMultiImage image;
        image.setImageName(picture);
        image.SaveAnnotationsOnSave = true;
        const QString tiff = dir.filePath(QStringLiteral("t.tif"));
        const QString ant = dir.filePath(QStringLiteral("t-tif.ant"));
        SaveDialogOptions options;
        image.LoadAnnotations(0, a);
        QVERIFY(SavePictureFile(tiff, image, options));              // page 0: one object
        options.TIFFAppended = true;
        options.TIFFARI = 0;
        options.TiffPageCount = 1;
        image.LoadAnnotations(0, b);
        QVERIFY(SavePictureFile(tiff, image, options));              // appended page 1: two
        options.TIFFARI = 1;
        options.TIFFFirfPageValue = 1;
        image.ClearAnnotations();
        QVERIFY(SavePictureFile(tiff, image, options));              // inserted before page 0: none
        std::optional<annotationformat::Pages> pages = readAnt(ant);
        QVERIFY(pages);
        QVERIFY(!pages->count(0));
        QCOMPARE(pages->at(1).size(), std::size_t(1));
        QCOMPARE(pages->at(2).size(), std::size_t(2));

        // a deleted page takes its annotations along, the later ones move down
        QVERIFY(RemoveAnnotationPage(ant, 1));
        pages = readAnt(ant);
        QCOMPARE(pages->size(), std::size_t(1));
        QCOMPARE(pages->at(1).size(), std::size_t(2));
    }

    void copiedAndMovedPicturesTakeTheirAnnotationFile()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("to")));
        const QString source = dir.filePath(QStringLiteral("s.jpg"));
        const QString copied = dir.filePath(QStringLiteral("to/s.jpg"));
        writeAnt(dir.filePath(QStringLiteral("s-jpg.ant")), {{0, {redBox(1, 1, 2, 2)}}});
        const QByteArray bytes = bytesOf(dir.filePath(QStringLiteral("s-jpg.ant")));
        QVERIFY(CarryAnnotationFile(source, copied, false));
        QCOMPARE(bytesOf(dir.filePath(QStringLiteral("to/s-jpg.ant"))), bytes);
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("s-jpg.ant"))));

        const QString moved = dir.filePath(QStringLiteral("to/m.jpg"));
        QVERIFY(CarryAnnotationFile(source, moved, true));
        QCOMPARE(bytesOf(dir.filePath(QStringLiteral("to/m-jpg.ant"))), bytes);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("s-jpg.ant"))));

        // a picture without annotations replacing one with them: the stale file goes
        QVERIFY(CarryAnnotationFile(dir.filePath(QStringLiteral("plain.jpg")), moved, false));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("to/m-jpg.ant"))));

        // the annotation file is never written through a link
        writeAnt(dir.filePath(QStringLiteral("s-jpg.ant")), {{0, {redBox(1, 1, 2, 2)}}});
        const QString victim = dir.filePath(QStringLiteral("victim.txt"));
        QFile v(victim);
        QVERIFY(v.open(QIODevice::WriteOnly));
        v.write("keep");
        v.close();
        QVERIFY(QFile::link(victim, dir.filePath(QStringLiteral("to/l-jpg.ant"))));
        QVERIFY(!CarryAnnotationFile(source, dir.filePath(QStringLiteral("to/l.jpg")), true));
        QCOMPARE(bytesOf(victim), QByteArray("keep"));
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("s-jpg.ant"))));   // a failed move keeps the source
    }
};

QTEST_MAIN(TestImageAnnotations)
#include "tst_imageannotations.moc"
