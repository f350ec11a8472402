// glimra-tool info and decode over a sample of ../shared/corpus: every
// damaged, misnamed and unsupported file and every 16th valid one. Nothing
// may crash or hang; a failure is exit 1 with one line on standard error;
// valid pictures of the formats the codec reads decode at their size.

#include "toolrunner.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kCorpus = QStringLiteral(KV_SOURCE_DIR "/../shared/corpus");
constexpr int kValidStride = 16;
constexpr int kTimeoutMs = 60000;

struct Entry {
    QString path;
    QString category;
    int width = 0;
    int height = 0;
};

QList<Entry> sample()
{
    QFile f(kCorpus + QStringLiteral("/manifest.tsv"));
    QList<Entry> entries;
    if (!f.open(QIODevice::ReadOnly))
        return entries;
    f.readLine();  // column names
    int valid = 0;
    while (!f.atEnd()) {
        const QStringList cols = QString::fromUtf8(f.readLine()).trimmed().split(QLatin1Char('\t'));
        if (cols.size() < 10)
            continue;
        Entry e{cols[0], cols[9], cols[2].toInt(), cols[3].toInt()};
        if (e.category != QLatin1String("valid") || valid++ % kValidStride == 0)
            entries.append(e);
    }
    return entries;
}

// Formats the codec module reads; their valid pictures must decode.
bool readableFolder(const QString& path)
{
    static const QStringList folders = {"bmp", "dib", "gif", "jpeg", "png", "pcx", "tga", "tiff"};
    return folders.contains(path.section(QLatin1Char('/'), 0, 0));
}

QString describe(const QString& what, const ToolRun& run)
{
    return QStringLiteral("%1: finished %2 crashed %3 exit %4, stderr: %5")
        .arg(what)
        .arg(run.finished)
        .arg(run.crashed)
        .arg(run.exitCode)
        .arg(run.errLines.join(QStringLiteral(" / ")).left(400));
}

bool keptTheContract(const ToolRun& run)
{
    if (!run.finished || run.crashed)
        return false;
    if (run.exitCode == 0)
        return run.errLines.isEmpty();
    return run.exitCode == 1 && run.errLines.size() == 1 && run.out.isEmpty();
}

}  // namespace

class TestGlimraToolCorpus : public QObject {
    Q_OBJECT

private slots:
    void corpusSample_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("category");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        if (!QDir(kCorpus).exists())
            return;
        for (const Entry& e : sample())
            QTest::newRow(qPrintable(e.path)) << e.path << e.category << e.width << e.height;
    }

    void corpusSample()
    {
        if (!QDir(kCorpus).exists())
            QSKIP("no ../shared/corpus here");
        QFETCH(QString, path);
        QFETCH(QString, category);
        QFETCH(int, width);
        QFETCH(int, height);
        const QString file = kCorpus + QLatin1Char('/') + path;
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("out.png"));

        const QList<ToolRun> runs = runTools(
            {{QStringLiteral("info"), file}, {QStringLiteral("decode"), file, QStringLiteral("-o"), out}}, kTimeoutMs);
        const ToolRun& info = runs.at(0);
        const ToolRun& decode = runs.at(1);
        QVERIFY2(keptTheContract(info), qPrintable(describe(QStringLiteral("info"), info)));
        if (info.exitCode == 0)
            QVERIFY2(!infoFields(info.out).isEmpty(), qPrintable(info.out));

        QVERIFY2(keptTheContract(decode), qPrintable(describe(QStringLiteral("decode"), decode)));
        if (decode.exitCode == 0) {
            QImageReader png(out, "png");
            QVERIFY2(png.size().isValid() && !png.size().isEmpty(), qPrintable(png.errorString()));
        }
        if (category == QLatin1String("valid") && readableFolder(path)) {
            QCOMPARE(info.exitCode, 0);
            QCOMPARE(decode.exitCode, 0);
            const auto fields = infoFields(info.out);
            QCOMPARE(fields.value(QStringLiteral("width")).toInt(), width);
            QCOMPARE(fields.value(QStringLiteral("height")).toInt(), height);
            QCOMPARE(QImageReader(out, "png").size(), QSize(width, height));
        }
    }
};

QTEST_MAIN(TestGlimraToolCorpus)
#include "tst_glimratoolcorpus.moc"
