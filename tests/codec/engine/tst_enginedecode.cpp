// Decoding by the codec engine: every format and variant of the test data
// against ImageMagick, the requested depths, progress and stopping, the
// information entries and the BMP/TGA layouts no encoder here writes.

#include <QFile>
#include <QtEndian>
#include <QtTest>

#include "codec/engine/crde2001.h"
#include "dibimage.h"
#include "enginecalls.h"
#include "enginemodule.h"
#include "imagecompare.h"
#include "referencedecoder.h"

namespace {

QString dataPath(const QString& name)
{
    return QStringLiteral(KV_SOURCE_DIR "/tests/data/codec/") + name;
}

QByteArray readData(const QString& name)
{
    QFile f(dataPath(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct ProgressLog {
    QList<int> percents;
    int stopAt = 101;  // answer 0 once this percentage is reached
    void* sender = nullptr;
    bool senderSeen = true;
};

int recordProgress(int percent, void* sender)
{
    auto* log = static_cast<ProgressLog*>(sender);
    log->percents.append(percent);
    return percent >= log->stopAt ? 0 : 1;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile out(path);
    return out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(bytes) == bytes.size();
}

// Writes a picture that takes many rows to decode.
QString writeLargePng(const QString& dir)
{
    QImage img(400, 300, QImage::Format_RGB888);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixelColor(x, y, QColor(x % 256, y % 256, (x * y) % 256));
    const QString path = dir + "/large.png";
    return img.save(path) ? path : QString();
}

// An APP1 "Exif" block whose first directory holds the orientation tag,
// in the byte order asked for, put right after the JPEG's SOI marker.
QByteArray withOrientation(const QByteArray& jpeg, int orientation, bool bigEndian)
{
    auto u16 = [&](quint16 v) {
        QByteArray b(2, 0);
        bigEndian ? qToBigEndian(v, b.data()) : qToLittleEndian(v, b.data());
        return b;
    };
    auto u32 = [&](quint32 v) {
        QByteArray b(4, 0);
        bigEndian ? qToBigEndian(v, b.data()) : qToLittleEndian(v, b.data());
        return b;
    };
    QByteArray tiff = QByteArray(bigEndian ? "MM" : "II") + u16(42) + u32(8);
    tiff += u16(2);                                                  // two entries
    tiff += u16(0x010F) + u16(2) + u32(4) + QByteArray("Cam", 4);   // make, ASCII
    tiff += u16(0x0112) + u16(3) + u32(1) + u16(quint16(orientation)) + u16(0);
    tiff += u32(0);
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray app1("\xFF\xE1", 2);
    app1 += char((payload.size() + 2) >> 8);
    app1 += char((payload.size() + 2) & 0xFF);
    return jpeg.left(2) + app1 + payload + jpeg.mid(2);
}

}  // namespace

class EngineDecodeTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void decodesLikeImageMagick_data();
    void decodesLikeImageMagick();
    void requestedDepths_data();
    void requestedDepths();
    void jpegScale();
    void jpegExifOrientation_data();
    void jpegExifOrientation();
    void progressReachesHundred();
    void stopGivesNoPicture_data();
    void stopGivesNoPicture();
    void fileInformation_data();
    void fileInformation();
    void tiffPageInformation();
    void textBuffersAreBounded();
    void bmpHeaderVersions_data();
    void bmpHeaderVersions();
    void bmpRle4();
    void tgaRightToLeft();

private:
    QImage decode24(const QString& path, int page = 0);
    EngineModule m_engine;
    QTemporaryDir m_dir;
};

void EngineDecodeTest::initTestCase()
{
    QVERIFY2(m_engine.loaded(), qPrintable(m_engine.error()));
    QVERIFY(m_dir.isValid());
}

QImage EngineDecodeTest::decode24(const QString& path, int page)
{
    enginecalls::Decoded d = enginecalls::decodeFile(m_engine, path, page, 24);
    const QImage img = d.result > 0 ? dibimage::toImage(d.dib) : QImage();
    dibimage::release(d.dib);
    return img;
}

void EngineDecodeTest::decodesLikeImageMagick_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("ownBits");
    const struct {
        const char* file;
        int page;
        int bits;
    } rows[] = {
        {"rose-baseline.jpg", 0, 24},   {"rose-progressive.jpg", 0, 24}, {"rose-grey.jpg", 0, 8},
        {"rose-cmyk.jpg", 0, 24},       {"rose-exif-orientation-6.jpg", 0, 24},
        {"rose-palette.png", 0, 8},      {"rose-mono.png", 0, 1},
        {"rose-grey16.png", 0, 8},      {"rose-grey-trns.png", 0, 8},    {"rose-alpha.png", 0, 24},
        {"rose-rgba16.png", 0, 24},     {"rose-interlaced.png", 0, 24},  {"rose.gif", 0, 8},
        {"rose-interlaced.gif", 0, 8},  {"rose-transparent.gif", 0, 8},  {"rose-offset.gif", 0, 8},
        {"rose-none.tif", 0, 24},       {"rose-lzw-palette.tif", 0, 4},  {"rose-packbits-grey.tif", 0, 8},
        {"rose-g3.tif", 0, 1},          {"rose-g4.tif", 0, 1},           {"rose-jpeg.tif", 0, 24},
        {"rose-float32.tif", 0, 24},    {"rose-float64-planar.tif", 0, 24},
        {"rose-float32-grey-tiled.tif", 0, 8},
        {"rose-tiled.tif", 0, 24},      {"rose-cmyk.tif", 0, 24},        {"rose-16bit.tif", 0, 24},
        {"rose-alpha.tif", 0, 24},      {"rose-3pages.tif", 0, 24},      {"rose-3pages.tif", 1, 24},
        {"rose-3pages.tif", 2, 8},      {"rose-1bit.bmp", 0, 1},         {"rose-4bit.bmp", 0, 4},
        {"rose-8bit.bmp", 0, 8},        {"rose-rle8.bmp", 0, 8},         {"rose-24.bmp", 0, 24},
        {"rose-os2.bmp", 0, 24},        {"rose-v5-24.bmp", 0, 24},       {"rose-565.bmp", 0, 24},
        {"rose-32alpha.bmp", 0, 24},    {"rose-24.pcx", 0, 24},          {"rose-8bit.pcx", 0, 8},
        {"rose-mono.pcx", 0, 1},        {"rose-16-planes.pcx", 0, 4},    {"rose-16-packed.pcx", 0, 4},
        {"rose-4col.pcx", 0, 4},        {"rose-2pages.dcx", 0, 24},      {"rose-2pages.dcx", 1, 24},
        {"rose.tga", 0, 24},            {"rose-rle.tga", 0, 24},         {"rose-mapped.tga", 0, 8},
        {"rose-grey.tga", 0, 8},        {"rose-grey-rle.tga", 0, 8},     {"rose-alpha-rle.tga", 0, 24},
        {"rose-top.tga", 0, 24},
    };
    for (const auto& r : rows)
        QTest::addRow("%s page %d", r.file, r.page) << QString(r.file) << r.page << r.bits;
}

void EngineDecodeTest::decodesLikeImageMagick()
{
    QFETCH(QString, file);
    QFETCH(int, page);
    QFETCH(int, ownBits);
    const QString path = dataPath(file);
    const QImage ours = decode24(path, page);
    QVERIFY(!ours.isNull());
    // the EXIF orientation 6 picture stands upright
    QCOMPARE(ours.size(), file.contains("orientation-6") ? QSize(23, 35) : QSize(35, 23));

    enginecalls::Decoded fromMemory = enginecalls::decodeStream(m_engine, path, page, 24);
    QCOMPARE(fromMemory.result, short(1));
    QCOMPARE(dibimage::toImage(fromMemory.dib), ours);
    dibimage::release(fromMemory.dib);

    enginecalls::Decoded own = enginecalls::decodeFile(m_engine, path, page, 0);
    QCOMPARE(own.result, short(1));
    QCOMPARE(dibimage::bitCount(own.dib), ownBits);
    QCOMPARE(dibimage::toImage(own.dib), ours);
    dibimage::release(own.dib);

    if (!referencedecoder::available(path))
        QSKIP("no reference decoder (ImageMagick, netpbm) is installed");
    const ImageComparison c = compareImages(ours, referencedecoder::decode(path, page));
    QVERIFY(c.sameSize);
    if (file.endsWith(".jpg") || file.contains("jpeg"))
        QVERIFY2(c.psnr >= 45.0, qPrintable(QString::number(c.psnr)));
    else
        QVERIFY2(c.maxDifference <= 1, qPrintable(QString::number(c.maxDifference)));
}

void EngineDecodeTest::requestedDepths_data()
{
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("dither");
    QTest::addColumn<double>("minPsnr");
    QTest::newRow("1 bit") << 1 << 0 << 5.0;
    QTest::newRow("1 bit dithered") << 1 << 1 << 5.0;
    QTest::newRow("4 bits") << 4 << 0 << 15.0;
    QTest::newRow("4 bits dithered") << 4 << 1 << 15.0;
    QTest::newRow("8 bits") << 8 << 0 << 30.0;
    QTest::newRow("8 bits dithered") << 8 << 1 << 28.0;
    QTest::newRow("24 bits") << 24 << 0 << 99.0;
}

void EngineDecodeTest::requestedDepths()
{
    QFETCH(int, bits);
    QFETCH(int, dither);
    QFETCH(double, minPsnr);
    const QString path = dataPath("rose-24.bmp");
    enginecalls::Decoded d = enginecalls::decodeFile(m_engine, path, 0, bits, dither);
    QCOMPARE(d.result, short(1));
    QCOMPARE(dibimage::bitCount(d.dib), bits);
    if (bits < 24)
        QCOMPARE(dibimage::colourCount(d.dib), 1 << bits);
    const QImage reduced = dibimage::toImage(d.dib);
    dibimage::release(d.dib);
    const ImageComparison c = compareImages(reduced, decode24(path));
    QVERIFY2(c.psnr >= minPsnr, qPrintable(QString::number(c.psnr)));
    if (bits == 1) {
        // black and white that keeps the picture's brightness when dithered
        double ours = 0, original = 0;
        const QImage full = decode24(path);
        for (int y = 0; y < full.height(); ++y)
            for (int x = 0; x < full.width(); ++x) {
                ours += qGray(reduced.pixel(x, y));
                original += qGray(full.pixel(x, y));
            }
        if (dither)
            QVERIFY2(std::abs(ours - original) / original < 0.08, qPrintable(QString::number(ours / original)));
    }
}

void EngineDecodeTest::jpegScale()
{
    auto f = m_engine.entry<rdjpgfiledib_fn>("rdjpgfiledib");
    QVERIFY(f);
    const QByteArray name = QFile::encodeName(dataPath("rose-baseline.jpg"));
    GlobalHandle dib = nullptr;
    QCOMPARE(f(name.constData(), 24, 0, 2, &dib, nullptr, nullptr, nullptr, 0), short(1));
    QCOMPARE(dibimage::toImage(dib).size(), QSize(18, 12));
    dibimage::release(dib);
}

void EngineDecodeTest::jpegExifOrientation_data()
{
    QTest::addColumn<int>("orientation");
    QTest::addColumn<QTransform>("turn");   // what makes the stored rows upright
    QTest::newRow("2 mirrored") << 2 << QTransform().scale(-1, 1);
    QTest::newRow("3 half turn") << 3 << QTransform().rotate(180);
    QTest::newRow("4 flipped") << 4 << QTransform().scale(1, -1);
    QTest::newRow("5 transposed") << 5 << QTransform(0, 1, 1, 0, 0, 0);
    QTest::newRow("6 quarter clockwise") << 6 << QTransform().rotate(90);
    QTest::newRow("7 transversed") << 7 << QTransform(0, -1, -1, 0, 0, 0);
    QTest::newRow("8 quarter anticlockwise") << 8 << QTransform().rotate(-90);
}

void EngineDecodeTest::jpegExifOrientation()
{
    QFETCH(int, orientation);
    QFETCH(QTransform, turn);
    const QByteArray plain = readData("rose-baseline.jpg");
    QVERIFY(!plain.isEmpty());
    auto decode = m_engine.entry<rdjpgstreamdib_fn>("rdjpgstreamdib");
    auto info = m_engine.entry<streaminfo_fn>("streaminfo");
    QVERIFY(decode && info);
    GlobalHandle stored = nullptr;
    QCOMPARE(decode(plain.constData(), plain.size(), 24, 0, 1, &stored, nullptr, nullptr, 0), short(1));
    const QImage asStored = dibimage::toImage(stored);
    const QImage expected = asStored.transformed(turn);
    dibimage::release(stored);
    for (bool bigEndian : {false, true}) {
        const QByteArray data = withOrientation(plain, orientation, bigEndian);
        GlobalHandle dib = nullptr;
        QCOMPARE(decode(data.constData(), data.size(), 24, 0, 1, &dib, nullptr, nullptr, 0), short(1));
        const QImage upright = dibimage::toImage(dib);
        dibimage::release(dib);
        QCOMPARE(upright.size(), expected.size());
        QCOMPARE(compareImages(upright, expected).maxDifference, 0);
        char type[16], compression[16];
        int width = 0, height = 0, colours = 0;
        short planes = 0, bits = 0;
        QCOMPARE(info(data.constData(), data.size(), type, 16, compression, 16, &colours, &planes, &bits, &height,
                      &width),
                 short(1));
        QCOMPARE(QSize(width, height), expected.size());
    }
    // a directory offset past the block leaves the rows as stored
    QByteArray lying = withOrientation(plain, 6, false);
    lying[2 + 4 + 6 + 4] = char(0x7F);
    GlobalHandle dib = nullptr;
    QCOMPARE(decode(lying.constData(), lying.size(), 24, 0, 1, &dib, nullptr, nullptr, 0), short(1));
    QCOMPARE(dibimage::toImage(dib).size(), asStored.size());
    dibimage::release(dib);
}

void EngineDecodeTest::progressReachesHundred()
{
    const QString large = writeLargePng(m_dir.path());
    QVERIFY(!large.isEmpty());
    auto f = m_engine.entry<rdpngfiledib_fn>("rdpngfiledib");
    ProgressLog log;
    GlobalHandle dib = nullptr;
    const QByteArray name = QFile::encodeName(large);
    QCOMPARE(f(name.constData(), 8, 1, &dib, nullptr, &log, recordProgress, 0), short(1));
    dibimage::release(dib);
    QVERIFY(log.percents.size() >= 5);
    QCOMPARE(log.percents.first(), 0);
    QCOMPARE(log.percents.last(), 100);
    QVERIFY(std::is_sorted(log.percents.begin(), log.percents.end()));
}

void EngineDecodeTest::stopGivesNoPicture_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("stopAt");
    QTest::newRow("PNG at once") << "large.png" << 0;
    QTest::newRow("PNG half way") << "large.png" << 40;
    QTest::newRow("JPEG at once") << "rose-progressive.jpg" << 0;
    QTest::newRow("TIFF at once") << "rose-3pages.tif" << 0;
    QTest::newRow("GIF during the rows") << "rose.gif" << 10;
    QTest::newRow("BMP before the depth change") << "rose-24.bmp" << 100;
}

void EngineDecodeTest::stopGivesNoPicture()
{
    QFETCH(QString, file);
    QFETCH(int, stopAt);
    const QString path = file == "large.png" ? writeLargePng(m_dir.path()) : dataPath(file);
    const QByteArray name = QFile::encodeName(path);
    ProgressLog log;
    log.stopAt = stopAt;
    GlobalHandle dib = reinterpret_cast<GlobalHandle>(&log);  // must be cleared
    short result = -5;
    if (file.endsWith(".png"))
        result = m_engine.entry<rdpngfiledib_fn>("rdpngfiledib")(name.constData(), 8, 0, &dib, nullptr, &log,
                                                                  recordProgress, 0);
    else if (file.endsWith(".jpg"))
        result = m_engine.entry<rdjpgfiledib_fn>("rdjpgfiledib")(name.constData(), 0, 0, 1, &dib, nullptr, &log,
                                                                  recordProgress, 0);
    else if (file.endsWith(".tif"))
        result = m_engine.entry<readtiffiledib_fn>("readtiffiledib")(name.constData(), 0, 0, 1, &dib, nullptr,
                                                                      &log, recordProgress, 0);
    else if (file.endsWith(".gif"))
        result = m_engine.entry<rdgiffiledib_fn>("rdgiffiledib")(name.constData(), 0, 0, &dib, nullptr, &log,
                                                                  recordProgress, 0);
    else
        result = m_engine.entry<rdbmpfiledib_fn>("rdbmpfiledib")(name.constData(), 4, 1, &dib, nullptr, &log,
                                                                  recordProgress, 0);
    QCOMPARE(result, short(0));
    QVERIFY(dib == nullptr);
    QVERIFY(!log.percents.isEmpty());
    QVERIFY(log.percents.last() >= stopAt);
}

void EngineDecodeTest::fileInformation_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("compression");
    QTest::addColumn<int>("bits");
    QTest::newRow("JPEG") << "rose-baseline.jpg" << "JPEG" << "JPEG" << 24;
    QTest::newRow("JPEG grey") << "rose-grey.jpg" << "JPEG" << "JPEG" << 8;
    QTest::newRow("PNG palette") << "rose-palette.png" << "PNG" << "Deflate" << 8;
    QTest::newRow("PNG RGBA 16") << "rose-rgba16.png" << "PNG" << "Deflate" << 64;
    QTest::newRow("GIF") << "rose.gif" << "GIF" << "LZW" << 6;
    QTest::newRow("BMP RGB") << "rose-24.bmp" << "BMP" << "RGB" << 24;
    QTest::newRow("BMP RLE8") << "rose-rle8.bmp" << "BMP" << "RLE8" << 8;
    QTest::newRow("BMP BITFIELDS") << "rose-565.bmp" << "BMP" << "BITFIELDS" << 16;
    QTest::newRow("BMP OS/2") << "rose-os2.bmp" << "BMP" << "RGB" << 24;
    QTest::newRow("TIFF LZW") << "rose-3pages.tif" << "TIFF" << "LZW" << 24;
    QTest::newRow("TIFF PackBits") << "rose-packbits-grey.tif" << "TIFF" << "PACKBITS" << 8;
    QTest::newRow("TIFF G4") << "rose-g4.tif" << "TIFF" << "FAXCCITT4" << 1;
    QTest::newRow("TIFF JPEG") << "rose-jpeg.tif" << "TIFF" << "UNKNOWN" << 24;
    QTest::newRow("PCX") << "rose-24.pcx" << "PCX" << "RLE" << 24;
    QTest::newRow("DCX") << "rose-2pages.dcx" << "DCX" << "RLE" << 24;
    QTest::newRow("TGA raw") << "rose.tga" << "TGA" << "None" << 24;
    QTest::newRow("TGA RLE") << "rose-alpha-rle.tga" << "TGA" << "RLE" << 32;
}

void EngineDecodeTest::fileInformation()
{
    QFETCH(QString, file);
    QFETCH(QString, type);
    QFETCH(QString, compression);
    QFETCH(int, bits);
    auto fileinfoFn = m_engine.entry<fileinfo_fn>("fileinfo");
    auto streaminfoFn = m_engine.entry<streaminfo_fn>("streaminfo");
    QVERIFY(fileinfoFn && streaminfoFn);
    char t[32] = "x", c[32] = "x";
    int w = 0, h = 0, colours = -1;
    short b = 0, planes = 0;
    const QByteArray name = QFile::encodeName(dataPath(file));
    if (!file.endsWith(".dcx")) {  // the file entry types DCX by content too; checked once below
        QCOMPARE(fileinfoFn(name.constData(), t, sizeof t, &w, &h, &b, &planes, &colours, c, sizeof c), short(1));
        QCOMPARE(QString(t), type);
        QCOMPARE(QString(c), compression);
        QCOMPARE(int(b), bits);
        QCOMPARE(QSize(w, h), QSize(35, 23));
        QCOMPARE(int(planes), 1);
    }
    const QByteArray data = readData(file);
    char t2[32] = "x", c2[32] = "x";
    int w2 = 0, h2 = 0, colours2 = -1;
    short b2 = 0, planes2 = 0;
    QCOMPARE(streaminfoFn(data.constData(), data.size(), t2, sizeof t2, c2, sizeof c2, &colours2, &planes2, &b2, &h2,
                          &w2),
             short(1));
    QCOMPARE(QString(t2), type);
    QCOMPARE(QString(c2), compression);
    QCOMPARE(int(b2), bits);
    QCOMPARE(QSize(w2, h2), QSize(35, 23));
}

void EngineDecodeTest::tiffPageInformation()
{
    auto getinfoFn = m_engine.entry<getinfo_fn>("getinfo");
    auto streamFn = m_engine.entry<getinfostream_fn>("getinfostream");
    int w = 0, h = 0;
    short bits = 0, pages = 0, compression = 0;
    const QByteArray name = QFile::encodeName(dataPath("rose-3pages.tif"));
    QCOMPARE(getinfoFn(name.constData(), 2, &w, &h, &bits, &pages, &compression), short(1));
    QCOMPARE(pages, short(3));
    QCOMPARE(compression, short(5));
    QCOMPARE(bits, short(8));
    QCOMPARE(getinfoFn(name.constData(), 3, &w, &h, &bits, &pages, &compression), short(-1));
    QCOMPARE(getinfoFn(name.constData(), -1, &w, &h, &bits, &pages, &compression), short(-1));
    // PackBits arrives as a signed 16-bit code
    const QByteArray packbits = readData("rose-packbits-grey.tif");
    QCOMPARE(streamFn(packbits.constData(), packbits.size(), 0, &w, &h, &bits, &pages, &compression), short(1));
    QCOMPARE(compression, short(-32763));
    QCOMPARE(pages, short(1));
    // a picture that is no TIFF has no TIFF pages
    const QByteArray bmp = readData("rose-24.bmp");
    QVERIFY(streamFn(bmp.constData(), bmp.size(), 0, &w, &h, &bits, &pages, &compression) < 0);
    const QByteArray bmpName = QFile::encodeName(dataPath("rose-24.bmp"));
    QCOMPARE(getinfoFn(bmpName.constData(), 0, &w, &h, &bits, &pages, &compression), short(-1));
}

void EngineDecodeTest::textBuffersAreBounded()
{
    auto fileinfoFn = m_engine.entry<fileinfo_fn>("fileinfo");
    char type[8];
    char compression[8];
    memset(type, '#', sizeof type);
    memset(compression, '#', sizeof compression);
    int w = 0, h = 0, colours = 0;
    short bits = 0, planes = 0;
    const QByteArray name = QFile::encodeName(dataPath("rose-565.bmp"));
    QCOMPARE(fileinfoFn(name.constData(), type, 3, &w, &h, &bits, &planes, &colours, compression, 1), short(1));
    QCOMPARE(QByteArray(type), QByteArray("BM"));
    QCOMPARE(type[3], '#');
    QCOMPARE(compression[0], '\0');
    QCOMPARE(compression[1], '#');
    // null out-parameters are allowed
    QCOMPARE(fileinfoFn(name.constData(), nullptr, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0),
             short(1));
}

namespace {

// rose-24.bmp (40-byte header) rewritten with another header size.
QByteArray withHeaderSize(const QByteArray& bmp40, int headerSize)
{
    QByteArray out = bmp40.left(14 + 40);
    out.append(QByteArray(headerSize - 40, '\0'));
    qToLittleEndian<quint32>(quint32(headerSize), out.data() + 14);
    qToLittleEndian<quint32>(quint32(14 + headerSize), out.data() + 10);
    out.append(bmp40.mid(14 + 40));
    return out;
}

QByteArray topDown(const QByteArray& bmp40, int stride, int height)
{
    QByteArray out = bmp40.left(14 + 40);
    qToLittleEndian<qint32>(-height, out.data() + 22);
    for (int y = height - 1; y >= 0; --y)
        out.append(bmp40.mid(54 + y * stride, stride));
    return out;
}

}  // namespace

void EngineDecodeTest::bmpHeaderVersions_data()
{
    QTest::addColumn<QByteArray>("file");
    const QByteArray bmp = readData("rose-24.bmp");
    for (int size : {52, 56, 64, 108, 124})
        QTest::addRow("header of %d bytes", size) << withHeaderSize(bmp, size);
    QTest::newRow("top-down rows") << topDown(bmp, 108, 23);
    QByteArray noOffset = bmp;
    qToLittleEndian<quint32>(0, noOffset.data() + 10);
    QTest::newRow("no pixel offset") << noOffset;
}

void EngineDecodeTest::bmpHeaderVersions()
{
    QFETCH(QByteArray, file);
    const QString path = m_dir.filePath("variant.bmp");
    QVERIFY(writeFile(path, file));
    QCOMPARE(decode24(path), decode24(dataPath("rose-24.bmp")));
}

void EngineDecodeTest::bmpRle4()
{
    // rose-4bit.bmp with every row written as an RLE4 literal and two runs
    const QByteArray plain = readData("rose-4bit.bmp");
    const int stride = 20, width = 35, height = 23;
    const int pixelOffset = qFromLittleEndian<quint32>(plain.constData() + 10);
    QByteArray rle;
    for (int y = 0; y < height; ++y) {
        const QByteArray row = plain.mid(pixelOffset + y * stride, stride);
        rle.append('\0').append(char(32));  // 32 literal pixels, 16 bytes
        rle.append(row.left(16));
        const int last3 = ((uchar(row[16]) >> 4) & 15);
        rle.append(char(1)).append(char(last3 << 4));  // pixel 32 as a run of one
        // pixels 33 and 34 as a run of two alternating nibbles
        rle.append(char(2)).append(char((uchar(row[16]) & 15) << 4 | (uchar(row[17]) >> 4)));
        rle.append('\0').append('\0');  // end of line
    }
    rle.append('\0').append('\1');
    QByteArray file = plain.left(pixelOffset) + rle;
    qToLittleEndian<quint32>(2, file.data() + 30);  // BI_RLE4
    qToLittleEndian<quint32>(quint32(rle.size()), file.data() + 34);
    const QString path = m_dir.filePath("rle4.bmp");
    QVERIFY(writeFile(path, file));
    QCOMPARE(decode24(path).size(), QSize(width, height));
    QCOMPARE(decode24(path), decode24(dataPath("rose-4bit.bmp")));
    enginecalls::Decoded own = enginecalls::decodeFile(m_engine, path, 0, 0);
    QCOMPARE(dibimage::bitCount(own.dib), 4);
    dibimage::release(own.dib);
}

void EngineDecodeTest::tgaRightToLeft()
{
    QByteArray tga = readData("rose.tga");
    QByteArray mirrored = tga.left(18);
    mirrored[17] = char(mirrored[17] | 0x10);
    for (int y = 0; y < 23; ++y)
        for (int x = 34; x >= 0; --x)
            mirrored.append(tga.mid(18 + (y * 35 + x) * 3, 3));
    const QString path = m_dir.filePath("mirrored.tga");
    QVERIFY(writeFile(path, mirrored));
    QCOMPARE(decode24(path), decode24(dataPath("rose.tga")));
}

QTEST_GUILESS_MAIN(EngineDecodeTest)
#include "tst_enginedecode.moc"
