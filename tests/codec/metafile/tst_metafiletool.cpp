// glimra-tool info and decode with Windows and Enhanced Metafiles and icons:
// a 1000 x 500 picture written as WMF (847 x 423) and EMF (1000 x 500)
// comes back at those sizes with its pixels; icons show their first entry's
// size; damaged files fail with one line.

#include "../../tool/toolrunner.h"
#include "testpictures.h"

#include "codec/binding/tbitmap.h"
#include "codec/icon/ticon.h"
#include "codec/metafile/metafileconvert.h"
#include "codec/metafile/tmetafile.h"

#include <QImageReader>
#include <QTemporaryDir>
#include <QtTest>

namespace {



}  // namespace

class TestMetafileTool : public QObject {
    Q_OBJECT

private slots:
    void metafilesThroughTheTool_data()
    {
        QTest::addColumn<bool>("enhanced");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QSize>("size");
        // the picture control's type names
        QTest::newRow("WMF") << false << "WMF" << QSize(847, 423);
        QTest::newRow("EMF") << true << "EMF" << QSize(1000, 500);
    }

    void metafilesThroughTheTool()
    {
        QFETCH(bool, enhanced);
        QFETCH(QString, type);
        QFETCH(QSize, size);
        QTemporaryDir dir;
        const TBitmap original = testpictures::ramps(1000, 500);
        TMetafile metafile;
        QVERIFY(BitmapToMetafile(&original, &metafile, enhanced));
        const QString path = dir.filePath(enhanced ? QStringLiteral("p.emf") : QStringLiteral("p.wmf"));
        QVERIFY(metafile.SaveToFile(path));
        const QString out = dir.filePath(QStringLiteral("out.png"));

        const QList<ToolRun> runs = runTools({{QStringLiteral("info"), path},
                                              {QStringLiteral("decode"), path, QStringLiteral("-o"), out}});
        QCOMPARE(runs[0].exitCode, 0);
        const auto fields = infoFields(runs[0].out);
        QCOMPARE(fields.value(QStringLiteral("type")), type);
        QCOMPARE(fields.value(QStringLiteral("compression")), type);
        QCOMPARE(fields.value(QStringLiteral("width")).toInt(), size.width());
        QCOMPARE(fields.value(QStringLiteral("height")).toInt(), size.height());
        QCOMPARE(fields.value(QStringLiteral("pages")), QStringLiteral("1"));
        QCOMPARE(fields.value(QStringLiteral("size")).toLongLong(), QFileInfo(path).size());
        QCOMPARE(runs[1].exitCode, 0);
        const QImage decoded = QImageReader(out, "png").read().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(decoded.size(), size);
        const QImage expected = original.image().convertToFormat(QImage::Format_RGB32).scaled(
            size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const double difference = testpictures::meanDifference(decoded, expected);
        QVERIFY2(difference < 3, qPrintable(QString::number(difference)));
    }

    void iconsThroughTheTool()
    {
        const QString path = QStringLiteral(KV_TEST_DATA "/icon/nsis3-install.ico");
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("out.png"));
        const QList<ToolRun> runs = runTools({{QStringLiteral("info"), path},
                                              {QStringLiteral("decode"), path, QStringLiteral("--depth"),
                                               QStringLiteral("0"), QStringLiteral("-o"), out}});
        QCOMPARE(runs[0].exitCode, 0);
        const auto fields = infoFields(runs[0].out);
        QCOMPARE(fields.value(QStringLiteral("type")), QStringLiteral("ICO"));
        QCOMPARE(fields.value(QStringLiteral("compression")), QStringLiteral("ICO"));
        QCOMPARE(fields.value(QStringLiteral("width")), QStringLiteral("32"));
        QCOMPARE(fields.value(QStringLiteral("bits")), QStringLiteral("8"));
        QCOMPARE(runs[1].exitCode, 0);
        QImageReader png(out, "png");
        QCOMPARE(png.size(), QSize(32, 32));
        // at its own depth: a palette picture
        QCOMPARE(png.read().format(), QImage::Format_Indexed8);

        // a 256-pixel PNG entry first: width byte 0, shown at 256
        TIcon big;
        QVERIFY(big.Assign(testpictures::ramps(256, 256)));
        const QString bigPath = dir.filePath(QStringLiteral("big.ico"));
        QVERIFY(big.SaveToFile(bigPath));
        const ToolRun info = runTool({QStringLiteral("info"), bigPath});
        QCOMPARE(info.exitCode, 0);
        QCOMPARE(infoFields(info.out).value(QStringLiteral("width")), QStringLiteral("256"));
    }

    void damagedFilesFailWithOneLine_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("data");
        TMetafile metafile;
        const TBitmap small = testpictures::ramps(20, 10);
        BitmapToMetafile(&small, &metafile, false);
        const QByteArray wmf = metafile.Data();
        BitmapToMetafile(&small, &metafile, true);
        const QByteArray emf = metafile.Data();
        QTest::newRow("truncated WMF") << "a.wmf" << wmf.left(wmf.size() / 2);
        QTest::newRow("truncated EMF") << "a.emf" << emf.left(emf.size() / 2);
        QTest::newRow("EMF named WMF") << "b.wmf" << emf;
        QTest::newRow("icon of zeros") << "a.ico" << QByteArray(64, '\0');
    }

    void damagedFilesFailWithOneLine()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, data);
        QTemporaryDir dir;
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(data);
        f.close();
        const QString out = dir.filePath(QStringLiteral("out.png"));
        const QList<ToolRun> runs = runTools({{QStringLiteral("info"), f.fileName()},
                                              {QStringLiteral("decode"), f.fileName(), QStringLiteral("-o"), out}});
        // the content decides how a metafile is read, the name its type
        if (name == QLatin1String("b.wmf")) {
            QCOMPARE(runs[0].exitCode, 0);
            QCOMPARE(infoFields(runs[0].out).value(QStringLiteral("type")), QStringLiteral("WMF"));
            QCOMPARE(infoFields(runs[0].out).value(QStringLiteral("width")), QStringLiteral("20"));
            return;
        }
        for (const ToolRun& run : runs) {
            QVERIFY(run.finished && !run.crashed);
            QCOMPARE(run.exitCode, 1);
            QCOMPARE(run.errLines.size(), 1);
        }
        QVERIFY(!QFile::exists(out));
    }
};

QTEST_MAIN(TestMetafileTool)
#include "tst_metafiletool.moc"
