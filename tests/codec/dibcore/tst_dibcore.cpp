// The DIB core: layout and limits, the checked view, RLE expansion, depth
// conversions, palettes and dithering.

#include <QtTest>

#include <cstring>
#include <vector>

#include "dibcore/dibcore.h"

using namespace dibcore;

namespace {

// A packed DIB built byte by byte, independent of allocDib.
std::vector<std::uint8_t> packedDib(int width, int height, int bits, std::uint32_t compression,
                                    const std::vector<RgbQuad>& table, const std::vector<std::uint8_t>& pixels,
                                    const std::vector<std::uint32_t>& masks = {})
{
    std::vector<std::uint8_t> d(40);
    DibHeader h;
    h.width = width;
    h.height = height;
    h.bitCount = static_cast<std::uint16_t>(bits);
    h.compression = compression;
    h.sizeImage = static_cast<std::uint32_t>(pixels.size());
    h.clrUsed = static_cast<std::uint32_t>(table.size());
    writeDibHeader(d.data(), h);
    for (std::uint32_t m : masks) {
        d.resize(d.size() + 4);
        putLe32(d.data() + d.size() - 4, m);
    }
    for (const RgbQuad& q : table)
        d.insert(d.end(), {q.blue, q.green, q.red, 0});
    d.insert(d.end(), pixels.begin(), pixels.end());
    return d;
}

// Owns a DIB handle and keeps it locked for reading.
struct Locked {
    explicit Locked(GlobalHandle h) : handle(h), view(lockView(h)) {}
    ~Locked()
    {
        DibGuard drop(handle);
    }
    GlobalHandle handle;
    DibView view;
};

RgbQuad pixel(const DibView& v, int x, int y)
{
    const std::uint8_t* row = v.row(y);
    if (v.bitCount() == 24)
        return rgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    return v.color(static_cast<int>(DibView::indexAt(row, x, v.bitCount())));
}

GlobalHandle filledRgb(int w, int h, int r, int g, int b)
{
    GlobalHandle out = allocDib(w, h, 24);
    const DibView v = lockView(out);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = v.mutableRow(y) + 3 * x;
            p[0] = static_cast<std::uint8_t>(b);
            p[1] = static_cast<std::uint8_t>(g);
            p[2] = static_cast<std::uint8_t>(r);
        }
    globalmem::unlock(out);
    return out;
}

double whiteShare(const DibView& v)
{
    int white = 0;
    for (int y = 0; y < v.height(); ++y)
        for (int x = 0; x < v.width(); ++x)
            white += pixel(v, x, y).red == 255;
    return double(white) / (v.width() * v.height());
}

}  // namespace

class DibCoreTest : public QObject
{
    Q_OBJECT

private slots:
    void layoutSizesAndLimit();
    void claimRuleAgainstTheSource();
    void allocatedHeaderAndPalette();
    void viewRejectsBadDibs_data();
    void viewRejectsBadDibs();
    void viewReadsRowsInPictureOrder();
    void rleExpansion_data();
    void rleExpansion();
    void packedPixelsToRgb();
    void increasesKeepColours();
    void reductionsChoosePalettes();
    void ditheringKeepsTheAverage_data();
    void ditheringKeepsTheAverage();
    void bayerIsOrdered();
    void greyDitherGivesGreys();
    void optimalPaletteFollowsThePicture();
    void stopFromProgress();
    void logicalPaletteRoundTrip();
};

void DibCoreTest::layoutSizesAndLimit()
{
    QCOMPARE(rowStride(1, 1), std::size_t(4));
    QCOMPARE(rowStride(33, 1), std::size_t(8));
    QCOMPARE(rowStride(3, 24), std::size_t(12));
    QCOMPARE(rowStride(5, 4), std::size_t(4));
    QCOMPARE(rowStride(0, 8), std::size_t(0));
    QCOMPARE(imageBytes(10, -1, 8), std::size_t(0));
    // exactly 1 GiB fits, one row more does not
    QVERIFY(fitsLimit(16384, 16384, 32));
    QVERIFY(!fitsLimit(16384, 16385, 32));
    QVERIFY(!fitsLimit(60000, 60000, 24));
    QVERIFY(allocDib(60000, 60000, 24) == nullptr);
    QVERIFY(allocDib(10, 10, 3) == nullptr);
    QVERIFY(allocDib(0, 10, 8) == nullptr);
}

void DibCoreTest::claimRuleAgainstTheSource()
{
    constexpr std::uint64_t MiB = 1 << 20;
    // 1024 times the source plus 16 MiB, capped at 1 GiB
    QCOMPARE(claimLimit(0), std::size_t(16 * MiB));
    QCOMPARE(claimLimit(35), std::size_t(16 * MiB + 35 * 1024));
    QCOMPARE(claimLimit(MiB / 2), std::size_t(528 * MiB));
    QCOMPARE(claimLimit(MiB), kMaxPixelBytes);
    QCOMPARE(claimLimit(std::uint64_t(1) << 40), kMaxPixelBytes);
    QCOMPARE(claimLimit(~std::uint64_t(0)), kMaxPixelBytes);
    // the 35-byte GIF of a 32768 x 32768 screen and a 1 KB RLE8 of 16384 x 16384
    QVERIFY(!fitsSource(32768, 32768, 8, 35));
    QVERIFY(!fitsSource(16384, 16384, 8, 1000));
    // 16 MiB open to any file; the exact limit fits, a row more does not
    QVERIFY(fitsSource(4096, 4096, 8, 0));
    QVERIFY(fitsSource(4096, 4097, 8, 4));
    QVERIFY(!fitsSource(4096, 4098, 8, 4));
    // a 300-megapixel panorama of a few megabytes opens; over 1 GiB never
    QVERIFY(fitsSource(20000, 15000, 24, 4 * MiB));
    QVERIFY(!fitsSource(20000, 20000, 24, 900 * MiB));
    // sizes that make no picture
    QVERIFY(!fitsSource(0, 10, 8, MiB));
    QVERIFY(!fitsSource(10, 10, 0, MiB));
    // depths pictures are delivered at
    QCOMPARE(deliveredDepth(0), 0);
    QCOMPARE(deliveredDepth(1), 1);
    QCOMPARE(deliveredDepth(2), 4);
    QCOMPARE(deliveredDepth(8), 8);
    QCOMPARE(deliveredDepth(16), 24);
    QCOMPARE(deliveredDepth(192), 24);
    QCOMPARE(describedDepth(0), 24);
    QCOMPARE(describedDepth(4), 4);
}

void DibCoreTest::allocatedHeaderAndPalette()
{
    Locked dib(allocDib(3, 2, 4, {rgb(1, 2, 3), rgb(250, 251, 252)}));
    QVERIFY(dib.view.valid());
    QCOMPARE(globalmem::size(dib.handle), std::size_t(40 + 16 * 4 + 2 * 4));
    const DibHeader& h = dib.view.header();
    QCOMPARE(h.size, 40u);
    QCOMPARE(h.planes, 1);
    QCOMPARE(h.clrUsed, 16u);
    QCOMPARE(h.sizeImage, 8u);
    QCOMPARE(h.xPelsPerMeter, 2953);
    QCOMPARE(dib.view.color(1), rgb(250, 251, 252));
    QCOMPARE(dib.view.color(2), rgb(0, 0, 0));
    QCOMPARE(dib.view.color(99), rgb(0, 0, 0));
}

void DibCoreTest::viewRejectsBadDibs_data()
{
    QTest::addColumn<QByteArray>("bytes");
    auto bytes = [](const std::vector<std::uint8_t>& v) {
        return QByteArray(reinterpret_cast<const char*>(v.data()), qsizetype(v.size()));
    };
    const std::vector<RgbQuad> two = {rgb(0, 0, 0), rgb(255, 255, 255)};
    QTest::newRow("rows cut short") << bytes(packedDib(8, 4, 1, kBiRgb, two, std::vector<std::uint8_t>(12)));
    QTest::newRow("palette past the end") << bytes(packedDib(8, 1, 8, kBiRgb, two, {})).left(40 + 4);
    QTest::newRow("depth 7") << bytes(packedDib(8, 1, 7, kBiRgb, {}, std::vector<std::uint8_t>(8)));
    QTest::newRow("RLE8 at 4 bits") << bytes(packedDib(8, 1, 4, kBiRle8, two, {0, 1}));
    QTest::newRow("top-down RLE") << bytes(packedDib(8, -1, 8, kBiRle8, two, {0, 1}));
    QTest::newRow("zero width") << bytes(packedDib(0, 1, 24, kBiRgb, {}, std::vector<std::uint8_t>(4)));
    QTest::newRow("header only") << bytes(packedDib(8, 1, 24, kBiRgb, {}, {})).left(39);
    QTest::newRow("bitfields without masks")
        << bytes(packedDib(2, 1, 16, kBiBitfields, {}, {}, {0, 0, 0}));
    std::vector<std::uint8_t> huge = packedDib(1, 1, 8, kBiRgb, {}, {0, 0, 0, 0});
    putLe32(huge.data() + 32, 100000);  // colour count
    QTest::newRow("colour count past 256") << bytes(huge);
}

void DibCoreTest::viewRejectsBadDibs()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(!DibView(bytes.constData(), std::size_t(bytes.size())).valid());
}

void DibCoreTest::viewReadsRowsInPictureOrder()
{
    // two rows of one 8-bit pixel: stored bottom-up, then top-down
    const std::vector<RgbQuad> table = {rgb(10, 10, 10), rgb(20, 20, 20)};
    const std::vector<std::uint8_t> rows = {0, 0, 0, 0, 1, 0, 0, 0};
    const auto bottomUp = packedDib(1, 2, 8, kBiRgb, table, rows);
    const auto topDown = packedDib(1, -2, 8, kBiRgb, table, rows);
    const DibView a(bottomUp.data(), bottomUp.size());
    const DibView b(topDown.data(), topDown.size());
    QVERIFY(a.valid() && b.valid());
    QCOMPARE(a.height(), 2);
    QVERIFY(b.topDown());
    QCOMPARE(pixel(a, 0, 0), rgb(20, 20, 20));
    QCOMPARE(pixel(b, 0, 0), rgb(10, 10, 10));
    QVERIFY(a.row(2) == nullptr);
    QVERIFY(a.mutableRow(0) == nullptr);  // read-only view
}

void DibCoreTest::rleExpansion_data()
{
    QTest::addColumn<int>("bits");
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QByteArray>("expected");  // rows top first, one byte per pixel, width 4, height 2
    // bottom row first in the stream
    QTest::newRow("RLE8 runs") << 8 << QByteArray("\x04\x01\x00\x00\x02\x02\x02\x03\x00\x01", 10)
                               << QByteArray("\x02\x02\x03\x03\x01\x01\x01\x01", 8);
    QTest::newRow("RLE8 literal with padding")
        << 8 << QByteArray("\x00\x03\x01\x02\x03\x00\x00\x00\x00\x01", 10)
        << QByteArray("\x00\x00\x00\x00\x01\x02\x03\x00", 8);
    QTest::newRow("RLE8 delta") << 8 << QByteArray("\x00\x02\x02\x01\x01\x05\x00\x01", 8)
                                << QByteArray("\x00\x00\x05\x00\x00\x00\x00\x00", 8);
    QTest::newRow("RLE8 run past the row is clipped")
        << 8 << QByteArray("\xff\x07\x00\x00\x01\x03\x00\x01", 8)
        << QByteArray("\x03\x00\x00\x00\x07\x07\x07\x07", 8);
    QTest::newRow("RLE8 literal past the end of data")
        << 8 << QByteArray("\x02\x09\x00\x40\x01", 5) << QByteArray("\x00\x00\x00\x00\x09\x09\x00\x00", 8);
    QTest::newRow("RLE8 rows past the picture") << 8 << QByteArray("\x00\x02\x00\x09\x01\x04", 6)
                                                << QByteArray("\x00\x00\x00\x00\x00\x00\x00\x00", 8);
    QTest::newRow("RLE4 nibbles") << 4 << QByteArray("\x04\x12\x00\x00\x00\x03\xab\xc0\x00\x01", 10)
                                  << QByteArray("\x0a\x0b\x0c\x00\x01\x02\x01\x02", 8);
}

void DibCoreTest::rleExpansion()
{
    QFETCH(int, bits);
    QFETCH(QByteArray, stream);
    QFETCH(QByteArray, expected);
    std::vector<RgbQuad> table;
    for (int i = 0; i < (1 << bits); ++i)
        table.push_back(rgb(i, i, i));
    const auto dib = packedDib(4, 2, bits, bits == 8 ? kBiRle8 : kBiRle4, table,
                               std::vector<std::uint8_t>(stream.begin(), stream.end()));
    const DibView rle(dib.data(), dib.size());
    QVERIFY(rle.valid());
    Locked plain(decodeRle(rle));
    QVERIFY(plain.view.valid());
    QCOMPARE(plain.view.bitCount(), bits);
    QCOMPARE(plain.view.compression(), std::uint32_t(kBiRgb));
    QByteArray got;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            got.append(char(DibView::indexAt(plain.view.row(y), x, bits)));
    QCOMPARE(got.toHex(), expected.toHex());
}

void DibCoreTest::packedPixelsToRgb()
{
    // 16 bits 5-5-5 without masks; 16 bits 5-6-5 BITFIELDS; 32 bits 8-8-8
    const auto d555 = packedDib(2, 1, 16, kBiRgb, {}, {0x00, 0x7C, 0x1F, 0x00});
    const auto d565 = packedDib(2, 1, 16, kBiBitfields, {}, {0xE0, 0x07, 0x1F, 0xF8}, {0xF800, 0x07E0, 0x001F});
    const auto d32 = packedDib(1, 1, 32, kBiRgb, {}, {0x10, 0x20, 0x30, 0xFF});
    Locked a(toRgb24(DibView(d555.data(), d555.size())));
    Locked b(toRgb24(DibView(d565.data(), d565.size())));
    Locked c(toRgb24(DibView(d32.data(), d32.size())));
    QCOMPARE(pixel(a.view, 0, 0), rgb(255, 0, 0));
    QCOMPARE(pixel(a.view, 1, 0), rgb(0, 0, 255));
    QCOMPARE(pixel(b.view, 0, 0), rgb(0, 255, 0));
    QCOMPARE(pixel(b.view, 1, 0), rgb(255, 0, 255));
    QCOMPARE(pixel(c.view, 0, 0), rgb(0x30, 0x20, 0x10));
}

void DibCoreTest::increasesKeepColours()
{
    const std::vector<RgbQuad> table = {rgb(200, 10, 10), rgb(10, 200, 10)};
    const auto mono = packedDib(9, 1, 1, kBiRgb, table, {0xA5, 0x80, 0, 0});
    const DibView src(mono.data(), mono.size());
    for (int bits : {4, 8, 24}) {
        Locked up(increaseDepth(src, bits));
        QVERIFY(up.view.valid());
        QCOMPARE(up.view.bitCount(), bits);
        for (int x = 0; x < 9; ++x)
            QCOMPARE(pixel(up.view, x, 0), pixel(src, x, 0));
    }
    QVERIFY(increaseDepth(src, 1) == nullptr);
}

void DibCoreTest::reductionsChoosePalettes()
{
    // a 24-bit picture of three colours keeps them exactly at 4 and 8 bits
    GlobalHandle rgbHandle = allocDib(3, 1, 24);
    {
        const DibView v = lockView(rgbHandle);
        const std::uint8_t px[] = {1, 2, 3, 40, 50, 60, 200, 100, 0};
        std::memcpy(v.mutableRow(0), px, sizeof px);
        globalmem::unlock(rgbHandle);
    }
    Locked colour(rgbHandle);
    for (int bits : {4, 8}) {
        Locked reduced(convertDepth(colour.view, bits, Dither::FloydSteinberg));
        QVERIFY(reduced.view.valid());
        for (int x = 0; x < 3; ++x)
            QCOMPARE(pixel(reduced.view, x, 0), pixel(colour.view, x, 0));
    }
    // more colours than the depth holds: 1 bit is black and white
    Locked mono(convertDepth(colour.view, 1, Dither::None));
    for (int x = 0; x < 3; ++x) {
        const RgbQuad q = pixel(mono.view, x, 0);
        QVERIFY(q == rgb(0, 0, 0) || q == rgb(255, 255, 255));
    }
    QCOMPARE(pixel(mono.view, 0, 0), rgb(0, 0, 0));
    QVERIFY(convertDepth(colour.view, 16, Dither::None) == nullptr);
}

void DibCoreTest::ditheringKeepsTheAverage_data()
{
    QTest::addColumn<int>("dither");
    QTest::newRow("Floyd-Steinberg") << int(Dither::FloydSteinberg);
    QTest::newRow("Burkes") << int(Dither::Burkes);
    QTest::newRow("Bayer") << int(Dither::Bayer);
}

void DibCoreTest::ditheringKeepsTheAverage()
{
    QFETCH(int, dither);
    // a field of 25% grey (and three odd pixels, so that the picture has
    // more colours than one bit holds) in black and white: a quarter white
    Locked grey(filledRgb(64, 64, 64, 64, 64));
    std::memcpy(grey.view.mutableRow(0), "\0\0\0\xff\xff\xff\x10\x20\x30", 9);
    Locked mono(convertDepth(grey.view, 1, static_cast<Dither>(dither)));
    QVERIFY(mono.view.valid());
    QVERIFY2(std::abs(whiteShare(mono.view) - 0.25) < 0.03, qPrintable(QString::number(whiteShare(mono.view))));
    // without dithering every pixel takes the nearest colour
    Locked flat(convertDepth(grey.view, 1, Dither::None));
    QCOMPARE(whiteShare(flat.view), 1.0 / (64 * 64));
}

void DibCoreTest::bayerIsOrdered()
{
    Locked grey(filledRgb(32, 32, 128, 128, 128));
    std::memcpy(grey.view.mutableRow(0), "\0\0\0\x10\x20\x30", 6);
    Locked mono(convertDepth(grey.view, 1, Dither::Bayer));
    // the pattern repeats every 8 pixels in both directions
    for (int y = 1; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            QCOMPARE(pixel(mono.view, x, y), pixel(mono.view, x + 8, y));
            QCOMPARE(pixel(mono.view, x, y), pixel(mono.view, x, y + 8));
        }
}

void DibCoreTest::greyDitherGivesGreys()
{
    Locked colour(filledRgb(16, 16, 255, 0, 0));
    for (int bits : {4, 8, 24}) {
        Locked grey(convertDepth(colour.view, bits, Dither::Grey));
        QVERIFY(grey.view.valid());
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const RgbQuad q = pixel(grey.view, x, y);
                QCOMPARE(q.red, q.green);
                QCOMPARE(q.green, q.blue);
                QVERIFY(std::abs(q.red - 76) <= 17);  // luminance of pure red
            }
    }
}

void DibCoreTest::optimalPaletteFollowsThePicture()
{
    // a smooth 64x64 colour gradient (4096 colours) reduced to 256
    GlobalHandle h = allocDib(64, 64, 24);
    {
        const DibView v = lockView(h);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                std::uint8_t* p = v.mutableRow(y) + 3 * x;
                p[0] = static_cast<std::uint8_t>(x * 4);
                p[1] = static_cast<std::uint8_t>(y * 4);
                p[2] = static_cast<std::uint8_t>(255 - x * 2);
            }
        globalmem::unlock(h);
    }
    Locked src(h);
    const Palette pal = optimalPalette(src.view, 256);
    QCOMPARE(int(pal.size()), 256);
    Locked reduced(convertDepth(src.view, 8, Dither::None));
    long error = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const RgbQuad a = pixel(src.view, x, y), b = pixel(reduced.view, x, y);
            error += std::abs(a.red - b.red) + std::abs(a.green - b.green) + std::abs(a.blue - b.blue);
        }
    // 4096 evenly spread colours in 256 boxes of 4x4 cannot do better than 3.33
    QVERIFY2(error / (64.0 * 64 * 3) < 3.5, qPrintable(QString::number(error / (64.0 * 64 * 3))));
}

void DibCoreTest::stopFromProgress()
{
    Locked src(filledRgb(64, 200, 10, 20, 30));
    int calls = 0;
    const Progress stopAtOnce = [&](int) { ++calls; return false; };
    QVERIFY(convertDepth(src.view, 8, Dither::FloydSteinberg, stopAtOnce) == nullptr);
    QVERIFY(calls > 0);
    QVERIFY(toRgb24(src.view, stopAtOnce) == nullptr);
}

void DibCoreTest::logicalPaletteRoundTrip()
{
    const Palette colours = {rgb(1, 2, 3), rgb(4, 5, 6), rgb(255, 0, 128)};
    GlobalHandle h = makeLogPalette(colours);
    QVERIFY(h);
    QCOMPARE(globalmem::size(h), std::size_t(4 + 3 * 4));
    const auto* p = static_cast<const std::uint8_t*>(globalmem::lock(h));
    QCOMPARE(int(le16(p)), 0x300);
    QCOMPARE(int(p[4 + 8]), 255);  // red first in an entry
    globalmem::unlock(h);
    QCOMPARE(readLogPalette(h), colours);
    DibGuard drop(h);
    GlobalHandle bad = globalmem::alloc(8);
    QVERIFY(readLogPalette(bad).empty());
    DibGuard dropBad(bad);
    QVERIFY(makeLogPalette({}) == nullptr);
    QVERIFY(makeLogPalette(Palette(257)) == nullptr);
}

QTEST_GUILESS_MAIN(DibCoreTest)
#include "tst_dibcore.moc"
