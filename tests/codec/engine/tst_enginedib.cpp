// The engine's DIB entries (copies, depth increases, 16/32 to 24 bits,
// DibtoDdb with RLE DIBs) and the entries of later work, which must report
// failure rather than pretend.

#include <QFile>
#include <QtEndian>
#include <QtTest>

#include "codec/engine/crde2001.h"
#include "dibimage.h"
#include "enginemodule.h"

namespace {

QByteArray readData(const QString& name)
{
    QFile f(QStringLiteral(KV_SOURCE_DIR "/tests/data/codec/") + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A packed DIB in a new block.
GlobalHandle blockOf(const QByteArray& bytes)
{
    GlobalHandle h = globalmem::alloc(std::size_t(bytes.size()));
    memcpy(globalmem::lock(h), bytes.constData(), std::size_t(bytes.size()));
    globalmem::unlock(h);
    return h;
}

QByteArray header(int width, int height, int bits, quint32 compression, quint32 colours, quint32 imageSize)
{
    QByteArray h(40, '\0');
    qToLittleEndian<quint32>(40, h.data());
    qToLittleEndian<qint32>(width, h.data() + 4);
    qToLittleEndian<qint32>(height, h.data() + 8);
    qToLittleEndian<quint16>(1, h.data() + 12);
    qToLittleEndian<quint16>(quint16(bits), h.data() + 14);
    qToLittleEndian<quint32>(compression, h.data() + 16);
    qToLittleEndian<quint32>(imageSize, h.data() + 20);
    qToLittleEndian<quint32>(colours, h.data() + 32);
    return h;
}

// The packed DIB inside a BMP file (everything after the 14-byte header).
QByteArray packedFromBmp(const QString& name)
{
    return readData(name).mid(14);
}

QImage decodeBmp(const EngineModule& engine, const QString& name)
{
    const QByteArray bytes = readData(name);
    GlobalHandle dib = nullptr;
    engine.entry<rdbmpstreamdib_fn>("rdbmpstreamdib")(bytes.constData(), bytes.size(), 24, 0, &dib, nullptr,
                                                       nullptr, 0);
    const QImage img = dibimage::toImage(dib);
    dibimage::release(dib);
    return img;
}

}  // namespace

class EngineDibTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sixteenAndThirtyTwoBitsTo24();
    void increasesKeepColours_data();
    void increasesKeepColours();
    void copyIsExact();
    void dibToDdbExpandsRle_data();
    void dibToDdbExpandsRle();
    void dibToDdbRefusesBadDibs();
    void laterEntriesReportFailure();

private:
    EngineModule m_engine;
};

void EngineDibTest::initTestCase()
{
    QVERIFY2(m_engine.loaded(), qPrintable(m_engine.error()));
}

void EngineDibTest::sixteenAndThirtyTwoBitsTo24()
{
    auto to24From16 = m_engine.entry<DIB16To24_fn>("DIB16To24");
    auto to24From32 = m_engine.entry<DIB32To24_fn>("DIB32To24");
    // 5-5-5: red, green; 5-6-5 BITFIELDS: green, white
    GlobalHandle d555 = blockOf(header(2, 1, 16, 0, 0, 4) + QByteArray("\x00\x7c\xe0\x03", 4));
    QByteArray masks(12, '\0');
    qToLittleEndian<quint32>(0xF800, masks.data());
    qToLittleEndian<quint32>(0x07E0, masks.data() + 4);
    qToLittleEndian<quint32>(0x001F, masks.data() + 8);
    GlobalHandle d565 = blockOf(header(2, 1, 16, 3, 0, 4) + masks + QByteArray("\xe0\x07\xff\xff", 4));
    GlobalHandle d32 = blockOf(header(1, 2, 32, 0, 0, 8) + QByteArray("\x01\x02\x03\x00\x10\x20\x30\x00", 8));

    GlobalHandle r555 = to24From16(d555);
    GlobalHandle r565 = to24From16(d565);
    GlobalHandle r32 = to24From32(d32);
    QCOMPARE(dibimage::bitCount(r555), 24);
    const QImage i555 = dibimage::toImage(r555), i565 = dibimage::toImage(r565), i32 = dibimage::toImage(r32);
    QCOMPARE(i555.pixel(0, 0), qRgb(255, 0, 0));
    QCOMPARE(i555.pixel(1, 0), qRgb(0, 255, 0));
    QCOMPARE(i565.pixel(0, 0), qRgb(0, 255, 0));
    QCOMPARE(i565.pixel(1, 0), qRgb(255, 255, 255));
    QCOMPARE(i32.pixel(0, 1), qRgb(3, 2, 1));  // bottom-up: the first stored row is the bottom one
    QCOMPARE(i32.pixel(0, 0), qRgb(0x30, 0x20, 0x10));
    // the wrong depth, no handle
    QVERIFY(to24From32(d555) == nullptr);
    QVERIFY(to24From16(d32) == nullptr);
    QVERIFY(to24From16(nullptr) == nullptr);
    for (GlobalHandle h : {d555, d565, d32, r555, r565, r32})
        dibimage::release(h);
}

void EngineDibTest::increasesKeepColours_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("bits");
    QTest::newRow("DIB1to4") << "DIB1to4" << "rose-1bit.bmp" << 4;
    QTest::newRow("DIB1To8") << "DIB1To8" << "rose-1bit.bmp" << 8;
    QTest::newRow("DIB1To24") << "DIB1To24" << "rose-1bit.bmp" << 24;
    QTest::newRow("DIB4To8") << "DIB4To8" << "rose-4bit.bmp" << 8;
    QTest::newRow("DIB4To24") << "DIB4To24" << "rose-4bit.bmp" << 24;
}

void EngineDibTest::increasesKeepColours()
{
    QFETCH(QString, entry);
    QFETCH(QString, file);
    QFETCH(int, bits);
    auto fn = m_engine.entry<DIB1to4_fn>(entry.toLatin1().constData());
    QVERIFY(fn);
    GlobalHandle src = blockOf(packedFromBmp(file));
    GlobalHandle out = fn(src);
    QCOMPARE(dibimage::bitCount(out), bits);
    QCOMPARE(dibimage::toImage(out), dibimage::toImage(src));
    // a DIB of another depth is refused
    GlobalHandle other = blockOf(packedFromBmp("rose-8bit.bmp"));
    QVERIFY(fn(other) == nullptr);
    for (GlobalHandle h : {src, out, other})
        dibimage::release(h);
}

void EngineDibTest::copyIsExact()
{
    GlobalHandle src = blockOf(packedFromBmp("rose-24.bmp"));
    GlobalHandle copy = m_engine.entry<CopyDIB_fn>("CopyDIB")(src);
    QVERIFY(copy && copy != src);
    QCOMPARE(globalmem::size(copy), globalmem::size(src));
    QCOMPARE(memcmp(globalmem::lock(copy), globalmem::lock(src), globalmem::size(src)), 0);
    globalmem::unlock(copy);
    globalmem::unlock(src);
    QVERIFY(m_engine.entry<CopyDIB_fn>("CopyDIB")(nullptr) == nullptr);
    dibimage::release(src);
    dibimage::release(copy);
}

void EngineDibTest::dibToDdbExpandsRle_data()
{
    QTest::addColumn<QByteArray>("dib");
    QTest::addColumn<QString>("plainFile");
    QTest::addColumn<int>("bits");
    QTest::newRow("RLE8") << packedFromBmp("rose-rle8.bmp") << "rose-8bit.bmp" << 8;
    // an RLE4 picture of 4 x 2 pixels: index 1 everywhere below, 2 3 2 3 above
    const QByteArray table = QByteArray("\0\0\0\0\x10\x20\x30\0\x40\x50\x60\0\x70\x80\x90\0", 16) + QByteArray(48, 0);
    const QByteArray stream("\x04\x11\x00\x00\x04\x23\x00\x01", 8);
    QTest::newRow("RLE4") << header(4, 2, 4, 2, 16, quint32(stream.size())) + table + stream << "" << 4;
    QTest::newRow("24 bits") << packedFromBmp("rose-24.bmp") << "rose-24.bmp" << 24;
    QTest::newRow("32 bits") << packedFromBmp("rose-32alpha.bmp").left(40) << "" << -1;
}

void EngineDibTest::dibToDdbExpandsRle()
{
    QFETCH(QByteArray, dib);
    QFETCH(QString, plainFile);
    QFETCH(int, bits);
    auto toDdb = m_engine.entry<DibtoDdb_fn>("DibtoDdb");
    PaletteHandle palette = nullptr;
    GlobalHandle bitmap = nullptr;
    const short result = toDdb(dib.constData(), dib.size(), &palette, &bitmap);
    if (bits < 0) {  // a header without pixels
        QCOMPARE(result, short(0));
        QVERIFY(!bitmap && !palette);
        return;
    }
    QCOMPARE(result, short(1));
    QCOMPARE(dibimage::bitCount(bitmap), bits);
    const QImage img = dibimage::toImage(bitmap);
    if (!plainFile.isEmpty()) {
        QCOMPARE(img, decodeBmp(m_engine, plainFile));
    } else {
        QCOMPARE(img.pixel(0, 1), qRgb(0x30, 0x20, 0x10));
        QCOMPARE(img.pixel(1, 0), qRgb(0x90, 0x80, 0x70));
        QCOMPARE(img.pixel(2, 0), qRgb(0x60, 0x50, 0x40));
    }
    if (bits <= 8) {
        QVERIFY(palette);
        const auto* p = static_cast<const uchar*>(globalmem::lock(palette));
        QCOMPARE(qFromLittleEndian<quint16>(p), quint16(0x300));
        QCOMPARE(int(qFromLittleEndian<quint16>(p + 2)), 1 << bits);
        globalmem::unlock(palette);
        dibimage::release(palette);
    } else {
        QVERIFY(palette == nullptr);
    }
    dibimage::release(bitmap);
}

void EngineDibTest::dibToDdbRefusesBadDibs()
{
    auto toDdb = m_engine.entry<DibtoDdb_fn>("DibtoDdb");
    PaletteHandle palette = nullptr;
    GlobalHandle bitmap = nullptr;
    const QByteArray garbage(100, '\x33');
    QCOMPARE(toDdb(garbage.constData(), garbage.size(), &palette, &bitmap), short(0));
    QCOMPARE(toDdb(nullptr, 100, &palette, &bitmap), short(0));
    const QByteArray rle = packedFromBmp("rose-rle8.bmp");
    QCOMPARE(toDdb(rle.constData(), 39, &palette, &bitmap), short(0));
    QVERIFY(!palette && !bitmap);
}

void EngineDibTest::laterEntriesReportFailure()
{
    GlobalHandle dib = blockOf(packedFromBmp("rose-24.bmp"));
    const char* file = "/tmp/kvn-never-written.jpg";
    QCOMPARE(m_engine.entry<deletepage_fn>("deletepage")(file, 0, nullptr, nullptr, 0), short(0));
    QVERIFY(!QFile::exists(file));
    GlobalHandle out = dib;
    QCOMPARE(m_engine.entry<readpcdfiledib_fn>("readpcdfiledib")(file, 24, 0, 1, &out, nullptr, nullptr, nullptr, 0),
             short(0));
    QVERIFY(out == nullptr);
    QVERIFY(m_engine.entry<selectsource_fn>("selectsource")(nullptr) < 0);
    out = dib;
    QVERIFY(m_engine.entry<aquiredibimage_fn>("aquiredibimage")(nullptr, 24, 0, &out, nullptr, nullptr, 0) < 0);
    QVERIFY(out == nullptr);
    int w = -1, h = -1;
    short bits = -1;
    QCOMPARE(m_engine.entry<getdxfinfo_fn>("getdxfinfo")(file, &w, &h, &bits), short(0));
    QCOMPARE(m_engine.entry<IsAnnotation_fn>("IsAnnotation")(this), short(0));
    QCOMPARE(m_engine.entry<LoadAnnotation_fn>("LoadAnnotation")(this, 0, file), short(0));
    dibimage::release(dib);
}

QTEST_GUILESS_MAIN(EngineDibTest)
#include "tst_enginedib.moc"
