// JPEG sources converted through a reduced DCT decode: the reader's scale
// option, exact target sizes, closeness to the full decode, damaged files.

#include "conversion/pictureconversion.h"

#include "codec/binding/codecmodule.h"
#include "codec/binding/codecwrappers.h"
#include "codec/binding/dibconvert.h"
#include "codec/binding/iltdib.h"
#include "codec/binding/tbitmap.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// Soft gradients, fine texture and hard-edged blocks, as photos have them.
QImage photoLike(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int r = x * 255 / std::max(1, w - 1);
            const int g = y * 255 / std::max(1, h - 1);
            const int b = int(128 + 100 * std::sin(x / 9.0) * std::cos(y / 13.0));
            image.setPixel(x, y, qRgb(r, g, b));
        }
    QPainter painter(&image);
    for (int i = 0; i < 6; ++i)
        painter.fillRect(QRect(w * i / 7, h * (i % 3) / 4, w / 9 + 3, h / 7 + 3),
                         i % 2 ? QColor(240, 240, 230) : QColor(20, 30, 60));
    return image;
}

// An APP1 block with a big-endian EXIF directory holding only the
// orientation, put right after the start marker.
QByteArray withExifOrientation(const QByteArray& jpeg, int orientation)
{
    QByteArray exif("Exif\0\0MM\0\x2a\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\0\0\0\0\0\0\0", 32);
    exif[25] = char(orientation);
    QByteArray segment("\xff\xe1", 2);
    segment.append(char(0)).append(char(exif.size() + 2)).append(exif);
    return jpeg.left(2) + segment + jpeg.mid(2);
}

// The picture written as a JPEG the way cameras and editors write them:
// colour or grey, with an EXIF orientation 6 (stored turned left) when
// turned.
bool writeJpeg(const QImage& image, const QString& file, bool grey, bool turned)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImage stored = grey ? image.convertToFormat(QImage::Format_Grayscale8) : image;
    if (turned)
        stored = stored.transformed(QTransform().rotate(-90));
    if (!stored.save(&buffer, "JPG", 90))
        return false;
    QFile out(file);
    return out.open(QIODevice::WriteOnly) &&
           out.write(turned ? withExifOrientation(buffer.data(), 6) : buffer.data()) > 0;
}

QSize sizeOfDib(GlobalHandle dib)
{
    ILTDib view(dib, false);
    return {view.Width(), view.Height()};
}

struct Difference {
    double mean = 0;  // per channel
    int p99 = 0;      // 99th percentile of the largest channel difference
};

Difference differenceOf(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    std::vector<int> largest;
    double sum = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            const int dr = std::abs(qRed(p) - qRed(q)), dg = std::abs(qGreen(p) - qGreen(q));
            const int db = std::abs(qBlue(p) - qBlue(q));
            sum += dr + dg + db;
            largest.push_back(std::max({dr, dg, db}));
        }
    Difference d;
    if (largest.empty())
        return d;
    d.mean = sum / (3.0 * double(largest.size()));
    std::sort(largest.begin(), largest.end());
    d.p99 = largest[largest.size() * 99 / 100];
    return d;
}

ConversionOptions percentOf(int percent)
{
    ConversionOptions o;
    o.targetExt = QStringLiteral("png");
    o.percent = percent;
    return o;
}

ConversionOptions boxOf(int w, int h, bool keepAspect)
{
    ConversionOptions o;
    o.targetExt = QStringLiteral("png");
    o.changeSize = true;
    o.keepAspect = keepAspect;
    o.width = w;
    o.height = h;
    return o;
}

}  // namespace

Q_DECLARE_METATYPE(ConversionOptions)

class JpegReductionTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString path(const QString& name) const { return dir_.filePath(name); }

    QString photo(int w, int h)
    {
        const QString file = path(QStringLiteral("photo-%1x%2.jpg").arg(w).arg(h));
        if (!QFile::exists(file) && !photoLike(w, h).save(file, "JPG", 90))
            return {};
        return file;
    }

private slots:
    void cleanupTestCase() { CodecModule::unload(); }

    void readerScalesAndRefusesOtherScales()
    {
        const QString file = photo(1001, 667);
        QVERIFY(!file.isEmpty());
        for (int scale : {1, 2, 4, 8}) {
            GlobalHandle dib = nullptr;
            QVERIFY2(ReadJpgFileDibScaled(file, 24, false, scale, dib), qPrintable(QString::number(scale)));
            QCOMPARE(sizeOfDib(dib), QSize((1001 + scale - 1) / scale, (667 + scale - 1) / scale));
            FreeDIB(dib);
        }
        for (int scale : {0, 3, -2, 16, 32767}) {
            GlobalHandle dib = reinterpret_cast<GlobalHandle>(1);
            QVERIFY(!ReadJpgFileDibScaled(file, 24, false, scale, dib));
            QVERIFY(dib == nullptr);
            QVERIFY(CodecFailureReason().contains(QString::number(scale)));
            QVERIFY(!ReadJpgStreamDibScaled("\xff\xd8", 2, 24, false, scale, dib));
        }
        // scale 1 is the plain reader
        GlobalHandle plain = nullptr, one = nullptr;
        QVERIFY(ReadJpgFileDib(file, 24, false, plain));
        QVERIFY(ReadJpgFileDibScaled(file, 24, false, 1, one));
        QCOMPARE(globalmem::size(plain), globalmem::size(one));
        QVERIFY(std::memcmp(globalmem::lock(plain), globalmem::lock(one), globalmem::size(one)) == 0);
        globalmem::unlock(plain);
        globalmem::unlock(one);
        FreeDIB(plain);
        FreeDIB(one);
    }

    void largestScaleStillCoversTheSize_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QSize>("wanted");
        QTest::addColumn<int>("scale");
        QTest::newRow("half of odd sides") << QSize(1001, 667) << QSize(501, 334) << 2;
        QTest::newRow("a pixel more than half") << QSize(1000, 666) << QSize(501, 333) << 1;
        QTest::newRow("quarter rounds up") << QSize(1001, 667) << QSize(251, 167) << 4;
        QTest::newRow("eighth rounds up") << QSize(1001, 667) << QSize(126, 84) << 8;
        QTest::newRow("one side decides") << QSize(1001, 667) << QSize(126, 85) << 4;
        QTest::newRow("enlarged") << QSize(40, 30) << QSize(60, 45) << 1;
        QTest::newRow("tiny target") << QSize(7, 3) << QSize(1, 1) << 8;
        QTest::newRow("no picture") << QSize(0, 0) << QSize(1, 1) << 1;
    }
    void largestScaleStillCoversTheSize()
    {
        QFETCH(QSize, picture);
        QFETCH(QSize, wanted);
        QFETCH(int, scale);
        QCOMPARE(LargestJpegScale(picture.width(), picture.height(), wanted.width(), wanted.height()), scale);
    }

    void convertedSizesAreExact_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<ConversionOptions>("options");
        for (const QSize s : {QSize(1001, 667), QSize(333, 999), QSize(37, 23)}) {
            const QString n = QStringLiteral("%1x%2 ").arg(s.width()).arg(s.height());
            for (int p : {50, 33, 25, 12, 7, 1, 100, 150})
                QTest::newRow(qPrintable(n + QString::number(p) + "%")) << s << percentOf(p);
            QTest::newRow(qPrintable(n + "box kept")) << s << boxOf(127, 301, true);
            QTest::newRow(qPrintable(n + "box free")) << s << boxOf(129, 17, false);
        }
    }
    void convertedSizesAreExact()
    {
        QFETCH(QSize, picture);
        QFETCH(ConversionOptions, options);
        const QString source = photo(picture.width(), picture.height());
        QVERIFY(!source.isEmpty());
        const QString target = path(QStringLiteral("out.png"));
        QFile::remove(target);
        QCOMPARE(ConvertPicture(source, 0, target, options, true), ConversionStatus::Converted);
        TBitmap back;
        QVERIFY(LoadPicturePage(target, 0, back));
        QCOMPARE(QSize(back.width(), back.height()), ConvertedSize(picture, options));
    }

    // The reference is the full decode shrunk by averaging areas: at 50 %
    // that is exactly the stretch the conversion used before; at stronger
    // reductions the stretch samples only a few pixels of each area.
    void reducedDecodeStaysCloseToTheFullDecode_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<ConversionOptions>("options");
        QTest::addColumn<double>("mean");
        QTest::addColumn<int>("p99");
        const QImage picture = photoLike(1001, 667);
        const QString colour = path(QStringLiteral("colour.jpg"));
        const QString grey = path(QStringLiteral("grey.jpg"));
        const QString turned = path(QStringLiteral("turned.jpg"));
        QVERIFY(writeJpeg(picture, colour, false, false));
        QVERIFY(writeJpeg(picture, grey, true, false));
        QVERIFY(writeJpeg(picture, turned, false, true));
        QImageReader stored(turned);
        QCOMPARE(stored.transformation(), QImageIOHandler::TransformationRotate90);
        TBitmap upright;
        QVERIFY(LoadPicturePage(turned, 0, upright));
        QCOMPARE(QSize(upright.width(), upright.height()), QSize(1001, 667));
        for (const QString& file : {colour, grey, turned}) {
            const QString name = QFileInfo(file).baseName();
            for (int p : {50, 40, 25, 20})
                QTest::newRow(qPrintable(QStringLiteral("%1 %2%").arg(name).arg(p))) << file << percentOf(p) << 4.0
                                                                                     << 40;
            // an eighth's block averages, then stretched by a quarter
            QTest::newRow(qPrintable(name + " 10%")) << file << percentOf(10) << 8.0 << 64;
            QTest::newRow(qPrintable(name + " box")) << file << boxOf(300, 150, true) << 4.0 << 40;
        }
        // 35 x 23 pixels, where every pixel is an edge
        for (const char* name : {"rose-baseline", "rose-progressive", "rose-grey", "rose-cmyk",
                                 "rose-exif-orientation-6"})
            QTest::newRow(name) << QStringLiteral(KV_CODEC_DATA "/%1.jpg").arg(name) << percentOf(50) << 14.0
                                << 80;
    }
    void reducedDecodeStaysCloseToTheFullDecode()
    {
        QFETCH(QString, file);
        QFETCH(ConversionOptions, options);
        QFETCH(double, mean);
        QFETCH(int, p99);
        const TBitmap reduced = ConvertedPicture(file, 0, options);
        TBitmap full;
        QVERIFY(LoadPicturePage(file, 0, full));
        const QSize size = ConvertedSize(QSize(full.width(), full.height()), options);
        QVERIFY(!reduced.empty());
        QCOMPARE(QSize(reduced.width(), reduced.height()), size);
        const QImage reference = full.image().scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const Difference d = differenceOf(reduced.image(), reference);
        QVERIFY2(d.mean <= mean && d.p99 <= p99,
                 qPrintable(QStringLiteral("mean %1, 99th percentile %2").arg(d.mean).arg(d.p99)));
    }

    void damagedJpegFailsCleanly_data()
    {
        QTest::addColumn<int>("damage");
        QTest::addColumn<int>("percent");
        for (int percent : {50, 12, 100}) {
            QTest::newRow(qPrintable(QStringLiteral("cut %1%").arg(percent))) << 0 << percent;
            QTest::newRow(qPrintable(QStringLiteral("scrambled %1%").arg(percent))) << 1 << percent;
            QTest::newRow(qPrintable(QStringLiteral("huge frame %1%").arg(percent))) << 2 << percent;
        }
    }
    void damagedJpegFailsCleanly()
    {
        QFETCH(int, damage);
        QFETCH(int, percent);
        QFile whole(photo(640, 480));
        QVERIFY(whole.open(QIODevice::ReadOnly));
        QByteArray bytes = whole.readAll();
        if (damage == 0) {
            bytes.truncate(bytes.size() * 6 / 10);
        } else if (damage == 1) {
            for (qsizetype i = bytes.size() / 2; i < bytes.size() / 2 + 64; ++i)
                bytes[i] = char(0xff);
        } else {
            QFile hostile(QStringLiteral(KV_CODEC_DATA "/hostile/jpeg-sof-16000.jpg"));
            QVERIFY(hostile.open(QIODevice::ReadOnly));
            bytes = hostile.readAll();
        }
        const QString source = path(QStringLiteral("damaged.jpg"));
        QFile out(source);
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(bytes);
        out.close();
        QDir targets(path(QStringLiteral("targets")));
        targets.removeRecursively();
        QVERIFY(QDir().mkpath(targets.path()));

        QVERIFY(ConvertedPicture(source, 0, percentOf(percent)).empty());
        QCOMPARE(ConvertPicture(source, 0, targets.filePath("damaged.png"), percentOf(percent), true),
                 ConversionStatus::Unreadable);
        QCOMPARE(targets.entryList(QDir::Files | QDir::Hidden), QStringList());
    }
};

QTEST_MAIN(JpegReductionTest)
#include "tst_jpegreduction.moc"
