// The batch conversion in process: names, sizes, target planning with every
// overwrite answer, the worker run with cancel, and the source removal under
// injected faults.

#include "conversion/conversionnaming.h"
#include "conversion/conversionrun.h"
#include "conversion/pictureconversion.h"

#include "codec/binding/tbitmap.h"
#include "platform/fileops.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QImage picture(int w, int h, QColor colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QSize sizeOf(const QString& file)
{
    TBitmap bitmap;
    if (!LoadPicturePage(file, 0, bitmap))
        return {};
    return {bitmap.width(), bitmap.height()};
}

QByteArray hashOf(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1);
}

// Runs to the end; the results in the order they were reported.
QList<ConversionResult> runAll(ConversionRun& run, const std::function<void()>& afterStart = {})
{
    QList<ConversionResult> reported;
    QList<int> order;
    QObject::connect(&run, &ConversionRun::fileDone, [&](int index, const ConversionResult& r) {
        order.append(index);
        reported.append(r);
    });
    QSignalSpy finished(&run, &ConversionRun::finished);
    run.start();
    if (afterStart)
        afterStart();
    if (finished.isEmpty())
        finished.wait(60000);
    for (int i = 0; i < order.size(); ++i)
        if (order[i] != i)
            return {};
    return reported;
}

ConversionPlanner::AskHook answering(int answer, QStringList* asked = nullptr)
{
    return [answer, asked](const QString& source, const QString& target, QString&) {
        if (asked)
            asked->append(QFileInfo(source).fileName() + "->" + QFileInfo(target).fileName());
        return answer;
    };
}

// Files left in a folder whose names look like a writer's temporary files.
QStringList leftovers(const QDir& dir, const QStringList& expected)
{
    QStringList extra;
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden))
        if (!expected.contains(name))
            extra.append(name);
    return extra;
}

}  // namespace

class ConversionTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString src(const QString& name) const { return dir_.filePath("src/" + name); }
    QString out(const QString& name) const { return dir_.filePath("out/" + name); }

    ConversionOptions options(const QString& ext) const
    {
        ConversionOptions o;
        o.targetExt = ext;
        o.folder = dir_.filePath("out");
        return o;
    }

private slots:
    void init()
    {
        QDir(dir_.path()).removeRecursively();
        QDir().mkpath(dir_.filePath("src"));
        QDir().mkpath(dir_.filePath("out"));
        QVERIFY(picture(40, 30, Qt::red).save(src("a.png")));
        QVERIFY(QFile::copy(KV_BINDING_DATA "/rose16.gif", src("a.gif")));
        fileops::setFaultHook({});
        ConversionRun::afterWriteHook = {};
    }
    void cleanup()
    {
        fileops::setFaultHook({});
        ConversionRun::afterWriteHook = {};
    }

    void targetNames()
    {
        QCOMPARE(ConversionTargetName("/p/photo.tif", 0, "/o", "png"), QString("/o/photo_Seite_1.png"));
        QCOMPARE(ConversionTargetName("/p/scan.TIFF", 1, "/o/", "bmp"), QString("/o/scan_Seite_2.bmp"));
        QCOMPARE(ConversionTargetName("/p/a.b.jpg", 3, "/o", "jpg"), QString("/o/a.b.jpg"));
        QCOMPARE(ConversionTargetName("/p/noext", 0, "/o", "gif"), QString("/o/noext.gif"));
        QCOMPARE(AnnotationFileOf("/p.x/a.b.jpg"), QString("/p.x/a.b-jpg.ant"));
    }

    void sizes()
    {
        QCOMPARE(FitKeepingAspect({400, 600}, {1000, 500}), QSize(400, 200));
        QCOMPARE(FitKeepingAspect({1920, 1080}, {1000, 1000}), QSize(1080, 1080));
        QCOMPARE(FitKeepingAspect({300, 100}, {100, 100}), QSize(100, 100));
        ConversionOptions o;
        o.percent = 50;
        QCOMPARE(ConvertedSize({101, 40}, o), QSize(51, 20));
        o.percent = 0;
        QCOMPARE(ConvertedSize({101, 40}, o), QSize(101, 40));
        o.changeSize = true;
        o.keepAspect = false;
        o.width = 0;
        o.height = 20000;
        QCOMPARE(ConvertedSize({101, 40}, o), QSize(1, 9999));
    }

    void tiffPageIsConverted()
    {
        QVERIFY(QFile::copy(KV_BINDING_DATA "/pages3.tif", src("p.tif")));
        QCOMPARE(PicturePageCount(src("p.tif")), 3);
        TBitmap page1;
        QVERIFY(LoadPicturePage(src("p.tif"), 1, page1));
        QCOMPARE(ConvertPicture(src("p.tif"), 1, out("p_Seite_2.png"), options("png"), true),
                 ConversionStatus::Converted);
        QCOMPARE(sizeOf(out("p_Seite_2.png")), QSize(page1.width(), page1.height()));
    }

    // a.png and a.gif both make a.jpg: the first listed writes it, the
    // second finds it taken whatever the answer.
    void twoSourcesNeverShareATarget_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("skip") << int(ConversionPlanner::SkipFile);
        QTest::newRow("overwrite") << int(ConversionPlanner::Overwrite);
        QTest::newRow("rename") << int(ConversionPlanner::Rename);
    }
    void twoSourcesNeverShareATarget()
    {
        QFETCH(int, answer);
        QStringList asked;
        ConversionRun run({{src("a.png"), 0}, {src("a.gif"), 0}}, options("jpg"), answering(answer, &asked));
        const QList<ConversionResult> r = runAll(run);
        QCOMPARE(r.size(), 2);
        QCOMPARE(asked, QStringList{"a.gif->a.jpg"});
        QCOMPARE(r[0].outcome, ConversionResult::Converted);
        QCOMPARE(sizeOf(out("a.jpg")), QSize(40, 30));
        if (answer == ConversionPlanner::Rename) {
            QCOMPARE(r[1].outcome, ConversionResult::Converted);
            QCOMPARE(r[1].target, out("a_1.jpg"));
            QCOMPARE(sizeOf(out("a_1.jpg")), sizeOf(src("a.gif")));
        } else {
            QCOMPARE(r[1].outcome, ConversionResult::Skipped);
            QVERIFY(!QFile::exists(out("a_1.jpg")));
        }
    }

    void existingTargetAnswers()
    {
        QVERIFY(picture(7, 9, Qt::blue).save(out("a.jpg")));
        const QByteArray before = hashOf(out("a.jpg"));
        {   // skip keeps the file as it was
            ConversionRun run({{src("a.png"), 0}}, options("jpg"), answering(ConversionPlanner::SkipFile));
            QCOMPARE(runAll(run).value(0).outcome, ConversionResult::Skipped);
            QCOMPARE(hashOf(out("a.jpg")), before);
        }
        {   // cancel ends the run there: nothing after it is converted
            ConversionRun run({{src("a.png"), 0}, {src("a.gif"), 0}}, options("png"),
                              answering(ConversionPlanner::Cancel));
            QVERIFY(picture(7, 9, Qt::blue).save(out("a.png")));
            const QList<ConversionResult> r = runAll(run);
            QCOMPARE(r.size(), 1);
            QVERIFY(run.cancelled());
            QVERIFY(!QFile::exists(out("a.gif")));
            QCOMPARE(sizeOf(out("a.png")), QSize(7, 9));
        }
        {   // overwrite puts the new picture in its place
            ConversionRun run({{src("a.png"), 0}}, options("jpg"), answering(ConversionPlanner::Overwrite));
            QCOMPARE(runAll(run).value(0).outcome, ConversionResult::Converted);
            QCOMPARE(sizeOf(out("a.jpg")), QSize(40, 30));
        }
    }

    // With the sources to be removed and an unrelated picture of the
    // target's name beside the source, the user is still asked.
    void replacingSourcesAsksForAnotherPicture()
    {
        QVERIFY(picture(7, 9, Qt::blue).save(src("a.jpg")));
        const QByteArray before = hashOf(src("a.jpg"));
        ConversionOptions o = options("jpg");
        o.folder = dir_.filePath("src");
        o.replaceSources = true;
        QStringList asked;
        ConversionRun run({{src("a.png"), 0}}, o, answering(ConversionPlanner::SkipFile, &asked));
        QCOMPARE(runAll(run).value(0).outcome, ConversionResult::Skipped);
        QCOMPARE(asked, QStringList{"a.png->a.jpg"});
        QCOMPARE(hashOf(src("a.jpg")), before);
        QVERIFY(QFile::exists(src("a.png")));
    }

    // a.jpg to JPG in its own folder: re-encoded in place, nothing removed.
    void replacingInPlaceKeepsTheFile()
    {
        QVERIFY(picture(12, 8, Qt::green).save(src("b.jpg")));
        ConversionOptions o = options("jpg");
        o.folder = dir_.filePath("src");
        o.replaceSources = true;
        o.percent = 50;
        QStringList asked;
        ConversionRun run({{src("b.jpg"), 0}}, o, answering(ConversionPlanner::SkipFile, &asked));
        const ConversionResult r = runAll(run).value(0);
        QCOMPARE(r.outcome, ConversionResult::Converted);
        QVERIFY(asked.isEmpty());
        QVERIFY(!r.sourceRemoved);
        QCOMPARE(sizeOf(src("b.jpg")), QSize(6, 4));
    }

    void sourceRemovedOnlyAfterSafeWrite_data()
    {
        QTest::addColumn<int>("op");
        QTest::addColumn<bool>("targetLeft");
        QTest::newRow("none") << -1 << true;
        QTest::newRow("write") << int(fileops::Op::Write) << false;
        QTest::newRow("sync") << int(fileops::Op::Sync) << true;
    }
    void sourceRemovedOnlyAfterSafeWrite()
    {
        QFETCH(int, op);
        QFETCH(bool, targetLeft);
        QFile::copy(src("a.png"), src("a-png.ant"));
        const QString target = out("a.gif");
        fileops::setFaultHook([op, target](fileops::Op o, const QString& path) {
            return int(o) == op && (path == target || path == QFileInfo(target).absolutePath());
        });
        ConversionOptions o = options("gif");
        o.replaceSources = true;
        ConversionRun run({{src("a.png"), 0}}, o, answering(ConversionPlanner::SkipFile));
        const ConversionResult r = runAll(run).value(0);
        const bool ok = op < 0;
        QCOMPARE(r.outcome, ok ? ConversionResult::Converted : ConversionResult::Failed);
        QCOMPARE(r.sourceRemoved, ok);
        QCOMPARE(QFile::exists(src("a.png")), !ok);
        QCOMPARE(QFile::exists(src("a-png.ant")), !ok);
        QCOMPARE(QFile::exists(target), targetLeft);
        if (targetLeft)
            QCOMPARE(sizeOf(target), QSize(40, 30));
        const QStringList expected = targetLeft ? QStringList{"a.gif"} : QStringList{};
        QCOMPARE(leftovers(QDir(dir_.filePath("out")), expected), QStringList());
    }

    // Cancelled with two files being written: those two finish complete,
    // no further file starts, results stay in list order.
    void cancelFinishesFilesInFlight()
    {
        QList<ConversionItem> items;
        for (int i = 0; i < 6; ++i) {
            const QString name = src(QString("c%1.png").arg(i));
            QVERIFY(picture(64 + i, 48, Qt::darkCyan).save(name));
            items.append({name, 0});
        }
        ConversionRun run(items, options("tif"), answering(ConversionPlanner::SkipFile));
        run.setMostInFlight(2);
        const QList<ConversionResult> r = runAll(run, [&run] { run.cancel(); });
        QVERIFY(run.cancelled());
        QCOMPARE(r.size(), 2);
        for (int i = 0; i < 6; ++i) {
            const QString target = out(QString("c%1.tif").arg(i));
            QCOMPARE(QFile::exists(target), i < 2);
            if (i < 2)
                QCOMPARE(sizeOf(target), QSize(64 + i, 48));
        }
        const QStringList expected{"c0.tif", "c1.tif"};
        QCOMPARE(leftovers(QDir(dir_.filePath("out")), expected), QStringList());
    }
};

QTEST_MAIN(ConversionTest)
#include "tst_conversion.moc"
