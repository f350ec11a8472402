// Hostile input for every reader of the engine: empty and random data,
// truncated files, one format named as another, headers that lie about
// sizes, palettes and offsets, TIFF directory loops, pictures over the
// 1 GiB limit and tiny files claiming huge pictures. Each must give a clear
// failure (or, where the data allows it, a well-formed picture), never a
// crash, hang or out-of-bounds read.

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QtEndian>
#include <QtTest>

#include <cstdio>
#include <cstring>

#include "allocationwatch.h"
#include "codec/engine/crde2001.h"
#include "dibimage.h"
#include "enginemodule.h"

namespace {

const QStringList kFormats = {"jpg", "png", "gif", "bmp", "pcx", "dcx", "tga", "tif"};

QByteArray readData(const QString& name)
{
    QFile f(QStringLiteral(KV_SOURCE_DIR "/tests/data/codec/") + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The reason the engine gives for such pictures.
constexpr const char* kTooSmall = "the file is too small for the picture it claims";
// Largest block a decoder may allocate for a file of a few kilobytes: the
// pictures below claim 256 MiB and more.
constexpr std::size_t kLargestBlock = std::size_t(64) << 20;

quint32 crc32(const QByteArray& data)
{
    quint32 crc = 0xFFFFFFFFu;
    for (char ch : data) {
        crc ^= uchar(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A little-endian TIFF of 8-bit grey strips: one IFD per entry of pages,
// each pointing at the next unless nextOverride says otherwise.
struct TiffPage {
    quint32 width = 4, height = 4;
    quint32 stripOffset = 0;  // 0: the pixel bytes written after the IFDs
    quint32 stripBytes = 16;
    qint64 nextOverride = -1;  // offset of the next IFD, -1 for the natural one
};

QByteArray tinyTiff(const QList<TiffPage>& pages)
{
    const int ifdSize = 2 + 8 * 12 + 4;
    QByteArray out("II*\0\x08\0\0\0", 8);
    const quint32 pixelStart = 8 + quint32(pages.size()) * ifdSize;
    for (int i = 0; i < pages.size(); ++i) {
        const TiffPage& p = pages[i];
        QByteArray ifd(ifdSize, '\0');
        qToLittleEndian<quint16>(8, ifd.data());
        const quint32 tags[8][3] = {{256, 4, p.width},       {257, 4, p.height},
                                    {258, 3, 8},             {259, 3, 1},
                                    {262, 3, 1},             {273, 4, p.stripOffset ? p.stripOffset : pixelStart},
                                    {278, 4, p.height},      {279, 4, p.stripBytes}};
        for (int t = 0; t < 8; ++t) {
            char* e = ifd.data() + 2 + 12 * t;
            qToLittleEndian<quint16>(quint16(tags[t][0]), e);
            qToLittleEndian<quint16>(quint16(tags[t][1]), e + 2);
            qToLittleEndian<quint32>(1, e + 4);
            if (tags[t][1] == 3)
                qToLittleEndian<quint16>(quint16(tags[t][2]), e + 8);
            else
                qToLittleEndian<quint32>(tags[t][2], e + 8);
        }
        const quint32 natural = i + 1 < pages.size() ? 8 + quint32(i + 1) * ifdSize : 0;
        qToLittleEndian<quint32>(p.nextOverride >= 0 ? quint32(p.nextOverride) : natural, ifd.data() + ifdSize - 4);
        out.append(ifd);
    }
    out.append(QByteArray(16, '\x80'));
    return out;
}

}  // namespace

class EngineHostileTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void emptyAndRandomData();
    void truncatedFiles_data();
    void truncatedFiles();
    void formatNamedAsAnother_data();
    void formatNamedAsAnother();
    void lyingHeaders_data();
    void lyingHeaders();
    void tiffDirectoryLoops();
    void informationOfBadData();
    void claimsBeyondTheData_data();
    void claimsBeyondTheData();
    void flatPicturesStillOpen_data();
    void flatPicturesStillOpen();

private:
    // Decodes bytes with the memory entry of the format (bits 24); 1 with a
    // well-formed picture, 0 with none. Fails the test on anything else.
    int decode(const QString& format, const QByteArray& bytes, int page = 0);
    // The same through the file entry.
    int decodeAsFile(const QString& format, const QByteArray& bytes, int page = 0);
    int judge(short result, GlobalHandle dib);
    short callMemoryEntry(const QString& format, const QByteArray& bytes, int page, GlobalHandle* dib);
    short callFileEntry(const QString& format, const QString& path, int page, GlobalHandle* dib);
    QString writeFile(const QString& name, const QByteArray& bytes);
    // The engine's reason for the last failure on this thread.
    QByteArray lastFailure();
    // In the watched child: every entry refuses bytes for the claim, without
    // a picture. Says on standard error which one did not.
    bool refusedEverywhere(const QString& format, const QByteArray& bytes, const QString& path);

    EngineModule m_engine;
    QTemporaryDir m_dir;
};

void EngineHostileTest::initTestCase()
{
    QVERIFY2(m_engine.loaded(), qPrintable(m_engine.error()));
    QVERIFY(m_dir.isValid());
}

int EngineHostileTest::judge(short result, GlobalHandle dib)
{
    if (result <= 0) {
        if (dib) {
            dibimage::release(dib);
            return -1;
        }
        return 0;
    }
    const bool wellFormed = !dibimage::toImage(dib).isNull();
    dibimage::release(dib);
    return wellFormed ? 1 : -1;
}

short EngineHostileTest::callMemoryEntry(const QString& format, const QByteArray& bytes, int page, GlobalHandle* dib)
{
    const void* p = bytes.constData();
    const int64_t n = bytes.size();
    if (format == "jpg")
        return m_engine.entry<rdjpgstreamdib_fn>("rdjpgstreamdib")(p, n, 24, 0, 1, dib, nullptr, nullptr, 0);
    if (format == "png")
        return m_engine.entry<rdpngstreamdib_fn>("rdpngstreamdib")(p, n, 24, 0, dib, nullptr, nullptr, 0);
    if (format == "gif")
        return m_engine.entry<rdgifstreamdib_fn>("rdgifstreamdib")(p, n, 24, 0, dib, nullptr, nullptr, 0);
    if (format == "bmp")
        return m_engine.entry<rdbmpstreamdib_fn>("rdbmpstreamdib")(p, n, 24, 0, dib, nullptr, nullptr, 0);
    if (format == "pcx")
        return m_engine.entry<rdpcxstreamdib_fn>("rdpcxstreamdib")(p, n, 24, 0, dib, nullptr, nullptr, 0);
    if (format == "dcx")
        return m_engine.entry<rddcxstreamdib_fn>("rddcxstreamdib")(p, n, 24, 0, short(page), dib, nullptr, nullptr, 0);
    if (format == "tga")
        return m_engine.entry<readtgafilestreamdib_fn>("readtgafilestreamdib")(p, n, 24, 0, dib, nullptr, nullptr, 0);
    if (format == "tif")
        return m_engine.entry<readtiffiledibstream_fn>("readtiffiledibstream")(p, n, 24, 0, short(page), dib,
                                                                               nullptr, nullptr, 0);
    return -99;
}

short EngineHostileTest::callFileEntry(const QString& format, const QString& path, int page, GlobalHandle* dib)
{
    const QByteArray name = QFile::encodeName(path);
    const char* file = name.constData();
    if (format == "jpg")
        return m_engine.entry<rdjpgfiledib_fn>("rdjpgfiledib")(file, 24, 0, 1, dib, nullptr, nullptr, nullptr, 0);
    if (format == "png")
        return m_engine.entry<rdpngfiledib_fn>("rdpngfiledib")(file, 24, 0, dib, nullptr, nullptr, nullptr, 0);
    if (format == "gif")
        return m_engine.entry<rdgiffiledib_fn>("rdgiffiledib")(file, 24, 0, dib, nullptr, nullptr, nullptr, 0);
    if (format == "bmp")
        return m_engine.entry<rdbmpfiledib_fn>("rdbmpfiledib")(file, 24, 0, dib, nullptr, nullptr, nullptr, 0);
    if (format == "pcx")
        return m_engine.entry<rdpcxfiledib_fn>("rdpcxfiledib")(file, 24, 0, dib, nullptr, nullptr, nullptr, 0);
    if (format == "tga")
        return m_engine.entry<readtgafiledib_fn>("readtgafiledib")(file, 24, 0, dib, nullptr, nullptr, nullptr, 0);
    if (format == "tif")
        return m_engine.entry<readtiffiledib_fn>("readtiffiledib")(file, 24, 0, short(page), dib, nullptr, nullptr,
                                                                   nullptr, 0);
    return -99;
}

QString EngineHostileTest::writeFile(const QString& name, const QByteArray& bytes)
{
    const QString path = m_dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        return QString();
    return path;
}

int EngineHostileTest::decode(const QString& format, const QByteArray& bytes, int page)
{
    GlobalHandle dib = nullptr;
    return judge(callMemoryEntry(format, bytes, page, &dib), dib);
}

int EngineHostileTest::decodeAsFile(const QString& format, const QByteArray& bytes, int page)
{
    if (format == "dcx")
        return decode(format, bytes, page);
    const QString path = writeFile("hostile." + format, bytes);
    if (path.isEmpty())
        return -1;
    GlobalHandle dib = nullptr;
    return judge(callFileEntry(format, path, page, &dib), dib);
}

void EngineHostileTest::emptyAndRandomData()
{
    QByteArray random(8192, '\0');
    QRandomGenerator gen(1);
    for (char& c : random)
        c = char(gen.bounded(256));
    const QByteArray text = "This is not a picture.\nJust some text that happens to be here.\n";
    for (const QString& format : kFormats) {
        QCOMPARE(decodeAsFile(format, QByteArray()), 0);
        QCOMPARE(decodeAsFile(format, QByteArray(1, '\x0a')), 0);
        QCOMPARE(decodeAsFile(format, random), 0);
        QCOMPARE(decodeAsFile(format, text), 0);
        // random bytes behind a real signature
        const QByteArray signatures[] = {QByteArray("\xff\xd8\xff\xe0", 4), QByteArray("\x89PNG\r\n\x1a\n"),
                                         QByteArray("GIF89a"), QByteArray("BM"), QByteArray("II*\0", 4),
                                         QByteArray("\x0a\x05\x01\x08", 4)};
        for (const QByteArray& sig : signatures)
            QCOMPARE(decode(format, sig + random), 0);
    }
    // no buffer, a negative size
    GlobalHandle dib = nullptr;
    auto png = m_engine.entry<rdpngstreamdib_fn>("rdpngstreamdib");
    QCOMPARE(png(nullptr, 100, 24, 0, &dib, nullptr, nullptr, 0), short(0));
    QCOMPARE(png(random.constData(), -5, 24, 0, &dib, nullptr, nullptr, 0), short(0));
    QCOMPARE(png(random.constData(), 100, 24, 0, nullptr, nullptr, nullptr, 0), short(0));
    QVERIFY(dib == nullptr);
    auto jpg = m_engine.entry<rdjpgfiledib_fn>("rdjpgfiledib");
    QCOMPARE(jpg(nullptr, 24, 0, 1, &dib, nullptr, nullptr, nullptr, 0), short(0));
    QCOMPARE(jpg("/nonexistent/x.jpg", 24, 0, 1, &dib, nullptr, nullptr, nullptr, 0), short(0));
    QCOMPARE(jpg(QFile::encodeName(m_dir.path()).constData(), 24, 0, 1, &dib, nullptr, nullptr, nullptr, 0),
             short(0));
}

void EngineHostileTest::truncatedFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("page");  // the last page: earlier ones may lie before the cut
    const char* files[] = {"rose-baseline.jpg", "rose-progressive.jpg", "rose-cmyk.jpg", "rose-palette.png",
                           "rose-interlaced.png", "rose-rgba16.png", "rose.gif", "rose-interlaced.gif",
                           "rose-3pages.tif", "rose-g4.tif", "rose-jpeg.tif", "rose-tiled.tif",
                           "rose-24.bmp", "rose-rle8.bmp", "rose-os2.bmp", "rose-32alpha.bmp",
                           "rose-24.pcx", "rose-8bit.pcx", "rose-16-planes.pcx", "rose-2pages.dcx",
                           "rose.tga", "rose-rle.tga", "rose-mapped.tga", "rose-alpha-rle.tga"};
    for (const char* f : files) {
        QString format = QString(f).section('.', -1);
        const int page = QString(f) == "rose-3pages.tif" ? 2 : (QString(f) == "rose-2pages.dcx" ? 1 : 0);
        QTest::newRow(f) << QString(f) << format << page;
    }
}

void EngineHostileTest::truncatedFiles()
{
    QFETCH(QString, file);
    QFETCH(QString, format);
    QFETCH(int, page);
    const QByteArray whole = readData(file);
    QVERIFY(!whole.isEmpty());
    QCOMPARE(decode(format, whole, page), 1);
    // without half of its data no file holds a picture; near the end some
    // formats still have every pixel (only a trailer is missing)
    for (int percent : {1, 5, 10, 25, 50, 75, 90, 99}) {
        const QByteArray cut = whole.left(whole.size() * percent / 100);
        const int result = decode(format, cut, page);
        QVERIFY2(result >= 0, qPrintable(QString("%1%: malformed result").arg(percent)));
        if (percent <= 50)
            QVERIFY2(result == 0, qPrintable(QString("%1% accepted").arg(percent)));
    }
    for (int keep : {8, 18, 54, 128, 200})
        QVERIFY(decode(format, whole.left(keep)) >= 0);
}

void EngineHostileTest::formatNamedAsAnother_data()
{
    QTest::addColumn<QString>("file");
    for (const char* f : {"rose-baseline.jpg", "rose-palette.png", "rose.gif", "rose-3pages.tif", "rose-24.bmp",
                          "rose-24.pcx", "rose-2pages.dcx", "rose.tga"})
        QTest::newRow(f) << QString(f);
}

void EngineHostileTest::formatNamedAsAnother()
{
    QFETCH(QString, file);
    const QByteArray bytes = readData(file);
    const QString own = file.section('.', -1);
    for (const QString& format : kFormats) {
        if (format != own)
            QVERIFY2(decodeAsFile(format, bytes) == 0, qPrintable(format + " entry accepted it"));
    }
}

void EngineHostileTest::lyingHeaders_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("expected");  // 0 refused, 1 a picture

    const QByteArray bmp = readData("rose-24.bmp");
    QByteArray bomb = bmp;
    qToLittleEndian<qint32>(60000, bomb.data() + 18);
    qToLittleEndian<qint32>(60000, bomb.data() + 22);
    QTest::newRow("BMP 60000 x 60000") << "bmp" << bomb << 0;
    QByteArray wide = bmp;
    qToLittleEndian<qint32>(0x7FFFFFFF, wide.data() + 18);
    QTest::newRow("BMP width 2^31-1") << "bmp" << wide << 0;
    QByteArray negativeWidth = bmp;
    qToLittleEndian<qint32>(-35, negativeWidth.data() + 18);
    QTest::newRow("BMP negative width") << "bmp" << negativeWidth << 0;
    const QByteArray bmp8 = readData("rose-8bit.bmp");
    QTest::newRow("BMP palette past the end") << "bmp" << bmp8.left(54 + 300) << 0;
    QByteArray hugePalette = bmp8;
    qToLittleEndian<quint32>(70000, hugePalette.data() + 46);
    QTest::newRow("BMP 70000 colours") << "bmp" << hugePalette << 0;
    QByteArray farPixels = bmp;
    qToLittleEndian<quint32>(0x7FFFFFF0, farPixels.data() + 10);
    QTest::newRow("BMP pixel offset past the end") << "bmp" << farPixels << 1;
    QByteArray headerSize = bmp;
    qToLittleEndian<quint32>(0xFFFFFF00, headerSize.data() + 14);
    QTest::newRow("BMP header size 4 GiB") << "bmp" << headerSize << 0;

    // an RLE8 picture whose runs pass the row end, whose deltas leave the
    // picture and whose literal runs past the data
    const QByteArray rle8 = readData("rose-rle8.bmp");
    const int rleStart = qFromLittleEndian<quint32>(rle8.constData() + 10);
    QByteArray runs = rle8.left(rleStart);
    runs.append(QByteArray("\xff\x05\xff\x06\x00\x02\xff\x03\xff\x07\x00\x00\x00\x02\x10\xff\xff\x01"
                           "\x00\xf0\x01\x02",
                           22));
    QTest::newRow("RLE8 runs past rows and picture") << "bmp" << runs << 1;
    QByteArray deltas = rle8.left(rleStart);
    for (int i = 0; i < 4000; ++i)
        deltas.append(QByteArray("\x00\x02\x00\x00", 4));
    QTest::newRow("RLE8 endless empty deltas") << "bmp" << deltas << 0;

    const QByteArray png = readData("rose-interlaced.png");
    QByteArray pngBomb = png;
    qToBigEndian<quint32>(50000, pngBomb.data() + 16);
    qToBigEndian<quint32>(50000, pngBomb.data() + 20);
    qToBigEndian<quint32>(crc32(pngBomb.mid(12, 17)), pngBomb.data() + 29);
    QTest::newRow("PNG 50000 x 50000, CRC right") << "png" << pngBomb << 0;
    QByteArray pngBadCrc = png;
    pngBadCrc[20] = char(pngBadCrc[20] ^ 1);
    QTest::newRow("PNG header CRC wrong") << "png" << pngBadCrc << 0;

    const QByteArray gif = readData("rose.gif");
    QByteArray gifScreen = gif;
    qToLittleEndian<quint16>(65535, gifScreen.data() + 6);
    qToLittleEndian<quint16>(65535, gifScreen.data() + 8);
    QTest::newRow("GIF screen 65535 x 65535") << "gif" << gifScreen << 0;

    const QByteArray pcx = readData("rose-24.pcx");
    QByteArray pcxBomb = pcx;
    qToLittleEndian<quint16>(65535, pcxBomb.data() + 8);
    qToLittleEndian<quint16>(65535, pcxBomb.data() + 10);
    qToLittleEndian<quint16>(65535, pcxBomb.data() + 66);
    QTest::newRow("PCX 65536 x 65536") << "pcx" << pcxBomb << 0;
    QByteArray pcxNarrow = pcx;
    qToLittleEndian<quint16>(2, pcxNarrow.data() + 66);
    QTest::newRow("PCX line shorter than the width") << "pcx" << pcxNarrow << 0;

    QByteArray dcx("\xb1\x68\xde\x3a", 4);
    for (int i = 0; i < 1100; ++i)
        dcx.append(QByteArray("\xff\xff\xff\x7f", 4));
    QTest::newRow("DCX without terminator, offsets past the end") << "dcx" << dcx << 0;

    const QByteArray tga = readData("rose.tga");
    QByteArray tgaBomb = tga;
    qToLittleEndian<quint16>(65535, tgaBomb.data() + 12);
    qToLittleEndian<quint16>(65535, tgaBomb.data() + 14);
    QTest::newRow("TGA 65535 x 65535") << "tga" << tgaBomb << 0;
    const QByteArray mapped = readData("rose-mapped.tga");
    QByteArray longMap = mapped;
    qToLittleEndian<quint16>(65535, longMap.data() + 5);
    QTest::newRow("TGA colour map past the end") << "tga" << longMap << 0;
    QByteArray tgaRuns = tga.left(18);
    tgaRuns[2] = 10;
    tgaRuns.append(QByteArray("\xff\x01\x02\x03\xff\x01\x02", 7));
    QTest::newRow("TGA RLE packets past the data") << "tga" << tgaRuns << 0;

    QByteArray jpgHuge = readData("rose-baseline.jpg");
    const int sof = jpgHuge.indexOf("\xff\xc0");
    QVERIFY(sof > 0);
    qToBigEndian<quint16>(65500, jpgHuge.data() + sof + 5);
    qToBigEndian<quint16>(65500, jpgHuge.data() + sof + 7);
    QTest::newRow("JPEG 65500 x 65500") << "jpg" << jpgHuge << 0;

    TiffPage huge;
    huge.width = 1000000;
    huge.height = 1000000;
    QTest::newRow("TIFF 10^6 x 10^6") << "tif" << tinyTiff({huge}) << 0;
    TiffPage farStrip;
    farStrip.stripOffset = 0x7FFF0000;
    QTest::newRow("TIFF strip past the end") << "tif" << tinyTiff({farStrip}) << 0;
    QByteArray farIfd = tinyTiff({TiffPage()});
    qToLittleEndian<quint32>(0x7FFFFFF0, farIfd.data() + 4);
    QTest::newRow("TIFF directory past the end") << "tif" << farIfd << 0;
    QTest::newRow("TIFF tiny and sound") << "tif" << tinyTiff({TiffPage()}) << 1;
}

void EngineHostileTest::lyingHeaders()
{
    QFETCH(QString, format);
    QFETCH(QByteArray, bytes);
    QFETCH(int, expected);
    QCOMPARE(decode(format, bytes), expected);
    QCOMPARE(decodeAsFile(format, bytes), expected);
}

void EngineHostileTest::tiffDirectoryLoops()
{
    auto getinfo = m_engine.entry<getinfostream_fn>("getinfostream");
    int w = 0, h = 0;
    short bits = 0, pages = 0, compression = 0;
    // a directory that names itself as the next one
    TiffPage self;
    self.nextOverride = 8;
    const QByteArray selfLoop = tinyTiff({self});
    QCOMPARE(getinfo(selfLoop.constData(), selfLoop.size(), 0, &w, &h, &bits, &pages, &compression), short(1));
    QCOMPARE(pages, short(1));
    QCOMPARE(decode("tif", selfLoop, 0), 1);
    QCOMPARE(decode("tif", selfLoop, 1), 0);
    // two directories pointing at each other
    TiffPage first, second;
    second.nextOverride = 8;
    const QByteArray pair = tinyTiff({first, second});
    QCOMPARE(getinfo(pair.constData(), pair.size(), 1, &w, &h, &bits, &pages, &compression), short(1));
    QCOMPARE(pages, short(2));
    QCOMPARE(decode("tif", pair, 1), 1);
    QCOMPARE(decode("tif", pair, 2), 0);
    QCOMPARE(decode("tif", pair, -1), 0);
}

void EngineHostileTest::informationOfBadData()
{
    auto fileinfo = m_engine.entry<fileinfo_fn>("fileinfo");
    auto streaminfo = m_engine.entry<streaminfo_fn>("streaminfo");
    auto getinfo = m_engine.entry<getinfo_fn>("getinfo");
    auto getinfostream = m_engine.entry<getinfostream_fn>("getinfostream");
    char type[16] = "", comp[16] = "";
    int w = 0, h = 0, colours = 0;
    short bits = 0, planes = 0, pages = 0, code = 0;
    const QByteArray garbage(300, '\x5a');
    QCOMPARE(streaminfo(garbage.constData(), garbage.size(), type, 16, comp, 16, &colours, &planes, &bits, &h, &w),
             short(0));
    QCOMPARE(streaminfo(nullptr, 10, type, 16, comp, 16, &colours, &planes, &bits, &h, &w), short(0));
    QVERIFY(getinfostream(garbage.constData(), garbage.size(), 0, &w, &h, &bits, &pages, &code) < 0);
    QCOMPARE(fileinfo("/nonexistent.bmp", type, 16, &w, &h, &bits, &planes, &colours, comp, 16), short(0));
    QCOMPARE(getinfo("/nonexistent.tif", 0, &w, &h, &bits, &pages, &code), short(-1));
    for (const char* f : {"rose-24.bmp", "rose.gif", "rose-palette.png", "rose-baseline.jpg", "rose-24.pcx"}) {
        const QByteArray head = readData(f).left(12);
        QCOMPARE(streaminfo(head.constData(), head.size(), type, 16, comp, 16, &colours, &planes, &bits, &h, &w),
                 short(0));
    }
    const QByteArray tiffHead = readData("rose-3pages.tif").left(16);
    QVERIFY(getinfostream(tiffHead.constData(), tiffHead.size(), 0, &w, &h, &bits, &pages, &code) < 0);
}

QByteArray EngineHostileTest::lastFailure()
{
    const auto entry = m_engine.entry<lastfailure_fn>("lastfailure");
    char text[256] = {};
    if (!entry || entry(text, int(sizeof text)) <= 0)
        return QByteArray();
    return QByteArray(text);
}

bool EngineHostileTest::refusedEverywhere(const QString& format, const QByteArray& bytes, const QString& path)
{
    bool all = true;
    auto expect = [&](const char* what, bool refused) {
        const QByteArray reason = lastFailure();
        if (!refused || reason != kTooSmall) {
            std::fprintf(stderr, "%s: %s, reason \"%s\"\n", what, refused ? "refused" : "accepted",
                         reason.constData());
            all = false;
        }
    };
    GlobalHandle dib = nullptr;
    const short fromMemory = callMemoryEntry(format, bytes, 0, &dib);
    expect("memory entry", fromMemory <= 0 && !dib);
    const short fromFile = callFileEntry(format, path, 0, &dib);
    expect("file entry", fromFile <= 0 && !dib);
    char type[16] = "", comp[16] = "";
    int w = 0, h = 0, colours = 0;
    short bits = 0, planes = 0, pages = 0, code = 0;
    const QByteArray name = QFile::encodeName(path);
    expect("fileinfo", m_engine.entry<fileinfo_fn>("fileinfo")(name.constData(), type, 16, &w, &h, &bits, &planes,
                                                                &colours, comp, 16) <= 0);
    expect("streaminfo", m_engine.entry<streaminfo_fn>("streaminfo")(bytes.constData(), bytes.size(), type, 16, comp,
                                                                      16, &colours, &planes, &bits, &h, &w) <= 0);
    if (format == "tif") {
        expect("getinfo", m_engine.entry<getinfo_fn>("getinfo")(name.constData(), 0, &w, &h, &bits, &pages, &code) < 0);
        expect("getinfostream", m_engine.entry<getinfostream_fn>("getinfostream")(bytes.constData(), bytes.size(), 0,
                                                                                  &w, &h, &bits, &pages, &code) < 0);
    }
    return all;
}

void EngineHostileTest::claimsBeyondTheData_data()
{
    QTest::addColumn<QString>("file");
    for (const char* f : {"gif-screen-32768.gif", "bmp-rle8-16384.bmp", "pcx-rle-16000.pcx", "tga-rle-16384.tga",
                          "tiff-strip-16384.tif", "tiff-tile-16384.tif", "png-ihdr-16384.png", "jpeg-sof-16000.jpg"})
        QTest::newRow(f) << QString(f);
}

// A few hundred bytes claiming hundreds of megabytes: every entry refuses
// them as damaged before allocating the picture (run in a child whose
// allocations are watched).
void EngineHostileTest::claimsBeyondTheData()
{
    QFETCH(QString, file);
    const QByteArray bytes = readData("hostile/" + file);
    QVERIFY(!bytes.isEmpty() && bytes.size() < 2048);
    const QString format = file.section('.', -1);
    const QString path = writeFile(file, bytes);
    QVERIFY(!path.isEmpty());
    const Watched result = runWatched(kLargestBlock, [&] { return refusedEverywhere(format, bytes, path); });
    QVERIFY2(result == Watched::Passed, watchedName(result));
}

void EngineHostileTest::flatPicturesStillOpen_data()
{
    QTest::addColumn<QString>("format");
    // one colour compresses as far as these formats go; past the 16 MiB
    // every file may claim
    QTest::newRow("PNG 2400 x 2400") << "png";
    QTest::newRow("JPEG 2400 x 2400") << "jpg";
}

// Real pictures of one colour come nowhere near the refusal.
void EngineHostileTest::flatPicturesStillOpen()
{
    QFETCH(QString, format);
    constexpr int side = 2400;
    QImage flat(side, side, QImage::Format_RGB888);
    flat.fill(QColor(200, 120, 40));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(flat.save(&buffer, format == "png" ? "PNG" : "JPEG", format == "png" ? -1 : 50));
    // over 100:1 against the 24-bit picture
    QVERIFY2(qint64(bytes.size()) * 100 < 3LL * side * side, qPrintable(QString::number(bytes.size())));
    GlobalHandle dib = nullptr;
    QCOMPARE(callMemoryEntry(format, bytes, 0, &dib), short(1));
    QCOMPARE(dibimage::bitCount(dib), 24);
    const auto* header = static_cast<const char*>(globalmem::lock(dib));
    const QSize size(qFromLittleEndian<qint32>(header + 4), qFromLittleEndian<qint32>(header + 8));
    globalmem::unlock(dib);
    dibimage::release(dib);
    QCOMPARE(size, QSize(side, side));
}

QTEST_GUILESS_MAIN(EngineHostileTest)
#include "tst_enginehostile.moc"
