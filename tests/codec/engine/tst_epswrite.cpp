// The EPS writer: pictures written by writeepsfiledib come back the same
// through the `gs` program and through our own reader; previews are TIFF
// pictures our TIFF reader reads; bad options and stops leave no file.

#include <QTemporaryDir>
#include <QtTest>

#include "codec/engine/crde2001.h"
#include "dibimage.h"
#include "enginemodule.h"
#include "imagecompare.h"
#include "tst_epshelpers.h"

using namespace epstest;

namespace {

struct WriteOptions {
    short bits = 0;
    short level = 1;
    short preview = 0;
    short compression = 0;
    short border = 0;
    short grey = 0;
};

// The image data between the procedure and "~>", ASCII85 decoded.
QByteArray imageData(const QByteArray& eps)
{
    const qsizetype start = eps.indexOf("} exec\n") + 7;
    const qsizetype end = eps.indexOf("~>", start);
    QByteArray out;
    quint32 value = 0;
    int count = 0;
    for (qsizetype i = start; i < end; ++i) {
        const char c = eps[i];
        if (c == 'z' && count == 0) {
            out.append(4, '\0');
        } else if (c >= '!' && c <= 'u') {
            value = value * 85 + quint32(c - '!');
            if (++count == 5) {
                for (int k = 3; k >= 0; --k)
                    out.append(char(value >> (8 * k)));
                value = 0, count = 0;
            }
        }
    }
    if (count > 1) {
        for (int k = count; k < 5; ++k)
            value = value * 85 + 84;
        for (int k = 3; k > 4 - count; --k)
            out.append(char(value >> (8 * k)));
    }
    return out;
}

// A TIFF of one LZW strip of 8-bit RGB rows, so libtiff decodes the codes.
QByteArray lzwTiff(int w, int h, const QByteArray& strip)
{
    const quint16 tags[][2] = {{256, 4}, {257, 4}, {258, 3}, {259, 3}, {262, 3}, {273, 4}, {277, 3}, {278, 4}, {279, 4}};
    const quint32 bitsOffset = 8 + 2 + 9 * 12 + 4;
    const quint32 values[] = {quint32(w), quint32(h), bitsOffset, 5, 2, bitsOffset + 6, 3, quint32(h),
                              quint32(strip.size())};
    QByteArray out("II*\0\x08\0\0\0", 8);
    QByteArray ifd(2 + 9 * 12 + 4, '\0');
    qToLittleEndian<quint16>(9, ifd.data());
    for (int t = 0; t < 9; ++t) {
        char* e = ifd.data() + 2 + 12 * t;
        qToLittleEndian<quint16>(tags[t][0], e);
        qToLittleEndian<quint16>(tags[t][1], e + 2);
        qToLittleEndian<quint32>(tags[t][0] == 258 ? 3 : 1, e + 4);
        if (tags[t][1] == 3 && tags[t][0] != 258)
            qToLittleEndian<quint16>(quint16(values[t]), e + 8);
        else
            qToLittleEndian<quint32>(values[t], e + 8);
    }
    QByteArray bits(6, '\0');
    for (int k = 0; k < 3; ++k)
        qToLittleEndian<quint16>(8, bits.data() + 2 * k);
    return out + ifd + bits + strip;
}

int stopAtFifty(int percent, void*)
{
    return percent < 50 ? 1 : 0;
}

}  // namespace

class EpsWriteTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void colourRoundTripIsExact_data();
    void colourRoundTripIsExact();
    void cmykComesBackThroughThePostScriptConversion();
    void greyDataIsTheLuminance();
    void paletteAndBlackAndWhitePicturesKeepTheirColours();
    void borderBlackensTheOuterRingOnly();
    void previewsAreTiffPicturesOfTheirKind_data();
    void previewsAreTiffPicturesOfTheirKind();
    void badOptionsAndStopsLeaveTheFileAlone();

private:
    short write(const QString& path, GlobalHandle dib, const WriteOptions& o, ProgressCallback cb = nullptr);
    QImage readBack(const QString& path, short bits = 0);

    EngineModule m_engine;
    QTemporaryDir m_dir;
    writeepsfiledib_fn m_write = nullptr;
    readepsfiledib_fn m_read = nullptr;
    readtiffiledibstream_fn m_readTiff = nullptr;
};

short EpsWriteTest::write(const QString& path, GlobalHandle dib, const WriteOptions& o, ProgressCallback cb)
{
    return m_write(QFile::encodeName(path).constData(), dib, o.bits, o.level, o.preview, o.compression, o.border,
                   o.grey, nullptr, cb, 0);
}

QImage EpsWriteTest::readBack(const QString& path, short bits)
{
    GlobalHandle dib = nullptr;
    const short r = m_read(QFile::encodeName(path).constData(), bits, 0, &dib, nullptr, nullptr, nullptr, 0);
    const QImage image = r > 0 ? dibimage::toImage(dib).convertToFormat(QImage::Format_RGB888) : QImage();
    dibimage::release(dib);
    return image;
}

void EpsWriteTest::initTestCase()
{
    QVERIFY2(m_engine.loaded(), qPrintable(m_engine.error()));
    QVERIFY(m_dir.isValid());
    m_write = m_engine.entry<writeepsfiledib_fn>("writeepsfiledib");
    m_read = m_engine.entry<readepsfiledib_fn>("readepsfiledib");
    m_readTiff = m_engine.entry<readtiffiledibstream_fn>("readtiffiledibstream");
    QVERIFY(m_write && m_read && m_readTiff);
    if (!haveGhostscript())
        QSKIP("the gs program is not installed");
}

void EpsWriteTest::colourRoundTripIsExact_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("compression");
    QTest::newRow("small, uncompressed") << 37 << 23 << 0;
    QTest::newRow("small, LZW") << 37 << 23 << 1;
    // enough codes for the LZW table to fill and start again several times
    QTest::newRow("larger, LZW") << 211 << 157 << 1;
    QTest::newRow("one pixel, LZW") << 1 << 1 << 1;
}

void EpsWriteTest::colourRoundTripIsExact()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, compression);
    GlobalHandle dib = noiseDib(width, height, 7);
    const QImage original = dibimage::toImage(dib).convertToFormat(QImage::Format_RGB888);
    const QString path = m_dir.filePath(QString("rgb-%1x%2-%3.eps").arg(width).arg(height).arg(compression));
    WriteOptions o;
    o.compression = short(compression);
    QCOMPARE(write(path, dib, o), short(1));
    dibimage::release(dib);

    const QByteArray file = readAll(path);
    QVERIFY(file.startsWith("%!PS-Adobe-3.0 EPSF-3.0\n"));
    QVERIFY(file.contains(QString("%%BoundingBox: 0 0 %1 %2\n").arg(width).arg(height).toLatin1()));
    QCOMPARE(file.contains("/LZWDecode"), compression == 1);

    if (compression == 1) {
        // libtiff reads the same codes (TIFF LZW is PostScript's with EarlyChange 1)
        const QByteArray tiff = lzwTiff(width, height, imageData(file));
        GlobalHandle decoded = nullptr;
        QCOMPARE(m_readTiff(tiff.constData(), tiff.size(), 24, 0, 0, &decoded, nullptr, nullptr, 0), short(1));
        const QImage byTiff = dibimage::toImage(decoded).convertToFormat(QImage::Format_RGB888);
        dibimage::release(decoded);
        QCOMPARE(compareImages(byTiff, original).maxDifference, 0);
    }
    const QImage byGs = ghostscript(path, m_dir.path());
    QCOMPARE(byGs.size(), QSize(width, height));
    QCOMPARE(compareImages(byGs, original).maxDifference, 0);
    const QImage ours = readBack(path);
    QCOMPARE(ours.size(), QSize(width, height));
    QCOMPARE(compareImages(ours, original).maxDifference, 0);
}

void EpsWriteTest::cmykComesBackThroughThePostScriptConversion()
{
    GlobalHandle dib = noiseDib(40, 30, 11);
    const QImage original = dibimage::toImage(dib).convertToFormat(QImage::Format_RGB888);
    const QString path = m_dir.filePath("cmyk.eps");
    WriteOptions o;
    o.level = 0;
    o.compression = 1;
    QCOMPARE(write(path, dib, o), short(1));
    dibimage::release(dib);
    QVERIFY(readAll(path).contains("/DeviceCMYK setcolorspace"));
    // with the plain PostScript conversion (no colour management) the
    // CMYK data gives back exactly the RGB it was made from
    const QImage fast = ghostscript(path, m_dir.path(), {"-dUseFastColor"});
    QCOMPARE(fast.size(), QSize(40, 30));
    QCOMPARE(compareImages(fast, original).maxDifference, 0);
    // a colour-managed rendering (ours) shifts CMYK colours, but the picture
    // stays recognisable
    // a palette picture keeps its indices under an /Indexed CMYK space
    const QList<QRgb> palette = {qRgb(0, 0, 0), qRgb(200, 10, 30), qRgb(20, 180, 40), qRgb(250, 250, 0)};
    GlobalHandle indexed = makeDib(21, 9, 4, palette, [](int x, int y) { return quint32((x + y) % 4); });
    const QImage indexedOriginal = dibimage::toImage(indexed).convertToFormat(QImage::Format_RGB888);
    const QString indexedPath = m_dir.filePath("cmyk-indexed.eps");
    QCOMPARE(write(indexedPath, indexed, o), short(1));
    dibimage::release(indexed);
    QVERIFY(readAll(indexedPath).contains("[/Indexed /DeviceCMYK 15"));
    QCOMPARE(compareImages(ghostscript(indexedPath, m_dir.path(), {"-dUseFastColor"}), indexedOriginal).maxDifference,
             0);
    const QImage ours = readBack(path);
    QCOMPARE(ours.size(), QSize(40, 30));
    const ImageComparison c = compareImages(ours, original);
    qInfo("CMYK read back through colour management: PSNR %.1f dB, largest difference %d", c.psnr,
          c.maxDifference);
    QVERIFY(c.psnr > 12);
}

void EpsWriteTest::greyDataIsTheLuminance()
{
    GlobalHandle dib = noiseDib(33, 17, 3);
    QImage expected = dibimage::toImage(dib).convertToFormat(QImage::Format_RGB888);
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x) {
            const QRgb c = expected.pixel(x, y);
            const int l = (qRed(c) * 299 + qGreen(c) * 587 + qBlue(c) * 114 + 500) / 1000;
            expected.setPixel(x, y, qRgb(l, l, l));
        }
    for (short level : {short(0), short(1)}) {
        const QString path = m_dir.filePath(QString("grey-%1.eps").arg(level));
        WriteOptions o;
        o.level = level;
        o.grey = 1;
        o.compression = 1;
        QCOMPARE(write(path, dib, o), short(1));
        QVERIFY(readAll(path).contains("/DeviceGray setcolorspace"));
        QCOMPARE(compareImages(ghostscript(path, m_dir.path()), expected).maxDifference, 0);
    }
    dibimage::release(dib);
}

void EpsWriteTest::paletteAndBlackAndWhitePicturesKeepTheirColours()
{
    const QList<QRgb> palette16 = {qRgb(0, 0, 0),     qRgb(200, 10, 30),  qRgb(20, 180, 40), qRgb(250, 250, 0),
                                   qRgb(0, 0, 160),   qRgb(255, 255, 255), qRgb(90, 90, 90), qRgb(10, 200, 220)};
    struct Case {
        int bits;
        QList<QRgb> palette;
    };
    const Case cases[] = {{1, {qRgb(0, 0, 0), qRgb(255, 255, 255)}}, {4, palette16}, {8, palette16}};
    for (const Case& c : cases) {
        const int n = int(c.palette.size());
        GlobalHandle dib = makeDib(29, 13, c.bits, c.palette, [&](int x, int y) { return quint32((x * 3 + y) % n); });
        const QImage original = dibimage::toImage(dib).convertToFormat(QImage::Format_RGB888);
        for (short compression : {short(0), short(1)}) {
            const QString path = m_dir.filePath(QString("indexed-%1-%2.eps").arg(c.bits).arg(compression));
            WriteOptions o;
            o.compression = compression;
            QCOMPARE(write(path, dib, o), short(1));
            QVERIFY(readAll(path).contains("[/Indexed /DeviceRGB"));
            QCOMPARE(compareImages(ghostscript(path, m_dir.path()), original).maxDifference, 0);
        }
        dibimage::release(dib);
    }
}

void EpsWriteTest::borderBlackensTheOuterRingOnly()
{
    GlobalHandle dib = makeDib(20, 12, 24, {}, [](int x, int y) { return quint32(0x30A0F0 + x * 4 + y * 0x0400); });
    const QImage original = dibimage::toImage(dib).convertToFormat(QImage::Format_RGB888);
    const QString path = m_dir.filePath("border.eps");
    WriteOptions o;
    o.border = 1;
    QCOMPARE(write(path, dib, o), short(1));
    dibimage::release(dib);
    const QImage page = ghostscript(path, m_dir.path());
    QCOMPARE(page.size(), QSize(20, 12));
    int wrong = 0;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool edge = x == 0 || y == 0 || x == 19 || y == 11;
            const QRgb want = edge ? qRgb(0, 0, 0) : original.pixel(x, y);
            wrong += page.pixel(x, y) != want;
        }
    QCOMPARE(wrong, 0);
}

void EpsWriteTest::previewsAreTiffPicturesOfTheirKind_data()
{
    QTest::addColumn<int>("preview");
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("divisor");
    QTest::newRow("4_BW: 4-bit grey, full size") << 1 << 4 << 1;
    QTest::newRow("1_BW: black and white, full size") << 2 << 1 << 1;
    QTest::newRow("1_4: 8-bit colour, a quarter of each side") << 3 << 8 << 4;
    QTest::newRow("1_1: 8-bit colour, full size") << 4 << 8 << 1;
}

void EpsWriteTest::previewsAreTiffPicturesOfTheirKind()
{
    QFETCH(int, preview);
    QFETCH(int, bits);
    QFETCH(int, divisor);
    // a left half of dark red, a right half of light blue
    GlobalHandle dib = makeDib(64, 40, 24, {}, [](int x, int) { return x < 32 ? 0x801010u : 0xA0C0FFu; });
    const QString path = m_dir.filePath(QString("preview-%1.eps").arg(preview));
    WriteOptions o;
    o.preview = short(preview);
    QCOMPARE(write(path, dib, o), short(1));
    dibimage::release(dib);

    const QByteArray file = readAll(path);
    QVERIFY(file.startsWith("\xC5\xD0\xD3\xC6"));
    QVERIFY(section(file, 0).startsWith("%!PS-Adobe-3.0 EPSF-3.0"));
    const QByteArray tiff = section(file, 2);
    QVERIFY(tiff.startsWith("II*") || tiff.startsWith("MM"));
    GlobalHandle shown = nullptr;
    QCOMPARE(m_readTiff(tiff.constData(), tiff.size(), 0, 0, 0, &shown, nullptr, nullptr, 0), short(1));
    QCOMPARE(dibimage::bitCount(shown), bits);
    const QImage image = dibimage::toImage(shown).convertToFormat(QImage::Format_RGB888);
    dibimage::release(shown);
    QCOMPARE(image.size(), QSize(64 / divisor, 40 / divisor));
    // the left half stays darker than the right half in every preview
    auto brightness = [&](int x0, int x1) {
        qint64 sum = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = x0; x < x1; ++x)
                sum += qGray(image.pixel(x, y));
        return sum / (qint64(x1 - x0) * image.height());
    };
    const int half = image.width() / 2;
    QVERIFY2(brightness(0, half) + 60 < brightness(half, image.width()),
             qPrintable(QString("%1 vs %2").arg(brightness(0, half)).arg(brightness(half, image.width()))));
    // the PostScript section still renders the picture itself
    QCOMPARE(ghostscript(path, m_dir.path()).size(), QSize(64, 40));
}

void EpsWriteTest::badOptionsAndStopsLeaveTheFileAlone()
{
    GlobalHandle dib = noiseDib(16, 16, 5);
    const QString path = m_dir.filePath("kept.eps");
    QVERIFY(writeAll(path, "old contents"));
    const WriteOptions bad[] = {{0, 2, 0, 0, 0, 0}, {0, 1, 5, 0, 0, 0}, {0, 1, 0, 2, 0, 0}, {0, -1, 0, 0, 0, 0},
                                {0, 1, -1, 0, 0, 0}};
    for (const WriteOptions& o : bad)
        QCOMPARE(write(path, dib, o), short(0));

    QCOMPARE(write(path, dib, WriteOptions{}, stopAtFifty), short(0));
    QCOMPARE(write(path, nullptr, WriteOptions{}), short(0));
    dibimage::release(dib);
    QCOMPARE(readAll(path), QByteArray("old contents"));
    QCOMPARE(QDir(m_dir.path()).entryList(QStringList{".kept*"}, QDir::Hidden | QDir::Files), QStringList());
}

QTEST_GUILESS_MAIN(EpsWriteTest)
#include "tst_epswrite.moc"
