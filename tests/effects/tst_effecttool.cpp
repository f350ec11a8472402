// glimra-tool effect run as a process: results written by extension, the
// rectangle option, and the exit codes with their single error line.

#include "dibfixtures.h"

#include "../tool/toolrunner.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

using namespace fixtures;

namespace {

// The DIB as a BMP file.
QString writeBmp(const QTemporaryDir& dir, const QString& name, GlobalHandle dib)
{
    const QString path = dir.filePath(name);
    const qsizetype size = qsizetype(globalmem::size(dib));
    const int table = bitCount(dib) <= 8 ? (1 << bitCount(dib)) * 4 : 0;
    char header[14] = {'B', 'M'};
    qToLittleEndian<quint32>(quint32(14 + size), header + 2);
    qToLittleEndian<quint32>(quint32(54 + table), header + 10);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(header, 14);
    f.write(static_cast<const char*>(globalmem::lock(dib)), size);
    globalmem::unlock(dib);
    return path;
}

// The DIB inside a BMP file the tool wrote.
GlobalHandle readBmp(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return nullptr;
    const QByteArray bytes = f.readAll();
    if (bytes.size() < 54 || !bytes.startsWith("BM"))
        return nullptr;
    GlobalHandle h = globalmem::alloc(std::size_t(bytes.size() - 14));
    std::memcpy(globalmem::lock(h), bytes.constData() + 14, std::size_t(bytes.size() - 14));
    globalmem::unlock(h);
    return h;
}

void expectFailure(const ToolRun& run, int code)
{
    QVERIFY(run.finished && !run.crashed);
    QCOMPARE(run.exitCode, code);
    QCOMPARE(run.errLines.size(), 1);
}

}  // namespace

class EffectToolTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }
    void effectsWriteTheirResult();
    void rectangleLimitsTheEffect();
    void paletteInputKeepsItsDepth();
    void failuresAndUsage();
    void numbersFitTheirArguments();
    void curlTakesItsNineteenNumbers();

private:
    QTemporaryDir dir;
};

void EffectToolTest::effectsWriteTheirResult()
{
    Owned dib(patterned(40, 30));
    const QString in = writeBmp(dir, QStringLiteral("in.bmp"), dib.get());
    const QString out = dir.filePath(QStringLiteral("inverted.bmp"));
    const ToolRun run = runTool({QStringLiteral("effect"), QStringLiteral("ILInvert"), in, out});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.errLines.isEmpty());
    Owned result(readBmp(out));
    QVERIFY(result.get());
    const QRgb before = pixel(dib.get(), 7, 9);
    QCOMPARE(pixel(result.get(), 7, 9), qRgb(255 - qRed(before), 255 - qGreen(before), 255 - qBlue(before)));

    // negative numbers are numbers; PNG through its extension
    const QString png = dir.filePath(QStringLiteral("darker.png"));
    QCOMPARE(runTool({QStringLiteral("effect"), QStringLiteral("ILBrightness"), QStringLiteral("-40"), in, png}).exitCode, 0);
    const QImage darker(png);
    QCOMPARE(darker.size(), QSize(40, 30));
    QCOMPARE(darker.pixel(7, 9), qRgb(qMax(0, qRed(before) - 40), qMax(0, qGreen(before) - 40), qMax(0, qBlue(before) - 40)));

    const QString turned = dir.filePath(QStringLiteral("turned.png"));
    QCOMPARE(runTool({QStringLiteral("effect"), QStringLiteral("ILRotate"), QStringLiteral("90"), QStringLiteral("0"), in,
                      turned}).exitCode, 0);
    QCOMPARE(QImage(turned).size(), QSize(30, 40));
    const QString small = dir.filePath(QStringLiteral("small.bmp"));
    QCOMPARE(runTool({QStringLiteral("effect"), QStringLiteral("ScaleDib"), QStringLiteral("10"), QStringLiteral("5"),
                      QStringLiteral("24"), in, small}).exitCode, 0);
    Owned scaled(readBmp(small));
    QCOMPARE(width(scaled.get()), 10);
    QCOMPARE(height(scaled.get()), 5);
}

void EffectToolTest::rectangleLimitsTheEffect()
{
    Owned dib(patterned(40, 30));
    const QString in = writeBmp(dir, QStringLiteral("rect.bmp"), dib.get());
    const QString out = dir.filePath(QStringLiteral("rect-out.bmp"));
    const ToolRun run = runTool({QStringLiteral("effect"), QStringLiteral("Blur"), QStringLiteral("6"),
                                 QStringLiteral("--rect"), QStringLiteral("5,6,20,25"), in, out});
    QCOMPARE(run.exitCode, 0);
    Owned result(readBmp(out));
    QVERIFY(samePixels(result.get(), dib.get(), 5, 6, 20, 25));
    QVERIFY(!samePixels(result.get(), dib.get(), 5, 6, 20, 25, true));
}

void EffectToolTest::paletteInputKeepsItsDepth()
{
    Owned dib(makeIndexedDib(32, 16, 8, dibcore::greyPalette(256), [](int x, int) { return (x / 4) % 2 ? 255 : 0; }));
    const QString in = writeBmp(dir, QStringLiteral("grey8.bmp"), dib.get());
    const QString out = dir.filePath(QStringLiteral("grey8-out.bmp"));
    QCOMPARE(runTool({QStringLiteral("effect"), QStringLiteral("Blur"), QStringLiteral("4"), in, out}).exitCode, 0);
    Owned result(readBmp(out));
    QCOMPARE(bitCount(result.get()), 8);
    QVERIFY(differingPixels(result.get(), dib.get()) > 0);
}

void EffectToolTest::failuresAndUsage()
{
    Owned dib(patterned(8, 8));
    const QString in = writeBmp(dir, QStringLiteral("small-in.bmp"), dib.get());
    const QString out = dir.filePath(QStringLiteral("never.bmp"));
    const QString effect = QStringLiteral("effect");
    expectFailure(runTool({effect, QStringLiteral("NoSuchEffect"), in, out}), 2);
    expectFailure(runTool({effect, QStringLiteral("FXSkipHorizontal"), QStringLiteral("4"), QStringLiteral("0"), in, out}), 2);
    expectFailure(runTool({effect, QStringLiteral("DropDib"), in, out}), 2);
    expectFailure(runTool({effect, QStringLiteral("Blur"), in, out}), 2);  // its number missing
    expectFailure(runTool({effect, QStringLiteral("Blur"), QStringLiteral("x"), in, out}), 2);
    expectFailure(runTool({effect, QStringLiteral("Blur"), QStringLiteral("3"), QStringLiteral("--rect"),
                           QStringLiteral("1,2,3"), in, out}), 2);
    expectFailure(runTool({effect, QStringLiteral("TileDib"), QStringLiteral("--rect"), QStringLiteral("0,0,4,4"), in, out}), 2);
    expectFailure(runTool({effect, QStringLiteral("ScaleToGray"), QStringLiteral("9"), QStringLiteral("4"),
                           QStringLiteral("4"), in, out}), 2);
    expectFailure(runTool({effect, QStringLiteral("Blur"), QStringLiteral("3"), dir.filePath(QStringLiteral("missing.bmp")), out}), 1);
    expectFailure(runTool({effect, QStringLiteral("Noise"), QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("0"),
                           QStringLiteral("20"), QStringLiteral("20"), in, out}), 1);  // red 0: no picture
    QFile damaged(dir.filePath(QStringLiteral("damaged.bmp")));
    damaged.open(QIODevice::WriteOnly);
    damaged.write("BM\x10\0\0\0garbage");
    damaged.close();
    expectFailure(runTool({effect, QStringLiteral("Blur"), QStringLiteral("3"), damaged.fileName(), out}), 1);
    QVERIFY(!QFile::exists(out));
}

// 8- and 16-bit arguments take whole numbers in their range; anything else
// is a usage error, never a value cut to fit.
void EffectToolTest::numbersFitTheirArguments()
{
    Owned dib(patterned(8, 8));
    const QString in = writeBmp(dir, QStringLiteral("fit-in.bmp"), dib.get());
    const QString out = dir.filePath(QStringLiteral("fit-out.bmp"));
    auto mosaic = [&](const QString& red) {
        QStringList args{QStringLiteral("effect"), QStringLiteral("Mosaic")};
        for (const char* n : {"4", "4", "0", "0", "0", "0", "0", "0"})
            args << QLatin1String(n);
        args << red << QStringLiteral("0") << QStringLiteral("0") << QStringLiteral("255") << QStringLiteral("255")
             << QStringLiteral("255") << in << out;
        return runTool(args);
    };
    for (const char* bad : {"300", "256", "-1", "2.5"})
        expectFailure(mosaic(QLatin1String(bad)), 2);
    QVERIFY(!QFile::exists(out));
    QCOMPARE(mosaic(QStringLiteral("255")).exitCode, 0);
    QVERIFY(QFile::exists(out));

    auto hue = [&](const QString& shift) {
        return runTool({QStringLiteral("effect"), QStringLiteral("ilHueAndSaturation"), QStringLiteral("1"),
                        QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1"),
                        QStringLiteral("1"), shift, QStringLiteral("0"), QStringLiteral("0"), in, out});
    };
    expectFailure(hue(QStringLiteral("40000")), 2);
    expectFailure(hue(QStringLiteral("-32769")), 2);
    QCOMPARE(hue(QStringLiteral("-32768")).exitCode, 0);
    expectFailure(runTool({QStringLiteral("effect"), QStringLiteral("Jiggle"), QStringLiteral("3"), QStringLiteral("4"),
                           QStringLiteral("70000"), in, out}),
                  2);
}

void EffectToolTest::curlTakesItsNineteenNumbers()
{
    Owned dib(patterned(40, 30));
    const QString in = writeBmp(dir, QStringLiteral("curl-in.bmp"), dib.get());
    const QString out = dir.filePath(QStringLiteral("curl-out.bmp"));
    // background and shadow options, transparency, shade, corners, directions,
    // then the foreground and background colours
    const QStringList numbers{"1", "0", "0", "0", "1", "0.5", "1", "0", "0", "1", "0", "0", "1",
                              "255", "0", "0", "0", "0", "255"};
    QCOMPARE(numbers.size(), 19);
    const ToolRun run = runTool(QStringList{QStringLiteral("effect"), QStringLiteral("Curl")} + numbers +
                                QStringList{in, out});
    QCOMPARE(run.exitCode, 0);
    Owned curled(readBmp(out));
    QVERIFY(curled.get());
    QVERIFY(differingPixels(curled.get(), dib.get()) > 0);
    expectFailure(runTool(QStringList{QStringLiteral("effect"), QStringLiteral("Curl")} + numbers +
                          QStringList{QStringLiteral("0"), QStringLiteral("0"), in, out}),
                  2);
}

QTEST_GUILESS_MAIN(EffectToolTest)
#include "tst_effecttool.moc"
