// glimra-tool convert run as a process: its lines, totals and exit codes.

#include "toolrunner.h"

#include <QDir>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QRegularExpression kTotals(QStringLiteral("^converted=(\\d+) skipped=(\\d+) failed=(\\d+) ms=(\\d+)$"));

QStringList linesOf(const ToolRun& run)
{
    return run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// converted, skipped, failed of the closing line; empty when it is missing.
QList<int> totalsOf(const ToolRun& run)
{
    const QStringList lines = linesOf(run);
    const auto m = kTotals.match(lines.value(lines.size() - 1));
    if (!m.hasMatch())
        return {};
    return {m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt()};
}

}  // namespace

class ConvertCommandTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString in(const QString& name) const { return dir_.filePath(name); }
    QString out(const QString& name) const { return dir_.filePath("out/" + name); }

private slots:
    void initTestCase()
    {
        QImage image(60, 40, QImage::Format_RGB32);
        image.fill(Qt::magenta);
        QVERIFY(image.save(in("a.png")));
        QVERIFY(QFile::copy(KV_BINDING_DATA "/pages3.tif", in("p.tif")));
        QFile bad(in("bad.png"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("\x89PNG\r\n\x1a\n not a picture");
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no --to") << QStringList{"--out", "o", "a.png"};
        QTest::newRow("unknown format") << QStringList{"--to", "xyz", "--out", "o", "a.png"};
        QTest::newRow("width alone") << QStringList{"--to", "png", "--width", "9", "--out", "o", "a.png"};
        QTest::newRow("size and percent")
            << QStringList{"--to", "png", "--width", "9", "--height", "9", "--percent", "5", "--out", "o", "a.png"};
        QTest::newRow("bad depth") << QStringList{"--to", "png", "--depth", "16", "--out", "o", "a.png"};
        QTest::newRow("bad overwrite") << QStringList{"--to", "png", "--overwrite", "maybe", "--out", "o", "a.png"};
        QTest::newRow("no files") << QStringList{"--to", "png", "--out", "o"};
    }
    void usageErrors()
    {
        QFETCH(QStringList, args);
        const ToolRun run = runTool(QStringList{"convert"} + args);
        QVERIFY(run.finished && !run.crashed);
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.out.isEmpty());
    }

    // Every page with --split-pages, named as the dialog names them; again
    // with --overwrite no, all skipped by choice (exit 0); with a file that
    // cannot be read, exit 1.
    void convertsSkipsAndFails()
    {
        const QStringList base{"convert", "--to", "png", "--percent", "50", "--out", dir_.filePath("out")};
        ToolRun run = runTool(base + QStringList{"--split-pages", in("a.png"), in("p.tif")});
        QVERIFY(run.finished && !run.crashed);
        QCOMPARE(run.exitCode, 0);
        QStringList lines = linesOf(run);
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines[0], QString("converted %1 -> %2").arg(in("a.png"), out("a.png")));
        for (int page = 1; page <= 3; ++page)
            QCOMPARE(lines[page], QString("converted %1 -> %2").arg(in("p.tif"), out(QString("p_Seite_%1.png").arg(page))));
        QCOMPARE(totalsOf(run), (QList<int>{4, 0, 0}));
        QCOMPARE(QImage(out("a.png")).size(), QSize(30, 20));

        run = runTool(base + QStringList{"--overwrite", "no", in("a.png"), in("p.tif")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(linesOf(run).value(1), QString("skipped %1 -> %2 (exists)").arg(in("p.tif"), out("p_Seite_1.png")));
        QCOMPARE(totalsOf(run), (QList<int>{0, 2, 0}));

        run = runTool(base + QStringList{"--overwrite", "rename", in("bad.png"), in("a.png")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(linesOf(run).value(0).startsWith(QString("failed %1: ").arg(in("bad.png"))));
        QCOMPARE(linesOf(run).value(1), QString("converted %1 -> %2").arg(in("a.png"), out("a_1.png")));
        QCOMPARE(totalsOf(run), (QList<int>{1, 0, 1}));
        QVERIFY(!QFile::exists(out("bad.png")));
    }

    // Without a terminal "ask" keeps the existing file; "yes" replaces it.
    void askWithoutTerminalKeeps()
    {
        const QStringList base{"convert", "--to", "bmp", "--out", dir_.filePath("out2")};
        QCOMPARE(runTool(base + QStringList{in("a.png")}).exitCode, 0);
        ToolRun run = runTool(base + QStringList{"--width", "10", "--height", "10", in("a.png")});
        QCOMPARE(totalsOf(run), (QList<int>{0, 1, 0}));
        QCOMPARE(QImage(dir_.filePath("out2/a.bmp")).size(), QSize(60, 40));
        run = runTool(base + QStringList{"--overwrite", "yes", "--width", "10", "--height", "10", in("a.png")});
        QCOMPARE(totalsOf(run), (QList<int>{1, 0, 0}));
        QCOMPARE(QImage(dir_.filePath("out2/a.bmp")).size(), QSize(10, 7));
    }
};

QTEST_MAIN(ConvertCommandTest)
#include "tst_convertcommand.moc"
