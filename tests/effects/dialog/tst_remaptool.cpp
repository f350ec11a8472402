// glimra-tool remap: a picture remapped to a palette file's colours, and
// the failures a user sees for bad palette files.

#include "../../tool/toolrunner.h"

#include "effects/dialog/palettefile.h"

#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

class TestRemapTool : public QObject {
    Q_OBJECT
private slots:
    void remapsToThePalette();
    void badInput();
};

namespace {

QString writeInput(const QTemporaryDir& dir)
{
    QImage picture(40, 30, QImage::Format_RGB32);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            picture.setPixel(x, y, qRgb(x * 6, y * 8, 255 - x * 6));
    const QString path = dir.filePath(QStringLiteral("in.png"));
    picture.save(path);
    return path;
}

}  // namespace

void TestRemapTool::remapsToThePalette()
{
    QTemporaryDir dir;
    const QString in = writeInput(dir);
    for (const int n : {8, 40}) {
        PaletteEntries palette;
        for (int i = 0; i < n; ++i)
            palette.push_back(dibcore::rgb((i * 37) & 0xff, (i * 91) & 0xff, (i * 53) & 0xff));
        const QString ilp = dir.filePath(QStringLiteral("p%1.ILP").arg(n));
        QVERIFY(SavePaletteFile(ilp, palette, n));
        const QString out = dir.filePath(QStringLiteral("out%1.bmp").arg(n));
        const ToolRun run = runTool({QStringLiteral("remap"), ilp, in, out});
        QCOMPARE(run.exitCode, 0);
        QImage result(out);
        QVERIFY(!result.isNull());
        QCOMPARE(result.size(), QSize(40, 30));
        QCOMPARE(result.colorCount() <= 16, n <= 16);   // 4 bits for a small palette
        // every pixel is one of the palette's colours
        QSet<QRgb> allowed;
        for (const auto& q : palette)
            allowed.insert(qRgb(q.red, q.green, q.blue));
        for (int y = 0; y < 30; y += 3)
            for (int x = 0; x < 40; x += 3)
                QVERIFY(allowed.contains(result.pixel(x, y) | 0xff000000));
    }
}

void TestRemapTool::badInput()
{
    QTemporaryDir dir;
    const QString in = writeInput(dir);
    const QString bad = dir.filePath(QStringLiteral("bad.ILP"));
    QFile f(bad);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(1046, 'x'));
    f.close();
    const QString out = dir.filePath(QStringLiteral("out.bmp"));
    ToolRun run = runTool({QStringLiteral("remap"), bad, in, out});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.errLines.size(), 1);
    QVERIFY(run.errLines.first().contains(QStringLiteral("not a Korvane 3.0 palette file")));
    QVERIFY(!QFile::exists(out));
    run = runTool({QStringLiteral("remap"), bad, in});
    QCOMPARE(run.exitCode, 2);
}

QTEST_MAIN(TestRemapTool)
#include "tst_remaptool.moc"
