// The metafile player over QPainter: shapes, objects, mapping, clipping,
// text in code pages, bitmaps; the conversions between bitmaps and
// metafiles with their sizes and errors; hostile and damaged files.

#include "emfbuilder.h"
#include "libemfpictures.h"
#include "testpictures.h"
#include "wmfbuilder.h"

#include "codec/binding/codecwrappers.h"
#include "codec/binding/dibconvert.h"
#include "codec/binding/errorinvalid.h"
#include "codec/binding/tbitmap.h"
#include "codec/metafile/metafileconvert.h"
#include "codec/metafile/tmetafile.h"

#include <QElapsedTimer>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr quint16 META_SETMAPMODE = 0x0103, META_SAVEDC = 0x001E, META_RESTOREDC = 0x0127;
constexpr quint16 META_INTERSECTCLIPRECT = 0x0416, META_EXCLUDECLIPRECT = 0x0415, META_PIE = 0x081A;
constexpr quint16 META_STRETCHDIB = 0x0F43, META_CREATEPALETTE = 0x00F7, META_SELECTPALETTE = 0x0234;
constexpr quint16 META_SETSTRETCHBLTMODE = 0x0107;

QImage render(const QByteArray& data)
{
    TMetafile mf;
    if (!mf.LoadFromData(data))
        return {};
    TBitmap bitmap;
    if (!MetafileToBitmap(&bitmap, &mf, false))
        return {};
    return bitmap.image().convertToFormat(QImage::Format_RGB32);
}

bool near(QRgb pixel, QColor want, int tolerance = 48)
{
    return std::abs(qRed(pixel) - want.red()) <= tolerance && std::abs(qGreen(pixel) - want.green()) <= tolerance &&
           std::abs(qBlue(pixel) - want.blue()) <= tolerance;
}

#define VERIFY_COLOUR(image, x, y, colour)                                                                    \
    QVERIFY2(near((image).pixel(x, y), colour),                                                               \
             qPrintable(QStringLiteral("(%1, %2) is #%3, not %4").arg(x).arg(y).arg((image).pixel(x, y) & 0xFFFFFF, 6, 16, QLatin1Char('0')).arg(QColor(colour).name())))

// Pixels darker than mid grey.
QList<bool> inkMask(const QImage& image)
{
    QList<bool> mask;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            mask.append(qGray(image.pixel(x, y)) < 128);
    return mask;
}

// Intersection over union of the dark pixels of two pictures of one size.
double inkOverlap(const QImage& a, const QImage& b)
{
    const QList<bool> ma = inkMask(a), mb = inkMask(b);
    int both = 0, either = 0;
    for (qsizetype i = 0; i < ma.size() && i < mb.size(); ++i) {
        both += ma[i] && mb[i];
        either += ma[i] || mb[i];
    }
    return either == 0 ? 0.0 : double(both) / either;
}

QImage expectedText(QSize size, const QString& text, int x, int y, int pixelSize, const QString& family)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont f(family);
    f.setPixelSize(pixelSize);
    p.setFont(f);
    p.setPen(Qt::black);
    p.drawText(QPointF(x, y + QFontMetricsF(f).ascent()), text);
    return img;
}

// A packed 24-bit DIB of rows given top row first.
QByteArray dib24(const QList<QList<QRgb>>& rows)
{
    const int w = int(rows.first().size()), h = int(rows.size());
    const int stride = (w * 3 + 3) & ~3;
    QByteArray d = WmfBuilder::u32(40) + WmfBuilder::u32(quint32(w)) + WmfBuilder::u32(quint32(h)) + WmfBuilder::u16(1) +
                   WmfBuilder::u16(24) + QByteArray(24, '\0');
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row;
        for (QRgb c : rows[y])
            row.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c)));
        row.append(QByteArray(stride - row.size(), '\0'));
        d.append(row);
    }
    return d;
}

QByteArray stretchDib(int usage, int srcW, int srcH, QRect dest, const QByteArray& dib)
{
    return WmfBuilder::u32(0x00CC0020) + WmfBuilder::u16(quint16(usage)) + WmfBuilder::u16(quint16(srcH)) +
           WmfBuilder::u16(quint16(srcW)) + WmfBuilder::u16(0) + WmfBuilder::u16(0) +
           WmfBuilder::u16(quint16(dest.height())) + WmfBuilder::u16(quint16(dest.width())) +
           WmfBuilder::u16(quint16(dest.y())) + WmfBuilder::u16(quint16(dest.x())) + dib;
}



QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class TestMetafile : public QObject {
    Q_OBJECT

private slots:
    void wmfShapesAndObjectTable()
    {
        WmfBuilder b;
        b.solidBrush(qRgb(255, 0, 0)).pen(5, 0, 0).select(0).select(1).rectangle(10, 10, 60, 40);  // objects 0, 1
        b.solidBrush(qRgb(0, 0, 255)).select(2).ellipse(80, 10, 140, 70);                        // 2
        b.solidBrush(qRgb(0, 255, 0)).select(3).polygon({{150, 60}, {190, 60}, {170, 95}});      // 3
        b.pen(0, 3, qRgb(0, 0, 0)).select(4).polyline({{10, 80}, {60, 80}});                     // 4
        b.pen(5, 0, 0).select(5);                                                                 // 5
        b.solidBrush(qRgb(255, 255, 0)).select(6);                                                // 6
        b.add(META_PIE, {10, 170, 30, 190, 50, 190, 10, 150});
        // a deleted slot is the next one filled
        b.remove(0).solidBrush(qRgb(255, 0, 255)).select(0).rectangle(70, 75, 100, 95);
        const QImage img = render(b.finish());
        QCOMPARE(img.size(), QSize(200, 100));
        VERIFY_COLOUR(img, 35, 25, Qt::red);
        VERIFY_COLOUR(img, 5, 5, Qt::white);
        VERIFY_COLOUR(img, 110, 40, Qt::blue);
        VERIFY_COLOUR(img, 82, 12, Qt::white);
        VERIFY_COLOUR(img, 170, 70, Qt::green);
        VERIFY_COLOUR(img, 152, 90, Qt::white);
        VERIFY_COLOUR(img, 35, 80, Qt::black);
        VERIFY_COLOUR(img, 35, 84, Qt::white);
        // the pie runs counter-clockwise from 3 to 12 o'clock: the top right quarter
        VERIFY_COLOUR(img, 178, 22, Qt::yellow);
        VERIFY_COLOUR(img, 162, 22, Qt::white);
        VERIFY_COLOUR(img, 162, 38, Qt::white);
        VERIFY_COLOUR(img, 178, 38, Qt::white);
        VERIFY_COLOUR(img, 85, 85, Qt::magenta);
    }

    void wmfMapping_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QPoint>("filled");
        QTest::addColumn<QPoint>("empty");
        auto base = [] {
            WmfBuilder b(QRect(0, 0, 400, 200), 192);
            b.solidBrush(qRgb(0, 0, 0)).pen(5, 0, 0).select(0).select(1);
            return b;
        };
        {
            WmfBuilder b = base();
            b.window(0, 0, 400, 200).rectangle(200, 100, 400, 200);
            QTest::newRow("scaled window") << b.finish() << QPoint(150, 75) << QPoint(50, 25);
        }
        {
            WmfBuilder b = base();
            b.window(0, 200, 400, -200).rectangle(0, 0, 200, 100);
            QTest::newRow("y upwards") << b.finish() << QPoint(50, 75) << QPoint(50, 25);
        }
        {
            WmfBuilder b = base();
            b.window(1000, 1000, 400, 200).rectangle(1000, 1000, 1200, 1100);
            QTest::newRow("moved origin") << b.finish() << QPoint(50, 25) << QPoint(150, 75);
        }
        {
            WmfBuilder b = base();
            b.add(META_SETMAPMODE, {7}).window(0, 0, 200, 200).rectangle(100, 0, 200, 200);
            QTest::newRow("isotropic") << b.finish() << QPoint(75, 50) << QPoint(150, 50);
        }
    }

    void wmfMapping()
    {
        QFETCH(QByteArray, data);
        QFETCH(QPoint, filled);
        QFETCH(QPoint, empty);
        const QImage img = render(data);
        QCOMPARE(img.size(), QSize(200, 100));
        VERIFY_COLOUR(img, filled.x(), filled.y(), Qt::black);
        VERIFY_COLOUR(img, empty.x(), empty.y(), Qt::white);
    }

    void wmfWithoutPlaceableHeaderTakesItsWindow()
    {
        WmfBuilder b;
        b.window(0, 0, 300, 150).solidBrush(qRgb(0, 0, 255)).select(0).rectangle(150, 0, 300, 150);
        const QByteArray placeable = b.finish();
        const QByteArray plain = placeable.mid(22);
        TMetafile mf;
        QVERIFY2(mf.LoadFromData(plain), qPrintable(mf.Error()));
        QCOMPARE(mf.Size(), QSize(300, 150));
        QVERIFY(!mf.Enhanced());
        const QImage img = render(plain);
        VERIFY_COLOUR(img, 200, 75, Qt::blue);
        VERIFY_COLOUR(img, 100, 75, Qt::white);
    }

    void wmfClippingAndSavedState()
    {
        WmfBuilder b;
        b.solidBrush(qRgb(255, 0, 0)).pen(5, 0, 0).select(0).select(1);
        b.add(META_SAVEDC, {}).add(META_INTERSECTCLIPRECT, {100, 100, 0, 0}).rectangle(0, 0, 200, 50);
        b.add(META_RESTOREDC, {-1});
        b.solidBrush(qRgb(0, 255, 0)).select(2);
        b.add(META_EXCLUDECLIPRECT, {100, 100, 50, 0}).rectangle(0, 50, 200, 100);
        const QImage img = render(b.finish());
        VERIFY_COLOUR(img, 50, 25, Qt::red);
        VERIFY_COLOUR(img, 150, 25, Qt::white);
        VERIFY_COLOUR(img, 50, 75, Qt::white);
        VERIFY_COLOUR(img, 150, 75, Qt::green);
    }

    void wmfTextInCodePages_data()
    {
        QTest::addColumn<int>("charSet");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("meant");
        QTest::addColumn<QString>("misread");
        QTest::newRow("Cyrillic 1251") << 204 << QByteArray("\xC6\xE8\xE2", 3) << QStringLiteral("Жив")
                                       << QStringLiteral("Æèâ");
        QTest::newRow("Greek 1253") << 161 << QByteArray("\xD9\xEC\xE5", 3) << QStringLiteral("Ωμε")
                                    << QStringLiteral("Ùìå");
        QTest::newRow("Western 1252") << 0 << QByteArray("Gr\xFC\x80", 4) << QStringLiteral("Grü€")
                                      << QStringLiteral("Grüü");
    }

    void wmfTextInCodePages()
    {
        QFETCH(int, charSet);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, meant);
        QFETCH(QString, misread);
        WmfBuilder b;
        b.font(-40, charSet, "DejaVu Sans").select(0).add(0x0102, {1}).textOut(10, 20, bytes);
        const QImage img = render(b.finish());
        QCOMPARE(img.size(), QSize(200, 100));
        const double right = inkOverlap(img, expectedText(img.size(), meant, 10, 20, 40, QStringLiteral("DejaVu Sans")));
        const double wrong = inkOverlap(img, expectedText(img.size(), misread, 10, 20, 40, QStringLiteral("DejaVu Sans")));
        QVERIFY2(right > 0.8, qPrintable(QString::number(right)));
        QVERIFY2(wrong < right - 0.2, qPrintable(QStringLiteral("%1 against %2").arg(wrong).arg(right)));
    }

    void wmfTextEscapementTurnsIt()
    {
        WmfBuilder b(QRect(0, 0, 200, 200));
        b.font(-30, 0, "DejaVu Sans", 900).select(0).add(0x0102, {1}).textOut(100, 190, "WWWWW");
        const QImage img = render(b.finish());
        QRect ink;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (qGray(img.pixel(x, y)) < 128)
                    ink |= QRect(x, y, 1, 1);
        QVERIFY(!ink.isEmpty());
        // turned a quarter counter-clockwise: it runs upwards from its origin
        QVERIFY2(ink.height() > 3 * ink.width(), qPrintable(QStringLiteral("%1 x %2").arg(ink.width()).arg(ink.height())));
        QVERIFY(ink.bottom() <= 192 && ink.top() < 100 && ink.left() >= 95);
    }

    void wmfBitmapRecords()
    {
        WmfBuilder b;
        b.add(META_SETSTRETCHBLTMODE, {3});
        const QByteArray quad = dib24({{qRgb(255, 0, 0), qRgb(0, 255, 0)}, {qRgb(0, 0, 255), qRgb(255, 255, 255)}});
        b.addRaw(META_STRETCHDIB, stretchDib(0, 2, 2, QRect(0, 0, 100, 100), quad));
        // an 8-bit picture whose colours are indices into the selected palette
        QByteArray palette = WmfBuilder::u16(0x300) + WmfBuilder::u16(4);
        for (QRgb c : {qRgb(255, 0, 0), qRgb(0, 128, 0), qRgb(0, 0, 255), qRgb(255, 255, 0)})
            palette.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c))).append('\0');
        b.addRaw(META_CREATEPALETTE, palette).add(META_SELECTPALETTE, {0});
        QByteArray indexed = WmfBuilder::u32(40) + WmfBuilder::u32(2) + WmfBuilder::u32(1) + WmfBuilder::u16(1) +
                             WmfBuilder::u16(8) + WmfBuilder::u32(0) + WmfBuilder::u32(0) + QByteArray(8, '\0') +
                             WmfBuilder::u32(2) + WmfBuilder::u32(0);
        indexed += WmfBuilder::u16(3) + WmfBuilder::u16(1);  // table: palette entries 3 and 1
        indexed += QByteArray("\x00\x01\x00\x00", 4);
        b.addRaw(META_STRETCHDIB, stretchDib(1, 2, 1, QRect(100, 0, 100, 100), indexed));
        const QImage img = render(b.finish());
        VERIFY_COLOUR(img, 25, 25, Qt::red);
        VERIFY_COLOUR(img, 75, 25, Qt::green);
        VERIFY_COLOUR(img, 25, 75, Qt::blue);
        VERIFY_COLOUR(img, 75, 75, Qt::white);
        VERIFY_COLOUR(img, 125, 50, Qt::yellow);
        VERIFY_COLOUR(img, 175, 50, QColor(0, 128, 0));
    }

    void emfFromLibEmf()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("shapes.emf"));
        QVERIFY(libemf::writeShapes(path.toStdString()));
        TMetafile mf;
        QVERIFY2(mf.LoadFromFile(path), qPrintable(mf.Error()));
        QVERIFY(mf.Enhanced());
        QCOMPARE(mf.Size(), QSize(200, 100));
        TBitmap bitmap;
        QVERIFY(MetafileToBitmap(&bitmap, &mf, false));
        const QImage img = bitmap.image().convertToFormat(QImage::Format_RGB32);
        VERIFY_COLOUR(img, 35, 25, Qt::red);
        VERIFY_COLOUR(img, 8, 25, Qt::white);
        VERIFY_COLOUR(img, 110, 40, Qt::blue);
        VERIFY_COLOUR(img, 82, 12, Qt::white);
        VERIFY_COLOUR(img, 170, 70, Qt::green);
        VERIFY_COLOUR(img, 35, 80, Qt::black);
        VERIFY_COLOUR(img, 35, 85, Qt::white);
    }

    void emfWorldTransformFromLibEmf()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("world.emf"));
        QVERIFY(libemf::writeWorldTransform(path.toStdString()));
        const QImage img = render(readFile(path));
        QVERIFY(!img.isNull());
        // libEMF's reference device has 1024 pixels on 320 mm
        const double scale = 96.0 / (1024 / (320 / 25.4));
        // turned: x runs down, y runs left; the 40 x 20 box covers x 80..100, y 30..70
        VERIFY_COLOUR(img, int(90 * scale), int(50 * scale), Qt::red);
        VERIFY_COLOUR(img, int(110 * scale), int(50 * scale), Qt::white);
        VERIFY_COLOUR(img, int(90 * scale), int(80 * scale), Qt::white);
    }

    void emfTextFromLibEmf()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("text.emf"));
        const QString meant = QStringLiteral("Grüße ΩЖ");
        QVERIFY(libemf::writeText(path.toStdString(), meant.toStdU16String(), meant.toStdU16String()));
        const QImage img = render(readFile(path));
        QCOMPARE(img.size(), QSize(200, 100));
        QImage top = img.copy(0, 0, 200, 50), bottom = img.copy(0, 45, 200, 50);
        const QImage expected = expectedText(QSize(200, 50), meant, 10, 10, 30, QStringLiteral("Liberation Sans"));
        QVERIFY2(inkOverlap(top, expected) > 0.7, qPrintable(QString::number(inkOverlap(top, expected))));
        QVERIFY2(inkOverlap(bottom, expected) > 0.7, qPrintable(QString::number(inkOverlap(bottom, expected))));
    }

    void metafileToBitmapContract()
    {
        TMetafile mf;
        TBitmap bitmap;
        try {
            MetafileToBitmap(nullptr, &mf, false);
            QFAIL("no error without a bitmap");
        } catch (const ErrorInvalid& e) {
            QCOMPARE(e.message(), QStringLiteral("Input image is empty"));
        }
        try {
            MetafileToBitmap(&bitmap, nullptr, false);
            QFAIL("no error without a metafile");
        } catch (const ErrorInvalid& e) {
            QCOMPARE(e.message(), QStringLiteral("Output image is empty"));
        }
        QVERIFY(!MetafileToBitmap(&bitmap, &mf, false));
        QVERIFY(bitmap.empty());

        WmfBuilder b;
        b.solidBrush(qRgb(0, 0, 0)).select(0).rectangle(0, 0, 100, 100);
        QVERIFY(mf.LoadFromData(b.finish()));
        QVERIFY(MetafileToBitmap(&bitmap, &mf, true));
        QCOMPARE(bitmap.pixelFormat(), pf1bit);
        QCOMPARE(bitmap.image().size(), QSize(200, 100));
        QCOMPARE(qGray(bitmap.image().pixel(50, 50)), 0);
        QCOMPARE(qGray(bitmap.image().pixel(150, 50)), 255);
        QVERIFY(MetafileToBitmap(&bitmap, &mf, false));
        QCOMPARE(bitmap.pixelFormat(), pf24bit);
    }

    void bitmapToMetafileSizes_data()
    {
        QTest::addColumn<QSize>("bitmap");
        QTest::addColumn<bool>("enhanced");
        QTest::addColumn<QSize>("metafile");
        QTest::newRow("1000 x 500 WMF") << QSize(1000, 500) << false << QSize(847, 423);
        QTest::newRow("1000 x 500 EMF") << QSize(1000, 500) << true << QSize(1000, 500);
        QTest::newRow("3 x 1 WMF") << QSize(3, 1) << false << QSize(3, 1);
        QTest::newRow("1 x 1 WMF") << QSize(1, 1) << false << QSize(1, 1);
    }

    void bitmapToMetafileSizes()
    {
        QFETCH(QSize, bitmap);
        QFETCH(bool, enhanced);
        QFETCH(QSize, metafile);
        const TBitmap picture = testpictures::ramps(bitmap.width(), bitmap.height());
        TMetafile mf;
        QVERIFY(BitmapToMetafile(&picture, &mf, enhanced));
        QCOMPARE(mf.Enhanced(), enhanced);
        QCOMPARE(mf.Size(), metafile);
        // what was written reads back from a file the same
        QTemporaryDir dir;
        const QString path = dir.filePath(enhanced ? QStringLiteral("a.emf") : QStringLiteral("a.wmf"));
        QVERIFY(mf.SaveToFile(path));
        TMetafile back;
        QVERIFY(back.LoadFromFile(path));
        QCOMPARE(back.Size(), metafile);
        QCOMPARE(back.Data(), mf.Data());
    }

    void bitmapToMetafileErrors()
    {
        TMetafile mf;
        const TBitmap empty;
        try {
            BitmapToMetafile(&empty, &mf, true);
            QFAIL("no error for an empty picture");
        } catch (const ErrorInvalid& e) {
            QCOMPARE(e.message(), QStringLiteral("Input image is empty"));
        }
        const TBitmap picture = testpictures::ramps(4, 4);
        try {
            BitmapToMetafile(&picture, nullptr, true);
            QFAIL("no error without a metafile");
        } catch (const ErrorInvalid& e) {
            QCOMPARE(e.message(), QStringLiteral("Output image is empty"));
        }
        // a WMF holds 16-bit coordinates only
        const TBitmap wide(QImage(40000, 1, QImage::Format_RGB888), pf24bit);
        QVERIFY(!BitmapToMetafile(&wide, &mf, false));
        QVERIFY(mf.Empty());
        QVERIFY(BitmapToMetafile(&wide, &mf, true));
        QCOMPARE(mf.Size(), QSize(40000, 1));
    }

    void roundTrips_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<bool>("enhanced");
        QTest::newRow("24 bit EMF") << int(pf24bit) << true;
        QTest::newRow("24 bit WMF") << int(pf24bit) << false;
        QTest::newRow("8 bit EMF") << int(pf8bit) << true;
        QTest::newRow("4 bit WMF") << int(pf4bit) << false;
        QTest::newRow("1 bit EMF") << int(pf1bit) << true;
    }

    // A DOS EPS file whose PostScript cannot be drawn shows its WMF preview;
    // a preview section outside the file is no picture.
    void epsFallsBackToItsWmfPreview()
    {
        QImage drawn(60, 40, QImage::Format_RGB32);
        drawn.fill(QColor(200, 30, 40));
        QPainter(&drawn).fillRect(0, 0, 30, 40, QColor(20, 60, 220));
        TBitmap source(drawn, pf24bit);
        TMetafile preview;
        QVERIFY(BitmapToMetafile(&source, &preview, false));
        QTemporaryDir dir;
        const QString wmfPath = dir.filePath("preview.wmf");
        QVERIFY(preview.SaveToFile(wmfPath));
        QFile wmfFile(wmfPath);
        QVERIFY(wmfFile.open(QIODevice::ReadOnly));
        const QByteArray wmf = wmfFile.readAll();

        const QByteArray postscript("%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 60 40\n} this is no program {\n");
        auto dosEps = [&](quint32 wmfOffset) {
            QByteArray header(30, 0);
            header.replace(0, 4, QByteArray("\xC5\xD0\xD3\xC6", 4));
            qToLittleEndian(quint32(30), header.data() + 4);
            qToLittleEndian(quint32(postscript.size()), header.data() + 8);
            qToLittleEndian(wmfOffset, header.data() + 12);
            qToLittleEndian(quint32(wmf.size()), header.data() + 16);
            qToLittleEndian(quint16(0xFFFF), header.data() + 28);
            return header + postscript + wmf;
        };
        const QByteArray good = dosEps(quint32(30 + postscript.size()));
        const QString epsPath = dir.filePath("broken-postscript.eps");
        QFile eps(epsPath);
        QVERIFY(eps.open(QIODevice::WriteOnly));
        eps.write(good);
        eps.close();

        GlobalHandle dib = nullptr;
        QVERIFY(ReadEpsFileDib(epsPath, 24, false, dib));
        TBitmap shown;
        QVERIFY(DIBToBitmap(dib, 24, false, nullptr, nullptr, shown));
        FreeDIB(dib);
        QCOMPARE(shown.width(), preview.Width());
        QCOMPARE(shown.height(), preview.Height());
        const QImage image = shown.image();
        QCOMPARE(QColor(image.pixel(2, image.height() / 2)), QColor(20, 60, 220));
        QCOMPARE(QColor(image.pixel(image.width() - 3, image.height() / 2)), QColor(200, 30, 40));

        dib = nullptr;
        QVERIFY(ReadEpsStreamDib(good.constData(), good.size(), 8, false, dib));
        FreeDIB(dib);

        const QByteArray lying = dosEps(quint32(good.size() - 10));
        dib = nullptr;
        QVERIFY(!ReadEpsStreamDib(lying.constData(), lying.size(), 24, false, dib));
        QVERIFY(!dib);
    }

    void roundTrips()
    {
        QFETCH(int, format);
        QFETCH(bool, enhanced);
        TBitmap picture = testpictures::ramps(1000, 500);
        picture.setPixelFormat(TPixelFormat(format));
        TMetafile mf;
        QVERIFY(BitmapToMetafile(&picture, &mf, enhanced));
        TBitmap back;
        QVERIFY(MetafileToBitmap(&back, &mf, false));
        QCOMPARE(back.image().size(), mf.Size());
        const QImage original = picture.image().convertToFormat(QImage::Format_RGB32);
        const QImage expected = enhanced ? original
                                         : original.scaled(mf.Size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const double difference = testpictures::meanDifference(back.image().convertToFormat(QImage::Format_RGB32), expected);
        // the same picture: exactly at its own size, within resampling when scaled
        QVERIFY2(difference < (enhanced ? 0.5 : 4.0), qPrintable(QString::number(difference)));
    }

    void hostileFiles_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("loads");
        auto valid = [] {
            WmfBuilder b;
            b.solidBrush(qRgb(255, 0, 0)).select(0).rectangle(0, 0, 50, 50);
            return b;
        };
        QByteArray garbage(4096, '\0');
        QRandomGenerator rng(1);
        for (char& c : garbage)
            c = char(rng.bounded(256));
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("garbage") << garbage << false;
        QTest::newRow("placeable key only") << valid().finish().left(4) << false;
        QTest::newRow("WMF cut in its header") << valid().finish().left(30) << false;
        QTest::newRow("WMF cut in a record") << valid().finish().chopped(12) << false;
        QTest::newRow("0 units per inch") << WmfBuilder(QRect(0, 0, 200, 100), 0).finish() << false;
        QTest::newRow("WMF size 0") << WmfBuilder(QRect(0, 0, 0, 100)).finish() << false;
        {
            QByteArray d = valid().finish();
            d.append(WmfBuilder::u32(1) + WmfBuilder::u16(0x041B));
            d.insert(d.size() - 12, WmfBuilder::u32(0) + WmfBuilder::u16(0x041B));
            QTest::newRow("record of 0 words") << d << false;
        }
        {
            WmfBuilder b = valid();
            b.addRaw(0x0324, WmfBuilder::u16(65535) + QByteArray(8, '\1'));
            b.addRaw(0x0538, WmfBuilder::u16(3) + WmfBuilder::u16(60000) + WmfBuilder::u16(60000) + WmfBuilder::u16(1));
            b.addRaw(0x06FF, QByteArray(10, '\0') + WmfBuilder::u16(30000) + QByteArray(12, '\0'));
            b.addRaw(0x0521, WmfBuilder::u16(60000) + QByteArray("abc", 3));
            b.addRaw(0x0A32, WmfBuilder::u16(5) + WmfBuilder::u16(5) + WmfBuilder::u16(60000) + WmfBuilder::u16(6));
            QByteArray bigDib = WmfBuilder::u32(40) + WmfBuilder::u32(60000) + WmfBuilder::u32(60000) +
                                WmfBuilder::u16(1) + WmfBuilder::u16(24) + QByteArray(64, '\0');
            b.addRaw(META_STRETCHDIB, stretchDib(0, 60000, 60000, QRect(0, 0, 50, 50), bigDib));
            b.addRaw(META_STRETCHDIB, stretchDib(1, 2, 2, QRect(0, 0, 50, 50), WmfBuilder::u32(12)));
            b.add(0x012D, {60000}).add(0x01F0, {60000}).add(META_RESTOREDC, {-30000}).add(META_RESTOREDC, {5000});
            b.add(0x020C, {0, 0}).add(0x0410, {0, 0, 0, 0});
            for (int i = 0; i < 5000; ++i)
                b.add(META_SAVEDC, {});
            QTest::newRow("WMF with lying counts") << b.finish() << true;
        }
        QTest::newRow("enormous WMF") << WmfBuilder(QRect(0, 0, 32767, 32767), 1).finish() << true;
        QTest::newRow("WMF of 10000 x 10000") << WmfBuilder(QRect(0, 0, 10000, 10000), 1).finish() << true;

        auto emf = [] {
            EmfBuilder e;
            e.add(39, {1, 0, 0xFF, 0}).add(37, {1}).add(43, {0, 0, 50, 50});
            return e;
        };
        QTest::newRow("EMF cut short") << emf().finish().chopped(30) << false;
        QTest::newRow("EMF whose size lies") << emf().patch(48, 1 << 30).finish() << false;
        QTest::newRow("EMF frame 0") << EmfBuilder(QRect(0, 0, 0, 0)).finish() << false;
        {
            QByteArray d = emf().finish();
            qToLittleEndian(quint32(13), d.data() + 88 + 4);
            QTest::newRow("EMF record of odd size") << d << false;
        }
        {
            QByteArray d = emf().finish();
            qToLittleEndian(quint32(4096), d.data() + 88 + 4);
            QTest::newRow("EMF record past the end") << d << false;
        }
        {
            EmfBuilder e = emf();
            e.add(86, {0, 0, 10, 10, 1000000000, 1, 2});
            e.add(91, {0, 0, 10, 10, 1000000, 5, 100, 100});
            e.add(75, {1000, 1, 32, 1, 100000000, 0, 0, 0, 10, 10});
            e.add(81, {0, 0, 10, 10, 0, 0, 0, 0, 10, 10, 1000000, 40, 2000000, 16, 0, 0xCC0020, 10, 10});
            e.add(84, {0, 0, 10, 10, 1, 0, 0, 5, 5, 100000, 1000000, 0, 0, 0, 10, 10, 1000000});
            e.add(37, {123456}).add(40, {0x7FFFFFFF}).add(34, {-100000}).add(34, {100000});
            e.add(35, {0x7F800000, 0, 0, 0x7FC00000, 0, 0});
            e.add(118, {0, 0, 10, 10, 100000000, 5, 0});
            e.add(9, {0, 0}).add(31, {0, 0, 0, 0}).add(17, {99});
            e.add(42, {-2000000000, -2000000000, 2000000000, 2000000000});
            e.add(45, {-1000000, -1000000, 1000000, 1000000, 0, 5, 5, 0});
            QTest::newRow("EMF with lying counts") << e.finish() << true;
        }
        QTest::newRow("enormous EMF") << EmfBuilder(QRect(0, 0, 2000000000, 2000000000)).finish() << true;
    }

    void hostileFiles()
    {
        QFETCH(QByteArray, data);
        QFETCH(bool, loads);
        QElapsedTimer timer;
        timer.start();
        TMetafile mf;
        QCOMPARE(mf.LoadFromData(data), loads);
        QCOMPARE(mf.Empty(), !loads);
        if (!loads) {
            QVERIFY(!mf.Error().isEmpty());
            return;
        }
        TBitmap bitmap;
        const bool drawn = MetafileToBitmap(&bitmap, &mf, false);
        // a picture too large for memory is refused, never allocated
        const bool fits = qint64(mf.Width()) * mf.Height() <= kMaxMetafilePixels;
        QCOMPARE(drawn, fits);
        QVERIFY2(timer.elapsed() < 20000, qPrintable(QString::number(timer.elapsed())));
    }

    // Files whose records make the player work harder with each record:
    // clips cut ever finer, full object tables, clipped text over them.
    void costlyFilesStayQuick_data()
    {
        QTest::addColumn<QByteArray>("data");
        {
            WmfBuilder b;
            b.objects(65535);
            for (int i = 0; i < 66000; ++i)
                b.solidBrush(qRgb(i % 256, 0, 0));
            for (int i = 0; i < 30000; ++i)
                b.remove(i % 500).solidBrush(qRgb(0, 0, 255)).select(i % 500);
            QTest::newRow("full object table") << b.finish();
        }
        {
            WmfBuilder b;
            b.solidBrush(qRgb(255, 0, 0)).select(0);
            for (int i = 0; i < 20000; ++i)
                b.add(META_EXCLUDECLIPRECT, {(i * 7) % 97 + 2, (i * 13) % 197 + 2, (i * 7) % 97, (i * 13) % 197});
            for (int i = 0; i < 5000; ++i)
                b.rectangle(0, 0, 200, 100).addRaw(0x0A32, WmfBuilder::u16(50) + WmfBuilder::u16(10) + WmfBuilder::u16(3) +
                                                              WmfBuilder::u16(4) + QByteArray(8, '\5') + "abc");
            QTest::newRow("clip cut finer and finer") << b.finish();
        }
        {
            QByteArray region = QByteArray(10, '\0') + WmfBuilder::u16(1) + QByteArray(10, '\0');
            QByteArray scan = WmfBuilder::u16(2000) + WmfBuilder::u16(0) + WmfBuilder::u16(100);
            for (int k = 0; k < 1000; ++k)
                scan += WmfBuilder::u16(quint16(k / 5)) + WmfBuilder::u16(quint16(k / 5 + 1));
            region += scan + WmfBuilder::u16(2000);
            WmfBuilder b;
            for (int i = 0; i < 1000; ++i)
                b.addRaw(0x06FF, region).add(0x012C, {0}).add(0x01F0, {0}).rectangle(0, 0, 200, 100);
            QTest::newRow("regions of many rectangles") << b.finish();
        }
        {
            EmfBuilder e;
            QList<qint32> region = {32, 1, 1000, 16000, 0, 0, 200, 100};
            for (int k = 0; k < 1000; ++k)
                region << k % 200 << k / 10 << k % 200 + 1 << k / 10 + 1;
            for (int i = 0; i < 1000; ++i) {
                e.add(75, QList<qint32>{qint32(region.size() * 4), i % 2 ? 1 : 2} + region);
                e.add(43, {0, 0, 200, 100});
            }
            QTest::newRow("EMF clip regions combined") << e.finish();
        }
    }

    void costlyFilesStayQuick()
    {
        QFETCH(QByteArray, data);
        QElapsedTimer timer;
        timer.start();
        TMetafile mf;
        QVERIFY2(mf.LoadFromData(data), qPrintable(mf.Error()));
        TBitmap bitmap;
        QVERIFY(MetafileToBitmap(&bitmap, &mf, false));
        QVERIFY2(timer.elapsed() < 15000, qPrintable(QString::number(timer.elapsed())));
    }

    void mutatedFiles()
    {
        WmfBuilder w;
        w.solidBrush(qRgb(255, 0, 0)).pen(0, 2, 0).select(0).select(1).rectangle(10, 10, 60, 40).ellipse(80, 10, 140, 70);
        w.font(-20, 204, "DejaVu Sans").select(2).textOut(10, 60, "\xC6\xE8\xE2");
        w.addRaw(META_STRETCHDIB, stretchDib(0, 2, 2, QRect(150, 50, 40, 40),
                                             dib24({{qRgb(255, 0, 0), qRgb(0, 255, 0)}, {qRgb(0, 0, 255), qRgb(9, 9, 9)}})));
        QTemporaryDir dir;
        const QString emfPath = dir.filePath(QStringLiteral("shapes.emf"));
        QVERIFY(libemf::writeShapes(emfPath.toStdString()));
        const QList<QByteArray> sources = {w.finish(), readFile(emfPath)};
        QRandomGenerator rng(1);
        int loaded = 0;
        for (const QByteArray& source : sources) {
            QVERIFY(!source.isEmpty());
            for (int i = 0; i < 400; ++i) {
                QByteArray d = source;
                const int changes = 1 + int(rng.bounded(8));
                for (int k = 0; k < changes; ++k)
                    d[int(rng.bounded(d.size()))] = char(rng.bounded(256));
                if (i % 10 == 0)
                    d.truncate(int(rng.bounded(d.size())));
                TMetafile mf;
                if (!mf.LoadFromData(d))
                    continue;
                ++loaded;
                QImage small(64, 64, QImage::Format_RGB32);
                small.fill(Qt::white);
                QPainter p(&small);
                mf.Draw(p, QRectF(0, 0, 64, 64));
            }
        }
        // most changes leave a file that still loads and is drawn
        QVERIFY2(loaded > 200, qPrintable(QString::number(loaded)));
    }

    void drawFontTextShadowAndTurn()
    {
        QImage img(300, 200, QImage::Format_RGB32);
        img.fill(Qt::white);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(40);
        font.setBold(true);
        {
            QPainter p(&img);
            p.setBrush(QColor(0, 0, 255));
            DrawFontText(20, 20, 0, QStringLiteral("IIII"), Qt::red, true, true, p, font, Qt::black);
        }
        // the shadow shows 2 pixels right of and below the text's own strokes
        QRect black, red;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 300; ++x) {
                const QRgb c = img.pixel(x, y);
                if (near(c, Qt::black, 30))
                    black |= QRect(x, y, 1, 1);
                if (near(c, Qt::red, 30))
                    red |= QRect(x, y, 1, 1);
            }
        QVERIFY(!black.isEmpty() && !red.isEmpty());
        QCOMPARE(red.right() - black.right(), 2);
        QCOMPARE(red.bottom() - black.bottom(), 2);
        QVERIFY(black.top() >= 20 && black.left() >= 20);

        // opaque: the canvas's brush colour behind the text; turned a quarter upwards
        QImage turned(200, 300, QImage::Format_RGB32);
        turned.fill(Qt::white);
        {
            QPainter p(&turned);
            p.setBrush(QColor(0, 0, 255));
            DrawFontText(50, 280, 90, QStringLiteral("Text"), Qt::red, false, false, p, font, Qt::black);
        }
        QRect blue;
        for (int y = 0; y < turned.height(); ++y)
            for (int x = 0; x < turned.width(); ++x)
                if (near(turned.pixel(x, y), Qt::blue, 30))
                    blue |= QRect(x, y, 1, 1);
        QVERIFY(!blue.isEmpty());
        QVERIFY2(2 * blue.height() > 3 * blue.width(), qPrintable(QStringLiteral("%1 x %2").arg(blue.width()).arg(blue.height())));
        QVERIFY(blue.bottom() <= 281 && blue.left() >= 49);
    }
};

QTEST_MAIN(TestMetafile)
#include "tst_metafile.moc"
