// Icons: the directory of real files (PNG entries, 256-pixel entries whose
// width byte is 0), the shown entry, our own DIB reading against Qt's ICO
// plugin, the writer read back by us and by ImageMagick, hostile files.

#include "codec/binding/tbitmap.h"
#include "codec/icon/icondirectory.h"
#include "codec/icon/iconimage.h"
#include "codec/icon/ticon.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QImageReader>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {

const QString kData = QStringLiteral(KV_TEST_DATA "/icon/");

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString describe(const QList<IconEntry>& entries)
{
    QStringList parts;
    for (const IconEntry& e : entries)
        parts << QStringLiteral("%1x%2/%3%4").arg(e.imageWidth).arg(e.imageHeight).arg(e.imageBits).arg(e.png ? "png" : "");
    return parts.join(QLatin1Char(' '));
}

// Equal visibility everywhere, equal colours where visible (within what a
// premultiplied copy of a faint pixel keeps).
int differingPixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return -1;
    const QImage x = a.convertToFormat(QImage::Format_ARGB32), y = b.convertToFormat(QImage::Format_ARGB32);
    int differing = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            const int tolerance = qAlpha(p) == 0 ? 255 : 255 / qAlpha(p);
            if (qAlpha(p) != qAlpha(q) || std::abs(qRed(p) - qRed(q)) > tolerance ||
                std::abs(qGreen(p) - qGreen(q)) > tolerance || std::abs(qBlue(p) - qBlue(q)) > tolerance)
                ++differing;
        }
    return differing;
}

QImage pattern(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgba((x * 37) % 256, (y * 53) % 256, ((x + y) * 11) % 256, 255));
    return img;
}

// A one-entry icon of 2 x 2 pixels at 16 bits (5-5-5) with one masked pixel.
QByteArray sixteenBitIcon()
{
    QByteArray d(22 + 40, '\0');
    auto* p = reinterpret_cast<uchar*>(d.data());
    qToLittleEndian<quint16>(1, p + 2);
    qToLittleEndian<quint16>(1, p + 4);
    p[6] = 2;
    p[7] = 2;
    qToLittleEndian<quint16>(1, p + 10);
    qToLittleEndian<quint16>(16, p + 12);
    qToLittleEndian<quint32>(22, p + 18);
    uchar* h = p + 22;
    qToLittleEndian<quint32>(40, h);
    qToLittleEndian<qint32>(2, h + 4);
    qToLittleEndian<qint32>(4, h + 8);
    qToLittleEndian<quint16>(1, h + 12);
    qToLittleEndian<quint16>(16, h + 14);
    // bottom row: blue, white; top row: red, green (5-5-5)
    for (quint16 v : {quint16(0x001F), quint16(0x7FFF), quint16(0x7C00), quint16(0x03E0)})
        d.append(char(v & 0xFF)).append(char(v >> 8));
    // AND mask, bottom row first: the bottom right pixel hidden
    d.append(QByteArray("\x40\0\0\0", 4)).append(QByteArray(4, '\0'));
    qToLittleEndian<quint32>(quint32(d.size() - 22), reinterpret_cast<uchar*>(d.data()) + 14);
    return d;
}

}  // namespace

class TestIcon : public QObject {
    Q_OBJECT

private slots:
    void realIcons_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("entries");
        QTest::addColumn<QSize>("shown");
        QTest::addColumn<int>("shownBits");
        QTest::newRow("4, 8 bits and 256 PNG") << "nsis3-install.ico"
                                               << "32x32/4 16x16/4 256x256/32png 48x48/8 32x32/8 16x16/8" << QSize(32, 32) << 8;
        QTest::newRow("4 bits") << "classic-install.ico" << "16x16/4 32x32/4" << QSize(16, 16) << 4;
        QTest::newRow("32 bits") << "opencv.ico" << "32x32/32" << QSize(32, 32) << 32;
        QTest::newRow("alpha and masks") << "modern-install-colorful.ico"
                                         << "16x16/4 16x16/8 32x32/4 32x32/8 48x48/8 16x16/32 32x32/32 48x48/32"
                                         << QSize(16, 16) << 32;
    }

    void realIcons()
    {
        QFETCH(QString, file);
        QFETCH(QString, entries);
        QFETCH(QSize, shown);
        QFETCH(int, shownBits);
        TIcon icon;
        QVERIFY2(icon.LoadFromFile(kData + file), qPrintable(icon.Error()));
        QCOMPARE(describe(icon.Entries()), entries);
        QCOMPARE(QSize(icon.Width(), icon.Height()), shown);
        QCOMPARE(icon.Shown()->imageBits, shownBits);
        for (int i = 0; i < icon.Entries().size(); ++i) {
            const IconEntry& e = icon.Entries()[i];
            const QImage img = icon.Image(i);
            QCOMPARE(img.size(), QSize(e.imageWidth, e.imageHeight));
            // a 256-pixel entry is stored with width and height bytes 0
            if (e.imageWidth == 256)
                QCOMPARE(e.width, 256);
        }
    }

    void firstEntryFieldsAsStored()
    {
        int w = -1, h = -1;
        quint16 colors = 0;
        QVERIFY(icondirectory::firstEntryFields(readFile(kData + "nsis3-install.ico"), w, h, colors));
        QCOMPARE(w, 32);
        QCOMPARE(h, 32);
        QCOMPARE(colors, quint16(16));
        TIcon big;
        QVERIFY(big.Assign(TBitmap(pattern(256, 256), pf24bit)));
        QVERIFY(icondirectory::firstEntryFields(big.Data(), w, h, colors));
        QCOMPARE(w, 0);
        QCOMPARE(h, 0);
        QCOMPARE(QSize(big.Width(), big.Height()), QSize(256, 256));
        QVERIFY(!icondirectory::firstEntryFields(QByteArray(21, '\0'), w, h, colors));
    }

    // Our own reading of DIB entries gives what Qt's plugin gives.
    void ownDibReadingMatchesThePlugin_data()
    {
        QTest::addColumn<QString>("file");
        for (const char* f : {"nsis3-install.ico", "classic-install.ico", "opencv.ico", "modern-install-colorful.ico"})
            QTest::newRow(f) << QString::fromLatin1(f);
    }

    void ownDibReadingMatchesThePlugin()
    {
        QFETCH(QString, file);
        const QByteArray data = readFile(kData + file);
        QString error;
        const QList<IconEntry> entries = icondirectory::read(data, &error);
        QVERIFY2(!entries.isEmpty(), qPrintable(error));
        QImageReader plugin(kData + file, "ico");
        QCOMPARE(plugin.imageCount(), int(entries.size()));
        for (const IconEntry& e : entries) {
            QVERIFY(plugin.jumpToImage(e.index));
            const QImage theirs = plugin.read();
            const QImage ours = e.png ? iconimage::decode(data, e)
                                      : iconimage::decodeDib(data.mid(qsizetype(e.offset), qsizetype(e.bytes)), e);
            QVERIFY2(!ours.isNull(), qPrintable(QString::number(e.index)));
            QCOMPARE(differingPixels(ours, theirs), 0);
        }
    }

    void sixteenBitEntriesAreOurs()
    {
        TIcon icon;
        QVERIFY2(icon.LoadFromData(sixteenBitIcon()), qPrintable(icon.Error()));
        QCOMPARE(icon.Shown()->imageBits, 16);
        const QImage img = icon.Picture();
        QCOMPARE(img.size(), QSize(2, 2));
        QCOMPARE(img.pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(img.pixel(1, 0), qRgb(0, 255, 0));
        QCOMPARE(img.pixel(0, 1), qRgb(0, 0, 255));
        QCOMPARE(qAlpha(img.pixel(1, 1)), 0);
    }

    void writerRoundTrips_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("bits");
        QTest::addColumn<bool>("png");
        QTest::newRow("32 x 32 true colour") << QSize(32, 32) << int(pf24bit) << 32 << false;
        QTest::newRow("48 x 48 at 8 bits") << QSize(48, 48) << int(pf8bit) << 8 << false;
        QTest::newRow("16 x 16 at 4 bits") << QSize(16, 16) << int(pf4bit) << 4 << false;
        QTest::newRow("33 x 7 at 1 bit") << QSize(33, 7) << int(pf1bit) << 1 << false;
        QTest::newRow("256 x 256") << QSize(256, 256) << int(pf24bit) << 32 << false;
        QTest::newRow("300 x 200 as PNG") << QSize(300, 200) << int(pf24bit) << 24 << true;
        QTest::newRow("1000 x 500 at 8 bits as PNG") << QSize(1000, 500) << int(pf8bit) << 24 << true;
    }

    void writerRoundTrips()
    {
        QFETCH(QSize, size);
        QFETCH(int, format);
        QFETCH(int, bits);
        QFETCH(bool, png);
        TBitmap picture(pattern(size.width(), size.height()), pf24bit);
        picture.setPixelFormat(TPixelFormat(format));
        TIcon icon;
        QVERIFY2(icon.Assign(picture), qPrintable(icon.Error()));
        QCOMPARE(icon.Entries().size(), 1);
        QCOMPARE(QSize(icon.Width(), icon.Height()), size);
        QCOMPARE(icon.Shown()->png, png);
        QCOMPARE(icon.Shown()->imageBits, bits);
        QCOMPARE(differingPixels(icon.Picture(), picture.image().convertToFormat(QImage::Format_ARGB32)), 0);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.ico"));
        QVERIFY(icon.SaveToFile(path));
        TIcon back;
        QVERIFY(back.LoadFromFile(path));
        QCOMPARE(back.Data(), icon.Data());
        // an independent reader agrees on the size
        const QString identify = QStandardPaths::findExecutable(QStringLiteral("identify"));
        if (identify.isEmpty())
            QSKIP("ImageMagick's identify is not installed");
        QProcess p;
        p.start(identify, {QStringLiteral("-format"), QStringLiteral("%w %h\n"), path});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(QString::fromLatin1(p.readAllStandardOutput()).trimmed().section(QLatin1Char('\n'), 0, 0),
                 QStringLiteral("%1 %2").arg(size.width()).arg(size.height()));
    }

    void hostileFiles_data()
    {
        QTest::addColumn<QByteArray>("data");
        const QByteArray real = readFile(kData + "nsis3-install.ico");
        QByteArray garbage(2048, '\0');
        QRandomGenerator rng(1);
        for (char& c : garbage)
            c = char(rng.bounded(256));
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("garbage") << garbage;
        QTest::newRow("header only") << real.left(6);
        QTest::newRow("no entries") << QByteArray("\0\0\1\0\0\0", 6);
        QTest::newRow("cut in the directory") << real.left(40);
        QTest::newRow("cut before the pictures") << real.left(101);
        QByteArray count = QByteArray("\0\0\1\0\xFF\xFF", 6) + QByteArray(16, '\1');
        QTest::newRow("directory larger than the file") << count;
        QByteArray lying = real.left(22) + real.mid(102, 744);
        qToLittleEndian<quint16>(1, lying.data() + 4);
        qToLittleEndian<quint32>(0x7FFFFFF0, lying.data() + 18);
        QTest::newRow("offset past the end") << lying;
        QByteArray wide = real;
        qToLittleEndian<qint32>(60000, wide.data() + 102 + 4);
        qToLittleEndian<quint16>(1, wide.data() + 4);
        QTest::newRow("picture wider than its data") << wide;
        // a PNG entry whose header claims 16000 x 16000
        QByteArray png = real;
        qToLittleEndian<quint16>(1, png.data() + 4);
        memcpy(png.data() + 6, real.constData() + 6 + 32, 16);
        qToBigEndian<quint32>(16000, png.data() + 1142 + 16);
        qToBigEndian<quint32>(16000, png.data() + 1142 + 20);
        QTest::newRow("PNG entry claiming 16000 squared") << png;
        // many entries, all pointing at one damaged PNG picture
        QByteArray damagedPng = real.mid(1142, 3203);
        damagedPng[damagedPng.size() / 2] = char(damagedPng[damagedPng.size() / 2] ^ 0x55);
        QByteArray many("\0\0\1\0\xFF\xFF", 6);
        for (int i = 0; i < 65535; ++i) {
            QByteArray entry(16, '\0');
            entry[0] = 1;
            entry[1] = 1;
            qToLittleEndian<quint32>(quint32(damagedPng.size()), entry.data() + 8);
            qToLittleEndian<quint32>(6 + 16 * 65535, entry.data() + 12);
            many += entry;
        }
        QTest::newRow("65535 entries of one damaged picture") << many + damagedPng;
    }

    void hostileFiles()
    {
        QFETCH(QByteArray, data);
        QElapsedTimer timer;
        timer.start();
        TIcon icon;
        QVERIFY(!icon.LoadFromData(data));
        QVERIFY(icon.Empty());
        QVERIFY(icon.Entries().isEmpty());
        QVERIFY(!icon.Error().isEmpty());
        QVERIFY2(timer.elapsed() < 10000, qPrintable(QString::number(timer.elapsed())));
    }

    // the icon's PNG entry of 16384 x 16384 in 356 bytes: refused for the
    // claim before Qt is asked to read it
    void entryClaimingMoreThanItsBytes()
    {
        const QByteArray data = readFile(QStringLiteral(KV_SOURCE_DIR "/tests/data/codec/hostile/ico-png-16384.ico"));
        QVERIFY(!data.isEmpty());
        TIcon icon;
        QVERIFY(!icon.LoadFromData(data));
        QCOMPARE(icon.Error(), QStringLiteral("the file is too small for the picture it claims"));
    }

    void mutatedFiles()
    {
        const QByteArray real = readFile(kData + "nsis3-install.ico");
        QRandomGenerator rng(1);
        int loaded = 0;
        for (int i = 0; i < 400; ++i) {
            QByteArray d = real;
            const int changes = 1 + int(rng.bounded(8));
            for (int k = 0; k < changes; ++k)
                d[int(rng.bounded(d.size()))] = char(rng.bounded(256));
            if (i % 10 == 0)
                d.truncate(int(rng.bounded(d.size())));
            TIcon icon;
            if (!icon.LoadFromData(d))
                continue;
            ++loaded;
            QVERIFY(!icon.Picture().isNull());
            for (int e = 0; e < icon.Entries().size(); ++e)
                icon.Image(e);
        }
        QVERIFY2(loaded > 200, qPrintable(QString::number(loaded)));
    }
};

QTEST_MAIN(TestIcon)
#include "tst_icon.moc"
