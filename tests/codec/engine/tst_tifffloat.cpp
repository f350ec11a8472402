// TIFF pages of floating-point samples, written here with libtiff: the
// stated sample range, the data's range for measurements, 0..1 pictures,
// MinIsWhite, values outside the range and not numbers, the depth the
// information reports and sample sizes the engine does not read.

#include <QFile>
#include <QtTest>

#include <cmath>
#include <cstring>
#include <limits>
#include <tiffio.h>

#include "codec/engine/crde2001.h"
#include "dibimage.h"
#include "enginemodule.h"

namespace {

struct FloatTiff {
    int width = 4;
    int height = 2;
    int channels = 1;  // 1 grey, 3 RGB
    int bits = 32;
    bool planar = false;
    bool tiled = false;
    int photometric = PHOTOMETRIC_MINISBLACK;
    double smin = 0, smax = 0;  // stated when smax > smin
    QList<double> samples;      // pixel by pixel, channel by channel
};

void putSample(unsigned char* at, int bits, double v)
{
    if (bits == 64) {
        std::memcpy(at, &v, 8);
    } else if (bits == 32) {
        const float f = float(v);
        std::memcpy(at, &f, 4);
    } else {
        const quint16 h = 0x3C00;  // 1.0 as a half float
        std::memcpy(at, &h, 2);
    }
}

// The picture as a TIFF file; empty when libtiff fails.
QByteArray writeTiff(const QString& path, const FloatTiff& t)
{
    TIFF* tif = TIFFOpen(QFile::encodeName(path).constData(), "w");
    if (!tif)
        return {};
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, t.width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, t.height);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, t.channels);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, t.bits);
    TIFFSetField(tif, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_IEEEFP);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, t.channels == 3 ? PHOTOMETRIC_RGB : t.photometric);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, t.planar ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_DEFLATE);
    if (t.smax > t.smin) {
        TIFFSetField(tif, TIFFTAG_SMINSAMPLEVALUE, t.smin);
        TIFFSetField(tif, TIFFTAG_SMAXSAMPLEVALUE, t.smax);
    }
    const int bytes = t.bits / 8;
    const int planes = t.planar ? t.channels : 1;
    const int perPixel = t.planar ? 1 : t.channels;
    bool ok = true;
    if (t.tiled) {
        TIFFSetField(tif, TIFFTAG_TILEWIDTH, 16);
        TIFFSetField(tif, TIFFTAG_TILELENGTH, 16);
        for (int p = 0; p < planes && ok; ++p) {
            QByteArray tile(16 * 16 * perPixel * bytes, '\0');
            for (int y = 0; y < t.height; ++y)
                for (int x = 0; x < t.width; ++x)
                    for (int c = 0; c < perPixel; ++c)
                        putSample(reinterpret_cast<unsigned char*>(tile.data()) + ((y * 16 + x) * perPixel + c) * bytes,
                                  t.bits, t.samples[(y * t.width + x) * t.channels + (t.planar ? p : c)]);
            ok = TIFFWriteTile(tif, tile.data(), 0, 0, 0, tsample_t(p)) > 0;
        }
    } else {
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 1);
        for (int p = 0; p < planes && ok; ++p) {
            for (int y = 0; y < t.height && ok; ++y) {
                QByteArray row(t.width * perPixel * bytes, '\0');
                for (int x = 0; x < t.width; ++x)
                    for (int c = 0; c < perPixel; ++c)
                        putSample(reinterpret_cast<unsigned char*>(row.data()) + (x * perPixel + c) * bytes, t.bits,
                                  t.samples[(y * t.width + x) * t.channels + (t.planar ? p : c)]);
                ok = TIFFWriteScanline(tif, row.data(), uint32_t(y), uint16_t(p)) == 1;
            }
        }
    }
    TIFFClose(tif);
    QFile f(path);
    return ok && f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

Q_DECLARE_METATYPE(FloatTiff)

class TiffFloatTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void rangesScaleToEightBits_data();
    void rangesScaleToEightBits();
    void informationGivesTheShownDepth();
    void halfFloatsAreRefusedClearly();

private:
    QImage decode(const QByteArray& bytes, int& bits);
    EngineModule m_engine;
    QTemporaryDir m_dir;
};

void TiffFloatTest::initTestCase()
{
    QVERIFY2(m_engine.loaded(), qPrintable(m_engine.error()));
    QVERIFY(m_dir.isValid());
    TIFFSetWarningHandler(nullptr);
}

QImage TiffFloatTest::decode(const QByteArray& bytes, int& bits)
{
    GlobalHandle dib = nullptr;
    const short r = m_engine.entry<readtiffiledibstream_fn>("readtiffiledibstream")(
        bytes.constData(), bytes.size(), 0, 0, 0, &dib, nullptr, nullptr, 0);
    bits = dibimage::bitCount(dib);
    const QImage img = r > 0 ? dibimage::toImage(dib) : QImage();
    dibimage::release(dib);
    return img;
}

void TiffFloatTest::rangesScaleToEightBits_data()
{
    QTest::addColumn<FloatTiff>("tiff");
    QTest::addColumn<QList<QRgb>>("expected");  // the first row, left to right
    QTest::addColumn<int>("bits");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();

    FloatTiff heights;  // measurements: the data's own range
    heights.samples = {120, 2310, 4500, nan, 500, 500, 500, 500};
    QTest::newRow("grey 32 bits, data range") << heights
        << QList<QRgb>{qRgb(0, 0, 0), qRgb(128, 128, 128), qRgb(255, 255, 255), qRgb(0, 0, 0)} << 8;

    FloatTiff stated;  // the stated range wins, outside values clamp
    stated.channels = 3;
    stated.bits = 64;
    stated.planar = true;
    stated.smin = 0;
    stated.smax = 1000;
    stated.samples = {1000, 500, 0, 1500, -3, 250, 0, 0, 0, inf, -inf, 1000};
    stated.samples += QList<double>(12, 0.0);
    QTest::newRow("RGB 64 bits planar, stated range") << stated
        << QList<QRgb>{qRgb(255, 128, 0), qRgb(255, 0, 64), qRgb(0, 0, 0), qRgb(255, 0, 255)} << 24;

    FloatTiff photo;  // 0..1 stays 0..1 even when the data spans less
    photo.channels = 3;
    photo.tiled = true;
    photo.samples = {0.5, 0.25, 0.75, 1, 1, 1, 0, 0, 0, 0.1, 0.2, 0.3};
    photo.samples += QList<double>(12, 0.5);
    QTest::newRow("RGB 32 bits tiled, 0..1") << photo
        << QList<QRgb>{qRgb(128, 64, 191), qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(26, 51, 77)} << 24;

    FloatTiff white;  // MinIsWhite: 0 is white
    white.photometric = PHOTOMETRIC_MINISWHITE;
    white.samples = {0, 1, 0.5, 0, 1, 1, 1, 1};
    QTest::newRow("grey MinIsWhite") << white
        << QList<QRgb>{qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(127, 127, 127), qRgb(255, 255, 255)} << 8;
}

void TiffFloatTest::rangesScaleToEightBits()
{
    QFETCH(FloatTiff, tiff);
    QFETCH(QList<QRgb>, expected);
    QFETCH(int, bits);
    const QByteArray bytes = writeTiff(m_dir.filePath(QString("%1.tif").arg(QTest::currentDataTag())), tiff);
    QVERIFY(!bytes.isEmpty());
    int decodedBits = 0;
    const QImage img = decode(bytes, decodedBits);
    QVERIFY(!img.isNull());
    QCOMPARE(img.size(), QSize(tiff.width, tiff.height));
    QCOMPARE(decodedBits, bits);
    for (int x = 0; x < expected.size(); ++x)
        QCOMPARE(QColor(img.pixel(x, 0)), QColor(expected[x]));
}

void TiffFloatTest::informationGivesTheShownDepth()
{
    auto getinfo = m_engine.entry<getinfostream_fn>("getinfostream");
    auto streaminfo = m_engine.entry<streaminfo_fn>("streaminfo");
    FloatTiff rgb;
    rgb.channels = 3;
    rgb.bits = 64;
    rgb.samples = QList<double>(24, 0.5);
    FloatTiff grey;
    grey.samples = QList<double>(8, 0.5);
    for (const auto& [tiff, shown] : {std::pair{rgb, 24}, std::pair{grey, 8}}) {
        const QByteArray bytes = writeTiff(m_dir.filePath("info.tif"), tiff);
        QVERIFY(!bytes.isEmpty());
        int w = 0, h = 0, colours = 0;
        short bits = 0, pages = 0, code = 0, planes = 0;
        QCOMPARE(getinfo(bytes.constData(), bytes.size(), 0, &w, &h, &bits, &pages, &code), short(1));
        QCOMPARE(int(bits), shown);
        QCOMPARE(QSize(w, h), QSize(4, 2));
        char type[16] = "", comp[16] = "";
        QCOMPARE(streaminfo(bytes.constData(), bytes.size(), type, 16, comp, 16, &colours, &planes, &bits, &h, &w),
                 short(1));
        QCOMPARE(int(bits), shown);
    }
}

void TiffFloatTest::halfFloatsAreRefusedClearly()
{
    FloatTiff half;
    half.bits = 16;
    half.samples = QList<double>(8, 1.0);
    const QByteArray bytes = writeTiff(m_dir.filePath("half.tif"), half);
    QVERIFY(!bytes.isEmpty());
    int w = 0, h = 0;
    short bits = 0, pages = 0, code = 0;
    QVERIFY(m_engine.entry<getinfostream_fn>("getinfostream")(bytes.constData(), bytes.size(), 0, &w, &h, &bits,
                                                              &pages, &code) < 0);
    char reason[128] = "";
    QCOMPARE(m_engine.entry<lastfailure_fn>("lastfailure")(reason, 128), short(1));
    QCOMPARE(QByteArray(reason), QByteArray("the picture's floating-point samples are not 32 or 64 bits of grey or RGB"));
    int decodedBits = 0;
    QVERIFY(decode(bytes, decodedBits).isNull());
}

QTEST_GUILESS_MAIN(TiffFloatTest)
#include "tst_tifffloat.moc"
