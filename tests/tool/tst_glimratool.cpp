// glimra-tool info and decode run as processes on files from tests/data and
// files the test writes: exit codes, the single error line, the info line
// and the decoded pixels.

#include "toolrunner.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {

const QString kData = QStringLiteral(KV_BINDING_DATA);

QString data(const char* name)
{
    return kData + QLatin1Char('/') + QLatin1String(name);
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// An 8-bit BMP stored top-down (negative height): 5 x 3, index = x + y.
QByteArray topDownBmp()
{
    const int w = 5, h = 3, stride = 8;
    QByteArray b(14 + 40 + 1024 + stride * h, '\0');
    uchar* p = reinterpret_cast<uchar*>(b.data());
    p[0] = 'B';
    p[1] = 'M';
    qToLittleEndian<quint32>(quint32(b.size()), p + 2);
    qToLittleEndian<quint32>(14 + 40 + 1024, p + 10);
    qToLittleEndian<quint32>(40, p + 14);
    qToLittleEndian<qint32>(w, p + 18);
    qToLittleEndian<qint32>(-h, p + 22);
    qToLittleEndian<quint16>(1, p + 26);
    qToLittleEndian<quint16>(8, p + 28);
    for (int i = 0; i < 256; ++i) {
        p[54 + 4 * i] = uchar(i * 40);       // blue
        p[54 + 4 * i + 1] = uchar(i * 20);   // green
        p[54 + 4 * i + 2] = uchar(255 - i);  // red
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p[14 + 40 + 1024 + y * stride + x] = uchar(x + y);
    return b;
}

QRgb topDownColour(int x, int y)
{
    const int i = x + y;
    return qRgb(255 - i, i * 20, i * 40);
}

int maxDifference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return 256;
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    return worst;
}

QImage filled(int w, int h, QRgb colour)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(colour);
    return img;
}

void verifyFailure(const ToolRun& run, int exitCode)
{
    QVERIFY2(run.finished, "did not finish");
    QVERIFY2(!run.crashed, "crashed");
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.errLines.size(), 1);
    QVERIFY(run.errLines.first().startsWith(QStringLiteral("glimra-tool: ")));
    QCOMPARE(run.out, QString());
}

}  // namespace

class TestGlimraTool : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

private slots:
    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        const QString png = data("rose.png");
        QTest::newRow("nothing") << QStringList{};
        QTest::newRow("unknown command") << QStringList{"frobnicate", png};
        QTest::newRow("info without file") << QStringList{"info"};
        QTest::newRow("info with two files") << QStringList{"info", png, png};
        QTest::newRow("page without value") << QStringList{"info", png, "--page"};
        QTest::newRow("negative page") << QStringList{"info", png, "--page", "-1"};
        QTest::newRow("page not a number") << QStringList{"info", png, "--page", "two"};
        QTest::newRow("decode without -o") << QStringList{"decode", png};
        QTest::newRow("depth 16") << QStringList{"decode", png, "--depth", "16", "-o", "x.png"};
        QTest::newRow("unknown option") << QStringList{"decode", png, "--colour", "1", "-o", "x.png"};
        QTest::newRow("option twice") << QStringList{"decode", png, "-o", "x.png", "-o", "y.png"};
    }

    void usageErrors()
    {
        QFETCH(QStringList, args);
        verifyFailure(runTool(args), 2);
    }

    void unreadableFilesFail_data()
    {
        QTest::addColumn<QString>("path");
        QByteArray noise(4096, '\0');
        for (int i = 0; i < noise.size(); ++i)
            noise[i] = char((i * 7919) >> 3);
        QByteArray bomb = topDownBmp();
        qToLittleEndian<qint32>(60000, bomb.data() + 18);
        qToLittleEndian<qint32>(60000, bomb.data() + 22);
        const QByteArray rose = readFile(data("rose.png"));
        QTest::newRow("missing") << dir_.filePath(QStringLiteral("missing.png"));
        QTest::newRow("folder") << dir_.path();
        QTest::newRow("metafile") << writeFile(dir_, QStringLiteral("a.wmf"), "\xd7\xcd\xc6\x9a");
        QTest::newRow("icon") << writeFile(dir_, QStringLiteral("a.ico"), QByteArray(22, '\0'));
        QTest::newRow("unknown type") << writeFile(dir_, QStringLiteral("a.xyz"), rose);
        QTest::newRow("empty jpeg") << writeFile(dir_, QStringLiteral("empty.jpg"), QByteArray());
        QTest::newRow("noise png") << writeFile(dir_, QStringLiteral("noise.png"), noise);
        QTest::newRow("text gif") << writeFile(dir_, QStringLiteral("text.gif"), "GIF? no, plain text\n");
        QTest::newRow("huge bmp") << writeFile(dir_, QStringLiteral("bomb.bmp"), bomb);
        QTest::newRow("half png") << writeFile(dir_, QStringLiteral("half.png"), rose.left(rose.size() / 2));
    }

    void unreadableFilesFail()
    {
        QFETCH(QString, path);
        const QString out = dir_.filePath(QStringLiteral("never.png"));
        const ToolRun decode = runTool({QStringLiteral("decode"), path, QStringLiteral("-o"), out});
        verifyFailure(decode, 1);
        QVERIFY(decode.errLines.first().contains(path));
        QVERIFY(!QFile::exists(out));
        // Information may still be there for a picture whose data is bad.
        const ToolRun info = runTool({QStringLiteral("info"), path});
        QVERIFY(info.finished && !info.crashed);
        if (info.exitCode == 0)
            QVERIFY(!infoFields(info.out).isEmpty());
        else
            verifyFailure(info, 1);
    }

    void annotationsArePrintedAndBurntIn()
    {
        QImage white(120, 100, QImage::Format_RGB32);
        white.fill(Qt::white);
        const QString picture = dir_.filePath(QStringLiteral("annotated.png"));
        QVERIFY(white.save(picture));
        QVERIFY(QFile::copy(QStringLiteral(KV_SOURCE_DIR "/tests/data/codec/annotations.ant"),
                            dir_.filePath(QStringLiteral("annotated-png.ant"))));
        const ToolRun info = runTool({QStringLiteral("info"), picture, QStringLiteral("--annotations")});
        QCOMPARE(info.exitCode, 0);
        const QStringList lines = info.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);   // the picture's one page has annotations
        QCOMPARE(lines[1], QStringLiteral("page=0 annotations=3 kinds=PolyLine,Ellipse,Notes"));
        QCOMPARE(runTool({QStringLiteral("info"), picture}).out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size(), 1);

        const QString plain = dir_.filePath(QStringLiteral("plain.png"));
        const QString burnt = dir_.filePath(QStringLiteral("burnt.png"));
        QCOMPARE(runTool({QStringLiteral("decode"), picture, QStringLiteral("-o"), plain}).exitCode, 0);
        QCOMPARE(runTool({QStringLiteral("decode"), picture, QStringLiteral("--annotations"), QStringLiteral("-o"), burnt})
                     .exitCode,
                 0);
        QCOMPARE(QImage(plain).convertToFormat(QImage::Format_RGB32), white);
        const QImage withNotes = QImage(burnt);
        QCOMPARE(withNotes.size(), white.size());
        // the note (10,10)-(80,60) is filled with its yellow
        QCOMPARE(QColor(withNotes.pixel(60, 50)), QColor(255, 255, 0));
        QVERIFY(runTool({QStringLiteral("--help")}).out.contains(QStringLiteral("--annotations")) ||
                runTool({QStringLiteral("--help")}).errLines.join(' ').contains(QStringLiteral("--annotations")));
    }

    void infoLine_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("type");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("bits");
        QTest::addColumn<QString>("compression");
        QTest::addColumn<int>("pages");
        QTest::newRow("top-down bmp") << writeFile(dir_, QStringLiteral("top.bmp"), topDownBmp()) << 0 << "BMP" << 5
                                      << 3 << 8 << "RGB" << 1;
        QTest::newRow("4-bit bmp") << data("rose4.bmp") << 0 << "BMP" << 70 << 46 << 4 << "RGB" << 1;
        QTest::newRow("png") << data("rose.png") << 0 << "PNG" << 70 << 46 << 24 << "Deflate" << 1;
        QTest::newRow("gif") << data("rose16.gif") << 0 << "GIF" << 70 << 46 << 4 << "LZW" << 1;
        QTest::newRow("pcx") << data("rose.pcx") << 0 << "PCX" << 70 << 46 << 24 << "RLE" << 1;
        QTest::newRow("tiff page 0") << data("pages3.tif") << 0 << "TIF" << 4 << 3 << 24 << "LZW" << 3;
        QTest::newRow("tiff page 1") << data("pages3.tif") << 1 << "TIF" << 6 << 2 << 24 << "LZW" << 3;
        QTest::newRow("tiff page past the end") << data("pages3.tif") << 9 << "TIF" << 5 << 5 << 24 << "LZW" << 3;
        // floating-point samples: the depth they are shown at
        QTest::newRow("float tiff") << QStringLiteral(KV_SOURCE_DIR "/tests/data/codec/rose-float64-planar.tif") << 0
                                    << "TIF" << 35 << 23 << 24 << "NONE" << 1;
        // message files under the picture control's names
        QTest::newRow("scrolling message") << writeFile(dir_, QStringLiteral("hello.scm"),
                                                        "/fc|255/fh|-13/fn|Arial/fs|10/ft|0000/bc|0/sp|1/sm|Hallo/eo|")
                                           << 0 << "SCM" << 0 << 0 << 0 << "SCM" << 1;
        QTest::newRow("credits") << writeFile(dir_, QStringLiteral("thanks.CMS"), "\r\n255\r\n-13\r\nArial\r\n")
                                 << 0 << "CMS" << 0 << 0 << 0 << "CMS" << 1;
    }

    void infoLine()
    {
        QFETCH(QString, path);
        QFETCH(int, page);
        QFETCH(QString, type);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, bits);
        QFETCH(QString, compression);
        QFETCH(int, pages);
        const ToolRun run = runTool({QStringLiteral("info"), path, QStringLiteral("--page"), QString::number(page)});
        QVERIFY(run.finished && !run.crashed);
        QCOMPARE(run.errLines, QStringList());
        QCOMPARE(run.exitCode, 0);
        const auto f = infoFields(run.out);
        QVERIFY2(!f.isEmpty(), qPrintable(run.out));
        QCOMPARE(f.value("type"), type);
        QCOMPARE(f.value("width").toInt(), width);
        QCOMPARE(f.value("height").toInt(), height);
        QCOMPARE(f.value("bits").toInt(), bits);
        QCOMPARE(f.value("compression"), compression);
        QCOMPARE(f.value("pages").toInt(), pages);
        QCOMPARE(f.value("size").toLongLong(), QFileInfo(path).size());
    }

    void decodeGivesTheInputPixels_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QImage>("expected");
        QTest::addColumn<int>("tolerance");
        QTest::addColumn<int>("maxColours");  // 0: not checked

        const QImage rose(data("rose.png"));
        const QImage rose16(data("rose16.gif"));
        const QImage rose4(data("rose4.bmp"));
        QImage jpegRef;
        const QString jpeg = dir_.filePath(QStringLiteral("rose.jpg"));
        QVERIFY(rose.save(jpeg, "JPG", 90));
        QVERIFY(jpegRef.load(jpeg));
        QImage bw(9, 4, QImage::Format_RGB32);
        for (int y = 0; y < bw.height(); ++y)
            for (int x = 0; x < bw.width(); ++x)
                bw.setPixel(x, y, (x * y) % 3 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        const QString bwPath = dir_.filePath(QStringLiteral("bw.png"));
        QVERIFY(bw.save(bwPath));
        QImage topDown(5, 3, QImage::Format_RGB32);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                topDown.setPixel(x, y, topDownColour(x, y));

        QTest::newRow("png") << data("rose.png") << QStringList{} << rose << 0 << 0;
        QTest::newRow("png at 8 bits") << data("rose.png") << QStringList{"--depth", "8"} << rose << 40 << 256;
        QTest::newRow("gif") << data("rose16.gif") << QStringList{} << rose16 << 0 << 0;
        QTest::newRow("gif at 8 bits") << data("rose16.gif") << QStringList{"--depth", "8"} << rose16 << 0 << 256;
        QTest::newRow("gif at its own depth") << data("rose16.gif") << QStringList{"--depth", "0"} << rose16 << 0 << 16;
        QTest::newRow("4-bit bmp at its own depth") << data("rose4.bmp") << QStringList{"--depth", "0"} << rose4 << 0
                                                    << 16;
        QTest::newRow("4-bit bmp at 24") << data("rose4.bmp") << QStringList{"--depth", "24"} << rose4 << 0 << 0;
        QTest::newRow("pcx") << data("rose.pcx") << QStringList{} << rose << 0 << 0;
        QTest::newRow("rle tga") << data("rose-rle.tga") << QStringList{} << rose << 0 << 0;
        QTest::newRow("jpeg") << jpeg << QStringList{} << jpegRef << 2 << 0;
        QTest::newRow("black and white at 1 bit") << bwPath << QStringList{"--depth", "1"} << bw << 0 << 2;
        QTest::newRow("top-down bmp") << writeFile(dir_, QStringLiteral("top2.bmp"), topDownBmp()) << QStringList{}
                                      << topDown << 0 << 0;
        QTest::newRow("tiff page 1") << data("pages3.tif") << QStringList{"--page", "1"}
                                     << filled(6, 2, qRgb(0, 255, 0)) << 0 << 0;
        QTest::newRow("tiff page past the end") << data("pages3.tif") << QStringList{"--page", "7"}
                                                << filled(5, 5, qRgb(0, 0, 255)) << 0 << 0;
    }

    void decodeGivesTheInputPixels()
    {
        QFETCH(QString, path);
        QFETCH(QStringList, options);
        QFETCH(QImage, expected);
        QFETCH(int, tolerance);
        QFETCH(int, maxColours);
        QVERIFY(!expected.isNull());
        const QString out = dir_.filePath(QStringLiteral("out-%1.png").arg(QTest::currentDataTag()));
        const ToolRun run = runTool(QStringList{QStringLiteral("decode"), path} + options + QStringList{"-o", out});
        QVERIFY(run.finished && !run.crashed);
        QCOMPARE(run.errLines, QStringList());
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QString());
        const QImage decoded(out);
        QVERIFY(!decoded.isNull());
        QCOMPARE(decoded.size(), expected.size());
        QVERIFY2(maxDifference(decoded, expected) <= tolerance,
                 qPrintable(QStringLiteral("differs by %1").arg(maxDifference(decoded, expected))));
        if (maxColours) {
            QCOMPARE(decoded.format(), maxColours == 2 ? QImage::Format_Mono : QImage::Format_Indexed8);
            QVERIFY(decoded.colorCount() <= maxColours);
        }
    }

    void claimsBeyondTheFileAreDamage_data()
    {
        QTest::addColumn<QString>("path");
        const QString hostile = QStringLiteral(KV_SOURCE_DIR "/tests/data/codec/hostile/");
        for (const char* f : {"gif-screen-32768.gif", "bmp-rle8-16384.bmp", "tiff-strip-16384.tif",
                              "png-ihdr-16384.png", "ico-png-16384.ico"})
            QTest::newRow(f) << hostile + QLatin1String(f);
    }

    // Both commands say why: the binding's English reason ends the line.
    void claimsBeyondTheFileAreDamage()
    {
        QFETCH(QString, path);
        const QString out = dir_.filePath(QStringLiteral("never.png"));
        const QList<ToolRun> runs = runTools({{QStringLiteral("info"), path},
                                              {QStringLiteral("decode"), path, QStringLiteral("-o"), out}});
        for (const ToolRun& run : runs) {
            verifyFailure(run, 1);
            QVERIFY2(run.errLines.first().endsWith(QStringLiteral("the file is too small for the picture it claims")),
                     qPrintable(run.errLines.first()));
        }
        QVERIFY(!QFile::exists(out));
    }

    void messageFilesAreNoPictures()
    {
        const QString scm = writeFile(dir_, QStringLiteral("msg.scm"), "/fc|255/sm|Hallo/eo|");
        const ToolRun run = runTool({QStringLiteral("decode"), scm, QStringLiteral("-o"), dir_.filePath("m.png")});
        verifyFailure(run, 1);
    }

    void runsWithoutADisplaySetting()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        const ToolRun run = runTool({QStringLiteral("info"), data("rose.png")}, 60000, env);
        QVERIFY(run.finished && !run.crashed);
        QCOMPARE(run.errLines, QStringList());
        QCOMPARE(run.exitCode, 0);
        QVERIFY(!infoFields(run.out).isEmpty());
        // a platform that cannot start would be Qt's own message and an abort
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QCOMPARE(runTool({QStringLiteral("info"), data("rose.png")}, 60000, env).exitCode, 0);
    }
};

QTEST_MAIN(TestGlimraTool)
#include "tst_glimratool.moc"
