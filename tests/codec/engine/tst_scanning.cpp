// Scanning through SANE's test device, configured in a private folder.

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "codec/binding/codecstate.h"
#include "codec/binding/codecwrappers.h"
#include "codec/binding/tbitmap.h"
#include "dibimage.h"
#include "sanetestdevice.h"
#include "platform/scannerpicker.h"

namespace {

int stopAtFirstReport(int percent, void*)
{
    return percent == 0 ? 1 : 0;
}

}  // namespace

class ScanningTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void chooserListsTheDevicesAndTheChoiceIsUsed();
    void cancelledChoiceKeepsThePreviousDevice();
    void framesArriveAtTheAskedDepth_data();
    void framesArriveAtTheAskedDepth();
    void colourScanMatchesScanimage();
    void threePassAndHandScannerFramesAreJoined();
    void lineArtIsBlackWhereTheDeviceSaysBlack();
    void busyScanRefusesASecondOne();
    void stopAnswerGivesNoPicture();
    void withoutDevicesBothCallsFail();

private:
    using Options = SaneTestDevice::Options;
    void configure(const Options& options) { QVERIFY(m_device.configure(options)); }
    GlobalHandle scan(int bits);

    SaneTestDevice m_device;
};

void ScanningTest::initTestCase()
{
    QVERIFY(m_device.valid());
}

void ScanningTest::cleanup()
{
    ScannerPicker::setScript({});
    configure(Options());
}

GlobalHandle ScanningTest::scan(int bits)
{
    GlobalHandle dib = nullptr;
    if (!AcquireDibImage(nullptr, bits, false, dib))
        return nullptr;
    return dib;
}

void ScanningTest::chooserListsTheDevicesAndTheChoiceIsUsed()
{
    QStringList offered;
    ScannerPicker::setScript([&](const QStringList& scanners) {
        offered = scanners;
        return 1;
    });
    QVERIFY(SelectScanSource(nullptr));
    QCOMPARE(offered.size(), 2);
    QVERIFY2(offered[0].contains(QStringLiteral("(test:0)")), qPrintable(offered[0]));
    QVERIFY2(offered[1].contains(QStringLiteral("(test:1)")), qPrintable(offered[1]));
    // the choice holds for the next selection's preset and the scans
    GlobalHandle dib = scan(8);
    QVERIFY(dib);
    dibimage::release(dib);
}

void ScanningTest::cancelledChoiceKeepsThePreviousDevice()
{
    int asked = 0;
    ScannerPicker::setScript([&](const QStringList&) {
        ++asked;
        return -1;
    });
    QVERIFY(SelectScanSource(nullptr));  // cancelling is not an error
    QCOMPARE(asked, 1);
    GlobalHandle dib = scan(8);
    QVERIFY(dib);
    dibimage::release(dib);
}

void ScanningTest::framesArriveAtTheAskedDepth_data()
{
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("expectedBits");
    QTest::newRow("own depth (grey)") << 0 << 8;
    QTest::newRow("1") << 1 << 1;
    QTest::newRow("4") << 4 << 4;
    QTest::newRow("8") << 8 << 8;
    QTest::newRow("24") << 24 << 24;
}

void ScanningTest::framesArriveAtTheAskedDepth()
{
    QFETCH(int, bits);
    QFETCH(int, expectedBits);
    Options o;
    o.picture = QStringLiteral("Grid");
    configure(o);
    GlobalHandle dib = scan(bits);
    QVERIFY(dib);
    QCOMPARE(dibimage::bitCount(dib), expectedBits);
    const QImage image = dibimage::toImage(dib);
    // 40 x 30 mm at 50 dpi, whole pixels
    QCOMPARE(image.width(), 78);
    QCOMPARE(image.height(), 59);
    // the grid has black and white squares at every depth
    int dark = 0, light = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const int l = QColor(image.pixel(x, y)).lightness();
            dark += l < 60;
            light += l > 200;
        }
    QVERIFY2(dark > image.width() * image.height() / 4, qPrintable(QString::number(dark)));
    QVERIFY2(light > image.width() * image.height() / 4, qPrintable(QString::number(light)));
    dibimage::release(dib);
}

void ScanningTest::colourScanMatchesScanimage()
{
    Options o;
    o.mode = QStringLiteral("Color");
    o.picture = QStringLiteral("Color pattern");
    configure(o);
    ScannerPicker::setScript([](const QStringList&) { return 0; });
    QVERIFY(SelectScanSource(nullptr));
    GlobalHandle dib = scan(24);
    QVERIFY(dib);
    const QImage ours = dibimage::toImage(dib).convertToFormat(QImage::Format_RGB32);
    dibimage::release(dib);

    QTemporaryDir out;
    const QString pnm = out.filePath(QStringLiteral("scan.pnm"));
    QProcess scanimage;
    scanimage.setStandardOutputFile(pnm);
    scanimage.start(QStringLiteral("scanimage"), {QStringLiteral("-d"), QStringLiteral("test:0"),
                                                  QStringLiteral("--format=pnm")});
    if (!scanimage.waitForStarted())
        QSKIP("scanimage is not installed");
    QVERIFY(scanimage.waitForFinished(60000));
    QCOMPARE(scanimage.exitCode(), 0);
    const QImage theirs = QImage(pnm).convertToFormat(QImage::Format_RGB32);
    QVERIFY(!theirs.isNull());
    QCOMPARE(ours.size(), theirs.size());
    int colours = 0;
    QSet<QRgb> seen;
    for (int y = 0; y < ours.height(); ++y)
        for (int x = 0; x < ours.width(); ++x) {
            QCOMPARE(ours.pixel(x, y), theirs.pixel(x, y));
            seen.insert(ours.pixel(x, y));
        }
    colours = int(seen.size());
    QVERIFY2(colours > 4, "the colour pattern has many colours");
}

void ScanningTest::threePassAndHandScannerFramesAreJoined()
{
    Options threePass;
    threePass.mode = QStringLiteral("Color");
    threePass.picture = QStringLiteral("Color pattern");
    configure(threePass);
    GlobalHandle oneFrame = nullptr;
    {
        Options single = threePass;
        configure(single);
        oneFrame = scan(24);
    }
    threePass.threePass = true;
    configure(threePass);
    GlobalHandle threeFrames = scan(24);
    QVERIFY(oneFrame && threeFrames);
    QCOMPARE(dibimage::toImage(threeFrames), dibimage::toImage(oneFrame));
    dibimage::release(oneFrame);
    dibimage::release(threeFrames);

    Options hand;
    hand.handScanner = true;
    configure(hand);
    GlobalHandle handScan = scan(8);
    QVERIFY(handScan);
    const QImage image = dibimage::toImage(handScan);
    QVERIFY(image.height() > 0);
    QVERIFY(image.width() > 0);
    dibimage::release(handScan);
}

void ScanningTest::lineArtIsBlackWhereTheDeviceSaysBlack()
{
    Options o;
    o.depth = 1;
    configure(o);
    GlobalHandle black = scan(0);
    QVERIFY(black);
    QCOMPARE(dibimage::bitCount(black), 1);
    QCOMPARE(QColor(dibimage::toImage(black).pixel(5, 5)), QColor(Qt::black));
    dibimage::release(black);
    o.picture = QStringLiteral("Solid white");
    configure(o);
    GlobalHandle white = scan(0);
    QVERIFY(white);
    QCOMPARE(QColor(dibimage::toImage(white).pixel(5, 5)), QColor(Qt::white));
    dibimage::release(white);
}

void ScanningTest::busyScanRefusesASecondOne()
{
    QVERIFY(TryBeginScan());
    GlobalHandle dib = nullptr;
    QVERIFY(!AcquireDibImage(nullptr, 8, false, dib));
    QVERIFY(!dib);
    int asked = 0;
    ScannerPicker::setScript([&](const QStringList&) {
        ++asked;
        return 0;
    });
    QVERIFY(!SelectScanSource(nullptr));
    QCOMPARE(asked, 0);
    EndScan();
    dib = scan(8);
    QVERIFY(dib);
    dibimage::release(dib);
}

void ScanningTest::stopAnswerGivesNoPicture()
{
    GlobalHandle dib = nullptr;
    QVERIFY(!AcquireDibImage(nullptr, 24, false, dib, nullptr, stopAtFirstReport));
    QVERIFY(!dib);
    // the next scan works again
    dib = scan(24);
    QVERIFY(dib);
    dibimage::release(dib);
}

void ScanningTest::withoutDevicesBothCallsFail()
{
    Options none;
    none.devices = 0;
    configure(none);
    int asked = 0;
    ScannerPicker::setScript([&](const QStringList&) {
        ++asked;
        return 0;
    });
    QVERIFY(!SelectScanSource(nullptr));
    QCOMPARE(asked, 0);
    GlobalHandle dib = nullptr;
    QVERIFY(!AcquireDibImage(nullptr, 8, false, dib));
    QVERIFY(!dib);
}

QTEST_MAIN(ScanningTest)
#include "tst_scanning.moc"
