// ILTDib's derived values and operations, and the conversions between
// packed DIBs and bitmap objects.

#include "codec/binding/codecmodule.h"
#include "codec/binding/codecstate.h"
#include "codec/binding/dibconvert.h"
#include "codec/binding/display.h"
#include "codec/binding/errorinvalid.h"
#include "codec/binding/iltdib.h"
#include "codec/binding/tbitmap.h"

#include <QtEndian>
#include <QtTest>

#include <cstring>

namespace {

const QList<QRgb> kColours = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255),
                              qRgb(0, 0, 0),   qRgb(128, 64, 32), qRgb(10, 200, 90), qRgb(250, 250, 0)};

// A w x h picture of the colours in a diagonal pattern, in the Qt format of
// the pixel format.
TBitmap pattern(TPixelFormat format, int w = 11, int h = 7)
{
    const int colours = format == pf1bit ? 2 : format == pf4bit ? 5 : 8;
    QImage rgb(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            rgb.setPixel(x, y, format == pf1bit ? (((x + y) % 2) ? qRgb(255, 255, 255) : qRgb(0, 0, 0))
                                                : kColours[(x + 2 * y) % colours]);
    if (format == pf1bit || format == pf4bit || format == pf8bit) {
        QList<QRgb> table = format == pf1bit ? QList<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)} : kColours.mid(0, colours);
        QImage indexed = rgb.convertToFormat(format == pf1bit ? QImage::Format_Mono : QImage::Format_Indexed8, table);
        return TBitmap(indexed, format);
    }
    return TBitmap(rgb, format);
}

int maxDifference(const QImage& a, const QImage& b)
{
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

quint32 field32(GlobalHandle h, int offset)
{
    ILTDib view(h, false);
    return qFromLittleEndian<quint32>(view.Header() + offset);
}

// A packed DIB written by hand: header, colour table, pixel bytes.
GlobalHandle handMadeDib(int width, int height, int bits, quint32 compression, const QList<QRgb>& table,
                         const QByteArray& pixels, quint32 sizeImage)
{
    const std::size_t size = 40 + 4 * std::size_t(table.size()) + std::size_t(pixels.size());
    GlobalHandle h = globalmem::alloc(size);
    auto* p = static_cast<uchar*>(globalmem::lock(h));
    qToLittleEndian<quint32>(40, p);
    qToLittleEndian<qint32>(width, p + 4);
    qToLittleEndian<qint32>(height, p + 8);
    qToLittleEndian<quint16>(1, p + 12);
    qToLittleEndian<quint16>(quint16(bits), p + 14);
    qToLittleEndian<quint32>(compression, p + 16);
    qToLittleEndian<quint32>(sizeImage, p + 20);
    qToLittleEndian<quint32>(quint32(table.size()), p + 32);
    for (int i = 0; i < table.size(); ++i) {
        p[40 + 4 * i] = uchar(qBlue(table[i]));
        p[41 + 4 * i] = uchar(qGreen(table[i]));
        p[42 + 4 * i] = uchar(qRed(table[i]));
    }
    std::memcpy(p + 40 + 4 * table.size(), pixels.constData(), std::size_t(pixels.size()));
    globalmem::unlock(h);
    return h;
}

}  // namespace

class TestCodecDib : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        CodecModule::setLibraryFolder(QStringLiteral(KV_FAKE_MODULE_DIR));
        CodecModule::setModuleName(QStringLiteral("fakecrde.so"));
    }

    void cleanupTestCase() { CodecModule::unload(); }

    void derivedValues_data()
    {
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("storedBits");
        QTest::addColumn<int>("colours");
        QTest::addColumn<int>("rowSize");
        QTest::newRow("1") << 1 << 1 << 2 << 4;
        QTest::newRow("2 is stored as 1") << 2 << 1 << 2 << 4;
        QTest::newRow("4") << 4 << 4 << 16 << 8;
        QTest::newRow("8") << 8 << 8 << 256 << 16;
        QTest::newRow("16") << 16 << 16 << 0 << 28;
        QTest::newRow("24") << 24 << 24 << 0 << 40;
        QTest::newRow("32") << 32 << 32 << 0 << 52;
    }

    void derivedValues()
    {
        QFETCH(int, bits);
        QFETCH(int, storedBits);
        QFETCH(int, colours);
        QFETCH(int, rowSize);
        ILTDib dib;
        QVERIFY(dib.CreateNew({}, 13, bits, 7));
        QCOMPARE(dib.BitCount(), storedBits);
        QCOMPARE(dib.Width(), 13);
        QCOMPARE(dib.Height(), 7);
        QCOMPARE(dib.Compression(), 0u);
        QCOMPARE(dib.ColorCount(), colours);
        QCOMPARE(ILTDib::ColorsForBits(storedBits), colours);
        QCOMPARE(dib.HeaderSize(), 40 + 4 * colours);
        QCOMPARE(dib.PixelSize(), 7 * rowSize);
        QCOMPARE(dib.TotalSize(), qint64(40 + 4 * colours + 7 * rowSize));
        QCOMPARE(qint64(globalmem::size(dib.Handle())), dib.TotalSize());
        QCOMPARE(dib.PixelPointer(), dib.Header() + dib.HeaderSize());
        QCOMPARE(dib.AlignedWidth(), 16);
        QCOMPARE(field32(dib.Handle(), 24), 2953u);
        QCOMPARE(field32(dib.Handle(), 32), quint32(colours));
        QVERIFY(dib.IsConsistent());
    }

    void withoutADibEverythingIsZero()
    {
        ILTDib dib;
        QCOMPARE(dib.BitCount(), 0);
        QCOMPARE(dib.Width(), 0);
        QCOMPARE(dib.ColorCount(), 0);
        QCOMPARE(dib.HeaderSize(), 0);
        QCOMPARE(dib.TotalSize(), qint64(0));
        QVERIFY(!dib.PixelPointer());
        QVERIFY(dib.Palette().isEmpty());
        // a block too small for a header counts as none
        GlobalHandle tiny = globalmem::alloc(20);
        dib.SetDIB(tiny);
        QCOMPARE(dib.Width(), 0);
        QVERIFY(!dib.IsConsistent());
    }

    void sizeImageIsFilledIn()
    {
        ILTDib dib;
        QVERIFY(dib.CreateNew({}, 5, 24, 3));
        qToLittleEndian<quint32>(0, dib.Header() + 20);
        QCOMPARE(dib.TotalSize(), qint64(40 + 3 * 16));
        QCOMPARE(field32(dib.Handle(), 20), 48u);
        // top-down rows: a negative height, the same pixel size
        qToLittleEndian<quint32>(0, dib.Header() + 20);
        qToLittleEndian<qint32>(-3, dib.Header() + 8);
        QCOMPARE(dib.Height(), -3);
        QCOMPARE(dib.PixelSize(), qint64(48));
    }

    void unsupportedAndHugeSizes()
    {
        ILTDib dib;
        QVERIFY(!dib.CreateNew({}, 10, 3, 10));
        QVERIFY(!dib.CreateNew({}, 10, 64, 10));
        QVERIFY(!dib.CreateNew({}, 0, 24, 10));
        QVERIFY(!dib.CreateNew({}, 10, 24, -1));
        QString message;
        try {
            dib.CreateNew({}, 70000, 24, 70000);
        } catch (const ErrorInvalid& e) {
            message = e.message();
        }
        QCOMPARE(message, QStringLiteral("Can't allocate memory"));
        QVERIFY(!dib.Handle());
    }

    void copiesAndOwnership()
    {
        ILTDib owner;
        QVERIFY(owner.CreateNew(kColours, 4, 8, 4));
        owner.PixelPointer()[0] = 7;
        GlobalHandle copy = ILTDib::CopyHandle(owner.Handle());
        QCOMPARE(globalmem::size(copy), globalmem::size(owner.Handle()));
        QCOMPARE(std::memcmp(globalmem::lock(copy), owner.Header(), globalmem::size(copy)), 0);
        globalmem::unlock(copy);
        QVERIFY(!ILTDib::CopyGlobal(nullptr));
        {
            ILTDib borrower(copy, false);
            QCOMPARE(globalmem::lockCount(copy), 1);
        }
        // a borrowed DIB outlives its view, unlocked again
        QVERIFY(globalmem::isValid(copy));
        QCOMPARE(globalmem::lockCount(copy), 0);
        ILTDib taker(copy);
        QCOMPARE(taker.Release(), copy);
        QVERIFY(!taker.Handle());
        FreeDIB(copy);
    }

    void paletteFromTheColourTable()
    {
        QList<QRgb> sixteen;
        for (int i = 0; i < 16; ++i)
            sixteen.append(qRgb(i * 16, 255 - i * 16, i));
        ILTDib dib;
        QVERIFY(dib.CreateNew(sixteen, 3, 4, 3));
        QCOMPARE(dib.Palette(), sixteen);

        QList<QRgb> other = sixteen;
        std::reverse(other.begin(), other.end());
        dib.SetPalette(other);
        QCOMPARE(dib.Palette(), other);
        const uchar* table = dib.Header() + 40;
        QCOMPARE(qRgb(table[2], table[1], table[0]), other.first());
        QCOMPARE(qRgb(table[62], table[61], table[60]), other.last());

        // on a palette screen a 16-colour table takes the system colours
        QList<QRgb> system;
        for (int i = 0; i < 20; ++i)
            system.append(qRgb(i, i, i));
        const QList<QRgb> fromSystem = PaletteFromColorTable(sixteen, system);
        QCOMPARE(fromSystem, system.mid(0, 8) + system.mid(12, 8));
        QCOMPARE(PaletteFromColorTable(kColours, system), kColours);
        QCOMPARE(PaletteFromColorTable(sixteen, {}), sixteen);
    }

    void fromGraphicPicksASupportedDepth_data()
    {
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("result");
        for (auto [bits, result] : {std::pair{1, 1}, {2, 1}, {4, 4}, {8, 8}, {15, 24}, {16, 24}, {24, 24},
                                    {32, 24}, {0, 4}, {5, 4}})
            QTest::addRow("%d", bits) << bits << result;
    }

    void fromGraphicPicksASupportedDepth()
    {
        QFETCH(int, bits);
        QFETCH(int, result);
        const TBitmap graphic = pattern(pf24bit);
        ILTDib dib;
        QVERIFY(dib.FromGraphic(graphic, bits));
        QCOMPARE(dib.BitCount(), result);
        QCOMPARE(dib.Width(), graphic.width());
        QCOMPARE(dib.Height(), graphic.height());
        QVERIFY(dib.IsConsistent());
        QVERIFY(!dib.FromGraphic(TBitmap(), bits));
    }

    void bitmapDibRoundTrips_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("dibBits");
        QTest::addColumn<int>("back");
        QTest::addColumn<int>("tolerance");
        QTest::newRow("1 bit") << int(pf1bit) << 1 << int(pf1bit) << 0;
        QTest::newRow("4 bits") << int(pf4bit) << 4 << int(pf4bit) << 0;
        QTest::newRow("8 bits") << int(pf8bit) << 8 << int(pf8bit) << 0;
        QTest::newRow("15 bits") << int(pf15bit) << 24 << int(pf24bit) << 7;
        QTest::newRow("16 bits") << int(pf16bit) << 24 << int(pf24bit) << 7;
        QTest::newRow("24 bits") << int(pf24bit) << 24 << int(pf24bit) << 0;
        QTest::newRow("32 bits") << int(pf32bit) << 24 << int(pf24bit) << 0;
        QTest::newRow("device") << int(pfDevice) << 24 << int(pf24bit) << 0;
    }

    void bitmapDibRoundTrips()
    {
        QFETCH(int, format);
        QFETCH(int, dibBits);
        QFETCH(int, back);
        QFETCH(int, tolerance);
        const TBitmap source = pattern(TPixelFormat(format));
        GlobalHandle dib = GraphicToDIB(&source);
        QVERIFY(dib);
        {
            ILTDib view(dib, false);
            QCOMPARE(view.BitCount(), dibBits);
            QVERIFY(view.IsConsistent());
        }
        TBitmap result;
        QVERIFY(DIBToGraphic(dib, result));
        FreeDIB(dib);
        QCOMPARE(int(result.pixelFormat()), back);
        QCOMPARE(result.image().size(), source.image().size());
        QVERIFY(maxDifference(result.image(), source.image()) <= tolerance);
        if (back == pf4bit)
            QCOMPARE(result.image().colorCount(), 16);
    }

    void dibRowsAreBottomUpBgr()
    {
        QImage img(2, 2, QImage::Format_RGB888);
        img.setPixel(0, 0, qRgb(255, 0, 0));
        img.setPixel(1, 0, qRgb(0, 255, 0));
        img.setPixel(0, 1, qRgb(0, 0, 255));
        img.setPixel(1, 1, qRgb(1, 2, 3));
        GlobalHandle dib = BitmapToDIB(img, pf24bit, {});
        ILTDib view(dib);
        const uchar* px = view.PixelPointer();
        const uchar bottom[] = {255, 0, 0, 3, 2, 1};
        const uchar top[] = {0, 0, 255, 0, 255, 0};
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(px), 6), QByteArray(reinterpret_cast<const char*>(bottom), 6));
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(px + 8), 6), QByteArray(reinterpret_cast<const char*>(top), 6));
    }

    void emptyInputRaises()
    {
        QVERIFY_THROWS_EXCEPTION(ErrorInvalid, GraphicToDIB(nullptr));
        QVERIFY_THROWS_EXCEPTION(ErrorInvalid, BitmapToDIB(QImage(), pf24bit, {}));
        TBitmap bitmap;
        QVERIFY(!DIBToBitmap(nullptr, 24, false, nullptr, nullptr, bitmap));
        QVERIFY(!DIBToBitmap(nullptr, 24, false, nullptr, nullptr));
    }

    void depthChangesOnTheWayToABitmap_data()
    {
        QTest::addColumn<int>("source");
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("format");
        QTest::addColumn<bool>("exact");
        QTest::newRow("24 to 8, few colours") << int(pf24bit) << 8 << int(pf8bit) << true;
        QTest::newRow("24 to 4") << int(pf24bit) << 4 << int(pf4bit) << false;
        QTest::newRow("24 to 1") << int(pf24bit) << 1 << int(pf1bit) << false;
        QTest::newRow("24 kept at 0") << int(pf24bit) << 0 << int(pf24bit) << true;
        QTest::newRow("4 to 24") << int(pf4bit) << 24 << int(pf24bit) << true;
        QTest::newRow("1 to 8") << int(pf1bit) << 8 << int(pf8bit) << true;
        QTest::newRow("8 kept at 16") << int(pf8bit) << 16 << int(pf8bit) << true;
    }

    void depthChangesOnTheWayToABitmap()
    {
        QFETCH(int, source);
        QFETCH(int, bits);
        QFETCH(int, format);
        QFETCH(bool, exact);
        const TBitmap picture = pattern(TPixelFormat(source));
        GlobalHandle dib = GraphicToDIB(&picture);
        TBitmap result;
        QVERIFY(DIBToBitmap(dib, bits, false, nullptr, nullptr, result));
        FreeDIB(dib);
        QCOMPARE(int(result.pixelFormat()), format);
        QCOMPARE(result.image().size(), picture.image().size());
        if (exact)
            QCOMPARE(maxDifference(result.image(), picture.image()), 0);
        QCOMPARE(result.image().format(), TBitmap::imageFormatFor(TPixelFormat(format)));
    }

    void progressCanStopADepthChange()
    {
        const TBitmap picture = pattern(pf24bit, 300, 300);
        GlobalHandle dib = GraphicToDIB(&picture);
        TBitmap result;
        auto stop = [](int, void*) { return 0; };
        QVERIFY(!DIBToBitmap(dib, 8, true, stop, nullptr, result));
        QVERIFY(result.empty());
        FreeDIB(dib);
    }

    void sharedPaletteIsPreferred()
    {
        const TBitmap picture = pattern(pf8bit);
        GlobalHandle dib = GraphicToDIB(&picture);
        TBitmap result;
        QVERIFY(DIBToBitmap(dib, 8, false, nullptr, nullptr, result));
        QCOMPARE(result.palette().mid(0, 8), kColours);
        const QList<QRgb> shared = {qRgb(1, 1, 1), qRgb(2, 2, 2)};
        SetSharedPalette(shared);
        QVERIFY(DIBToBitmap(dib, 8, false, nullptr, nullptr, result));
        SetSharedPalette({});
        FreeDIB(dib);
        QCOMPARE(result.palette(), shared);
        QCOMPARE(result.image().colorTable().mid(0, 8), kColours);
    }

    void badDibsAreRefused()
    {
        // header claims 1000 x 1000 at 24 bits in a 100-byte block
        GlobalHandle lying = handMadeDib(1000, 1000, 24, 0, {}, QByteArray(60, '\0'), 0);
        // 8 bits without room for its colour table
        GlobalHandle noTable = handMadeDib(2, 2, 8, 0, {}, QByteArray(8, '\0'), 0);
        GlobalHandle tiny = globalmem::alloc(5);
        TBitmap result;
        for (GlobalHandle h : {lying, noTable, tiny}) {
            QVERIFY(!DIBToBitmap(h, 24, false, nullptr, nullptr, result));
            QVERIFY(!DIBToGraphic(h, result));
            FreeDIB(h);
        }
        QVERIFY(result.empty());
    }

    void rleDibsAreExpandedByTheModule()
    {
        QList<QRgb> table(256, qRgb(0, 0, 0));
        table[1] = qRgb(255, 0, 0);
        table[2] = qRgb(0, 255, 0);
        // bottom row: four of index 1; top row: two of 2, two of 1
        const QByteArray rle("\x04\x01\x00\x00\x02\x02\x02\x01\x00\x01", 10);
        GlobalHandle dib = handMadeDib(4, 2, 8, 1, table, rle, quint32(rle.size()));
        TBitmap result;
        QVERIFY(DIBToBitmap(dib, 24, false, nullptr, nullptr, result));
        FreeDIB(dib);
        QCOMPARE(result.pixelFormat(), pf8bit);
        const QImage& img = result.image();
        QCOMPARE(img.pixel(0, 0), qRgb(0, 255, 0));
        QCOMPARE(img.pixel(2, 0), qRgb(255, 0, 0));
        for (int x = 0; x < 4; ++x)
            QCOMPARE(img.pixel(x, 1), qRgb(255, 0, 0));

        TBitmap device;
        dib = handMadeDib(4, 2, 8, 1, table, rle, quint32(rle.size()));
        QVERIFY(DIBToDeviceBitmap(dib, device));
        FreeDIB(dib);
        QCOMPARE(device.image().pixel(1, 0), qRgb(0, 255, 0));
        QCOMPARE(device.palette().value(2), qRgb(0, 255, 0));
    }

    void dib8To24()
    {
        const TBitmap picture = pattern(pf8bit);
        GlobalHandle dib = GraphicToDIB(&picture);
        GlobalHandle rgb = DIB8To24(dib);
        QVERIFY(rgb);
        TBitmap result;
        QVERIFY(DIBToGraphic(rgb, result));
        QCOMPARE(result.pixelFormat(), pf24bit);
        QCOMPARE(maxDifference(result.image(), picture.image()), 0);

        QString message;
        try {
            DIB8To24(rgb);
        } catch (const ErrorInvalid& e) {
            message = e.message();
        }
        QCOMPARE(message, QStringLiteral("Input image is not 8 bit"));
        QVERIFY_THROWS_EXCEPTION(ErrorInvalid, DIB8To24(nullptr));
        FreeDIB(rgb);
        FreeDIB(dib);
    }

    void freeDibLeavesTinyBlocks()
    {
        GlobalHandle one = globalmem::alloc(1);
        FreeDIB(one);
        QVERIFY(globalmem::isValid(one));
        globalmem::free(one);
        GlobalHandle locked = globalmem::alloc(64);
        globalmem::lock(locked);
        globalmem::lock(locked);
        FreeDIB(locked);  // LeakSanitizer reports it if it stayed
    }

    void bitmapPixelFormats()
    {
        TBitmap bitmap = pattern(pfDevice);
        QCOMPARE(bitmap.image().format(), QImage::Format_RGB32);
        bitmap.setPixelFormat(pf4bit);
        QCOMPARE(bitmap.image().format(), QImage::Format_Indexed8);
        QCOMPARE(bitmap.image().colorCount(), 16);
        // pure red, green, blue, white and black are VGA colours
        QCOMPARE(bitmap.image().pixel(0, 0), kColours[0]);
        QCOMPARE(bitmap.image().pixel(3, 0), kColours[3]);
        bitmap.setPixelFormat(pf1bit);
        QCOMPARE(bitmap.image().format(), QImage::Format_Mono);
        QCOMPARE(bitmap.bitsPerPixel(), 1);
        bitmap.setPixelFormat(pf24bit);
        QCOMPARE(bitmap.image().format(), QImage::Format_RGB888);
        QCOMPARE(TBitmap::pixelFormatOf(bitmap.image()), pf24bit);
        bitmap.setPixelFormat(pf15bit);
        QCOMPARE(bitmap.image().format(), QImage::Format_RGB555);
    }
};

QTEST_MAIN(TestCodecDib)
#include "tst_codecdib.moc"
