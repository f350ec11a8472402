// Photo CD image packs: the corpus files at all three resolutions against
// ImageMagick, packs written by ImageMagick from a known picture, the
// rotation, the requested depth, the stop answer and damaged packs.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

#include "codec/engine/crde2001.h"
#include "dibimage.h"
#include "enginemodule.h"
#include "imagecompare.h"
#include "referencedecoder.h"

namespace {

constexpr int kPackBytes = 96 * 2048 + 768 * 512 * 3 / 2;  // through the base picture
const QSize kSizes[] = {{192, 128}, {384, 256}, {768, 512}};

// Agreement with ImageMagick: both apply the same linear Photo YCC
// decoding, so only chroma interpolation and rounding differ (about 54 dB
// was seen). Swapped chroma planes, a wrong chroma siting or a wrong turn
// fall far below (under 25 dB).
constexpr double kMinPsnrAgainstMagick = 40.0;
// Against the picture ImageMagick wrote. Its writer scales the values by
// about 1.1 on the way in (its own reader does not undo that: its round trip
// stays near 19 dB), so each channel of the source is first fitted to the
// decoded picture by a gain and an offset. What remains is the writer's
// mixing of the channels, chroma subsampling at the edges of the colour
// blocks and rounding (about 28 dB was seen; the same picture turned the
// wrong way gives about 20 dB).
constexpr double kMinPsnrAgainstSource = 25.0;

QString corpusFolder()
{
    return QDir::cleanPath(QStringLiteral(KV_SOURCE_DIR) + "/../shared/corpus/pcd");
}

int stopAtOnce(int, void*)
{
    return 0;
}

QSize turned(QSize s, bool portrait)
{
    return portrait ? s.transposed() : s;
}

bool runConvert(const QStringList& args)
{
    const QString convert = QStandardPaths::findExecutable("convert");
    if (convert.isEmpty())
        return false;
    QProcess p;
    p.start(convert, args);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// A smooth picture with a red corner marking its top left.
QImage sourcePicture(int width, int height)
{
    QImage img(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            img.setPixelColor(x, y, QColor(40 + 150 * x / width, 60 + 120 * y / height, 160 - 100 * x / width));
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            img.setPixelColor(x, y, QColor(200, 30, 30));
    return img;
}

// PSNR of decoded against source after the best gain and offset per channel.
double fittedPsnr(const QImage& decoded, const QImage& source, double* gain = nullptr)
{
    if (decoded.size() != source.size())
        return 0;
    const QImage a = decoded.convertToFormat(QImage::Format_RGB888);
    const QImage b = source.convertToFormat(QImage::Format_RGB888);
    const double n = double(a.width()) * a.height();
    double squares = 0;
    for (int ch = 0; ch < 3; ++ch) {
        double sx = 0, sy = 0, sxx = 0, sxy = 0;
        for (int y = 0; y < a.height(); ++y) {
            const uchar* p = a.constScanLine(y);
            const uchar* q = b.constScanLine(y);
            for (int x = 0; x < a.width(); ++x) {
                const double u = q[3 * x + ch], v = p[3 * x + ch];
                sx += u, sy += v, sxx += u * u, sxy += u * v;
            }
        }
        const double k = (n * sxy - sx * sy) / (n * sxx - sx * sx);
        const double d = (sy - k * sx) / n;
        if (gain && ch == 1)
            *gain = k;
        for (int y = 0; y < a.height(); ++y) {
            const uchar* p = a.constScanLine(y);
            const uchar* q = b.constScanLine(y);
            for (int x = 0; x < a.width(); ++x) {
                const double e = p[3 * x + ch] - (k * q[3 * x + ch] + d);
                squares += e * e;
            }
        }
    }
    const double mse = squares / (3 * n);
    return mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

// An image pack of one flat Photo YCC colour.
QByteArray flatPack(int y, int c1, int c2)
{
    QByteArray pack(kPackBytes, '\0');
    memcpy(pack.data() + 0x800, "PCD_IPI", 7);
    const int offsets[] = {4 * 2048, 23 * 2048, 96 * 2048};
    for (int level = 0; level < 3; ++level) {
        const int w = kSizes[level].width(), h = kSizes[level].height();
        for (int pair = 0; pair < h / 2; ++pair) {
            char* row = pack.data() + offsets[level] + pair * w * 3;
            memset(row, y, size_t(2 * w));
            memset(row + 2 * w, c1, size_t(w / 2));
            memset(row + 2 * w + w / 2, c2, size_t(w / 2));
        }
    }
    return pack;
}

}  // namespace

class PhotoCdTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void corpusAgreesWithImageMagick_data();
    void corpusAgreesWithImageMagick();
    void corpusInformation();
    void packWrittenByImageMagickReadsBack();
    void portraitPackIsTurnedUpright();
    void everyRotationTurnsThePicture();
    void neutralChromaGivesGrey();
    void requestedDepthAndStop();
    void damagedPacksFail();

private:
    struct Result {
        short ok = 0;
        QImage image;
        int bits = 0;
    };
    Result decodeFile(const QString& path, int mode, int bits = 0, int dither = 0);
    Result decodeBytes(const QByteArray& data, int mode, int bits = 0, int dither = 0,
                       ProgressCallback cb = nullptr);
    QString magickPack(const QImage& source, const QString& name);

    EngineModule m_engine;
    readpcdfiledib_fn m_file = nullptr;
    readpcdfiledibstream_fn m_stream = nullptr;
    QTemporaryDir m_dir;
};

void PhotoCdTest::initTestCase()
{
    QVERIFY2(m_engine.loaded(), qPrintable(m_engine.error()));
    m_file = m_engine.entry<readpcdfiledib_fn>("readpcdfiledib");
    m_stream = m_engine.entry<readpcdfiledibstream_fn>("readpcdfiledibstream");
    QVERIFY(m_file && m_stream);
    QVERIFY(m_dir.isValid());
}

PhotoCdTest::Result PhotoCdTest::decodeFile(const QString& path, int mode, int bits, int dither)
{
    Result r;
    GlobalHandle dib = nullptr;
    r.ok = m_file(QFile::encodeName(path).constData(), short(bits), short(dither), short(mode), &dib, nullptr,
                  nullptr, nullptr, 0);
    r.image = dibimage::toImage(dib);
    r.bits = dibimage::bitCount(dib);
    dibimage::release(dib);
    return r;
}

PhotoCdTest::Result PhotoCdTest::decodeBytes(const QByteArray& data, int mode, int bits, int dither,
                                             ProgressCallback cb)
{
    Result r;
    GlobalHandle dib = nullptr;
    r.ok = m_stream(data.constData(), data.size(), short(bits), short(dither), short(mode), &dib, nullptr, cb, 0);
    r.image = dibimage::toImage(dib);
    r.bits = dibimage::bitCount(dib);
    dibimage::release(dib);
    return r;
}

QString PhotoCdTest::magickPack(const QImage& source, const QString& name)
{
    const QString png = m_dir.filePath(name + ".png"), pcd = m_dir.filePath(name + ".pcd");
    if (!source.save(png) || !runConvert({png, pcd}))
        return {};
    return pcd;
}

void PhotoCdTest::corpusAgreesWithImageMagick_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("portrait");
    const QString dir = corpusFolder();
    if (!QDir(dir).exists())
        QSKIP("the shared corpus is not here");
    QTest::newRow("landscape") << dir + "/derived--dragonfly.pcd" << false;
    QTest::newRow("portrait, rotation 1") << dir + "/derived--chameleon-portrait.pcd" << true;
}

void PhotoCdTest::corpusAgreesWithImageMagick()
{
    QFETCH(QString, path);
    QFETCH(bool, portrait);
    if (!referencedecoder::available(path))
        QSKIP("ImageMagick is not installed");
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    for (int mode = 0; mode < 3; ++mode) {
        const Result fromFile = decodeFile(path, mode);
        const Result fromMemory = decodeBytes(bytes, mode);
        QVERIFY(fromFile.ok > 0 && fromMemory.ok > 0);
        QCOMPARE(fromFile.bits, 24);
        QCOMPARE(fromFile.image.size(), turned(kSizes[mode], portrait));
        QCOMPARE(fromMemory.image, fromFile.image);
        // ImageMagick numbers the resolutions from 1
        const QImage reference = referencedecoder::decode(path, mode + 1);
        const ImageComparison c = compareImages(fromFile.image, reference);
        QVERIFY(c.sameSize);
        qInfo("%s mode %d: PSNR %.2f dB, largest difference %d", qPrintable(QFileInfo(path).fileName()), mode,
              c.psnr, c.maxDifference);
        QVERIFY2(c.psnr >= kMinPsnrAgainstMagick, qPrintable(QString::number(c.psnr)));
    }
}

void PhotoCdTest::corpusInformation()
{
    const QString dir = corpusFolder();
    if (!QDir(dir).exists())
        QSKIP("the shared corpus is not here");
    auto fileinfoFn = m_engine.entry<fileinfo_fn>("fileinfo");
    auto streaminfoFn = m_engine.entry<streaminfo_fn>("streaminfo");
    QVERIFY(fileinfoFn && streaminfoFn);
    const struct {
        const char* name;
        int width, height;
    } cases[] = {{"derived--dragonfly.pcd", 768, 512}, {"derived--chameleon-portrait.pcd", 512, 768}};
    for (const auto& c : cases) {
        const QString path = dir + "/" + c.name;
        char type[16] = {}, compression[16] = {};
        int w = 0, h = 0, colours = -1;
        short bits = 0, planes = 0;
        QVERIFY(fileinfoFn(QFile::encodeName(path).constData(), type, sizeof type, &w, &h, &bits, &planes,
                           &colours, compression, sizeof compression) > 0);
        QCOMPARE(QByteArray(type), QByteArray("PCD"));
        QCOMPARE(w, c.width);
        QCOMPARE(h, c.height);
        QCOMPARE(bits, short(24));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        w = h = 0;
        QVERIFY(streaminfoFn(bytes.constData(), bytes.size(), type, sizeof type, compression, sizeof compression,
                             &colours, &planes, &bits, &h, &w) > 0);
        QCOMPARE(QByteArray(type), QByteArray("PCD"));
        QCOMPARE(QSize(w, h), QSize(c.width, c.height));
    }
}

void PhotoCdTest::packWrittenByImageMagickReadsBack()
{
    const QImage source = sourcePicture(768, 512);
    const QString pcd = magickPack(source, "landscape");
    if (pcd.isEmpty())
        QSKIP("ImageMagick cannot write Photo CD here");
    const Result base = decodeFile(pcd, 2);
    QVERIFY(base.ok > 0);
    double gain = 0;
    const double psnr = fittedPsnr(base.image, source, &gain);
    qInfo("ImageMagick pack against its source: PSNR %.2f dB after a gain of %.3f", psnr, gain);
    QVERIFY2(psnr >= kMinPsnrAgainstSource, qPrintable(QString::number(psnr)));
    // the smaller resolutions show the same picture
    for (int mode = 0; mode < 2; ++mode) {
        const Result small = decodeFile(pcd, mode);
        QVERIFY(small.ok > 0);
        const QImage scaled = source.scaled(small.image.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const double psnr = fittedPsnr(small.image, scaled);
        QVERIFY2(psnr >= kMinPsnrAgainstSource, qPrintable(QString::number(psnr)));
    }
}

void PhotoCdTest::portraitPackIsTurnedUpright()
{
    const QImage source = sourcePicture(512, 768);
    const QString pcd = magickPack(source, "portrait");
    if (pcd.isEmpty())
        QSKIP("ImageMagick cannot write Photo CD here");
    const Result base = decodeFile(pcd, 2);
    QVERIFY(base.ok > 0);
    QCOMPARE(base.image.size(), QSize(512, 768));
    const QColor corner = base.image.pixelColor(20, 20);
    QVERIFY2(corner.red() > 150 && corner.green() < 90 && corner.blue() < 90, qPrintable(corner.name()));
    const double psnr = fittedPsnr(base.image, source);
    QVERIFY2(psnr >= kMinPsnrAgainstSource, qPrintable(QString::number(psnr)));
    // the same picture turned the wrong way does not pass
    const QImage wrong = source.transformed(QTransform().rotate(180));
    const double wrongPsnr = fittedPsnr(base.image, wrong);
    qInfo("portrait pack: PSNR %.2f dB upright, %.2f dB turned the wrong way", psnr, wrongPsnr);
    QVERIFY(wrongPsnr < kMinPsnrAgainstSource);
}

void PhotoCdTest::everyRotationTurnsThePicture()
{
    const QString pcd = magickPack(sourcePicture(768, 512), "turns");
    if (pcd.isEmpty())
        QSKIP("ImageMagick cannot write Photo CD here");
    QFile f(pcd);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QByteArray bytes = f.readAll();
    bytes[0xE02] = char(0);
    const Result upright = decodeBytes(bytes, 1);
    QVERIFY(upright.ok > 0);
    // rotation 1 is a quarter turn counter-clockwise, 3 a quarter turn clockwise
    const int degrees[] = {0, -90, 180, 90};
    for (int rotation = 1; rotation < 4; ++rotation) {
        bytes[0xE02] = char(0xFC | rotation);  // only the low two bits count
        const Result r = decodeBytes(bytes, 1);
        QVERIFY(r.ok > 0);
        const QImage expected = upright.image.transformed(QTransform().rotate(degrees[rotation]));
        QCOMPARE(r.image.convertToFormat(QImage::Format_RGB888), expected.convertToFormat(QImage::Format_RGB888));
    }
}

void PhotoCdTest::neutralChromaGivesGrey()
{
    for (int y : {0, 60, 128, 255}) {
        const Result r = decodeBytes(flatPack(y, 156, 137), 2);
        QVERIFY(r.ok > 0);
        const QColor c = r.image.pixelColor(400, 300);
        QCOMPARE(c.red(), y);
        QCOMPARE(c.green(), y);
        QCOMPARE(c.blue(), y);
    }
    // C1 above neutral is blue, C2 above neutral is red
    const QColor blue = decodeBytes(flatPack(100, 220, 137), 0).image.pixelColor(5, 5);
    QVERIFY(blue.blue() > 180 && blue.red() == 100 && blue.green() < 100);
    const QColor red = decodeBytes(flatPack(100, 156, 200), 0).image.pixelColor(5, 5);
    QVERIFY(red.red() > 170 && red.blue() == 100 && red.green() < 100);
}

void PhotoCdTest::requestedDepthAndStop()
{
    const QByteArray pack = flatPack(90, 200, 100);
    for (int bits : {1, 4, 8, 24}) {
        for (int dither : {0, 1}) {
            const Result r = decodeBytes(pack, 1, bits, dither);
            QVERIFY(r.ok > 0);
            QCOMPARE(r.bits, bits);
            QCOMPARE(r.image.size(), QSize(384, 256));
        }
    }
    GlobalHandle dib = nullptr;
    QCOMPARE(m_stream(pack.constData(), pack.size(), 0, 0, 2, &dib, nullptr, stopAtOnce, 0), short(0));
    QVERIFY(dib == nullptr);
}

void PhotoCdTest::damagedPacksFail()
{
    const QByteArray pack = flatPack(128, 156, 137);
    // cut just short of the base picture: base fails, the smaller ones still read
    const QByteArray cut = pack.left(kPackBytes - 1);
    QCOMPARE(decodeBytes(cut, 2).ok, short(0));
    QVERIFY(decodeBytes(cut, 1).ok > 0);
    QCOMPARE(decodeBytes(pack.left(23 * 2048 + 1000), 1).ok, short(0));
    QVERIFY(decodeBytes(pack.left(23 * 2048 + 1000), 0).ok > 0);
    QCOMPARE(decodeBytes(pack.left(0x900), 0).ok, short(0));
    QCOMPARE(decodeBytes(pack.left(0x805), 0).ok, short(0));
    // unknown resolutions
    QCOMPARE(decodeBytes(pack, 3).ok, short(0));
    QCOMPARE(decodeBytes(pack, -1).ok, short(0));
    // no signature, an overview pack, garbage
    QByteArray unsigned_ = pack;
    unsigned_[0x803] = 'X';
    QCOMPARE(decodeBytes(unsigned_, 0).ok, short(0));
    QByteArray garbage(kPackBytes, '\0');
    QRandomGenerator rng(7);
    for (char& c : garbage)
        c = char(rng.bounded(256));
    QCOMPARE(decodeBytes(garbage, 2).ok, short(0));
    QCOMPARE(decodeBytes(QByteArray(), 2).ok, short(0));
    // a missing file and a picture of another format
    QCOMPARE(decodeFile(m_dir.filePath("missing.pcd"), 1).ok, short(0));
    QCOMPARE(decodeFile(QStringLiteral(KV_TEST_DATA "/codec/rose-24.bmp"), 1).ok, short(0));
}

QTEST_GUILESS_MAIN(PhotoCdTest)
#include "tst_photocd.moc"
