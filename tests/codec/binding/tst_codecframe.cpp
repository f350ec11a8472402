// The wrapper frame around the codec module: loading and its error,
// OperationText, file-name limits, result judging, missing and failing
// entries, the unload after a failed JPEG decode, and the scan lock.

#include "codec/binding/codecmodule.h"
#include "codec/binding/codecstate.h"
#include "codec/binding/codecwrappers.h"
#include "codec/binding/dibconvert.h"
#include "codec/binding/errorinvalid.h"
#include "codec/binding/tbitmap.h"

#include <QTemporaryDir>
#include <QtTest>

#include <dlfcn.h>

namespace {

const QString kFakeDir = QStringLiteral(KV_FAKE_MODULE_DIR);
const QString kFakeName = QStringLiteral("fakecrde.so");

template <typename T>
T fakeValue(const char* entry)
{
    auto fn = CodecModule::resolve(entry).as<T (*)()>();
    return fn ? fn() : T{};
}

int imageCalls() { return fakeValue<int>("fake_image_calls"); }
QString lastName() { return QString::fromLocal8Bit(fakeValue<const char*>("fake_last_name")); }
int lastPage() { return fakeValue<int>("fake_last_page"); }

bool fakeStillMapped()
{
    const QByteArray path = (kFakeDir + QLatin1Char('/') + kFakeName).toLocal8Bit();
    void* h = dlopen(path.constData(), RTLD_NOW | RTLD_NOLOAD);
    if (h)
        dlclose(h);
    return h != nullptr;
}

QString loadError()
{
    try {
        GlobalHandle dib = nullptr;
        ReadPngFileDib(QStringLiteral("/tmp/x.png"), 24, false, dib);
        FreeDIB(dib);
    } catch (const ErrorInvalid& e) {
        return e.message();
    }
    return QString();
}

// Progress callback that tries to start a second scan while one runs.
int secondScanAnswer = -1;
int trySecondScan(int, void*)
{
    secondScanAnswer = SelectScanSource(nullptr) ? 1 : 0;
    return 1;
}

}  // namespace

class TestCodecFrame : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        CodecModule::unload();
        CodecModule::setLibraryFolder(kFakeDir);
        CodecModule::setModuleName(kFakeName);
        SetOperationText(QString());
    }

    void cleanupTestCase()
    {
        CodecModule::unload();
        CodecModule::setLibraryFolder(QString());
        CodecModule::setModuleName(QString::fromLatin1(CodecModule::kDefaultName));
    }

    void moduleThatCannotLoadNamesTheFile()
    {
        QTemporaryDir empty;
        CodecModule::setLibraryFolder(empty.path());
        CodecModule::setModuleName(QStringLiteral("nosuch-crde.so"));
        QCOMPARE(loadError(), QStringLiteral("Can't load nosuch-crde.so. Make sure its located in the "
                                             "application's searchpath."));
        QVERIFY(!CodecModule::isLoaded());
        // Not in the program folder nor on the search path: only the
        // library folder has it.
        CodecModule::setModuleName(kFakeName);
        QCOMPARE(loadError(), CodecModule::loadErrorText(kFakeName));
        CodecModule::setLibraryFolder(kFakeDir);
        QCOMPARE(loadError(), QString());
        QVERIFY(CodecModule::isLoaded());
    }

    void eachLookupInitialisesTheModuleFirst()
    {
        const int before = fakeValue<int>("fake_init_calls");
        GlobalHandle dib = nullptr;
        QVERIFY(ReadPngFileDib(QStringLiteral("a.png"), 24, false, dib));
        FreeDIB(dib);
        // one for the wrapper's lookup, one for this query's own
        QCOMPARE(fakeValue<int>("fake_init_calls") - before, 2);
    }

    void operationTextNamesTheOperation()
    {
        GlobalHandle dib = nullptr;
        QVERIFY(ReadPngFileDib(QStringLiteral("/pics/a b.png"), 24, false, dib));
        QCOMPARE(OperationText(), QStringLiteral("Reading /pics/a b.png"));
        const QByteArray bytes(16, 'x');
        GlobalHandle fromStream = nullptr;
        QVERIFY(ReadPngStreamDib(bytes.constData(), bytes.size(), 24, false, fromStream));
        QCOMPARE(OperationText(), QStringLiteral("Reading PNG Stream"));
        QVERIFY(WritePngFileDib(QStringLiteral("/out/b.png"), dib, 0, false));
        QCOMPARE(OperationText(), QStringLiteral("Writing /out/b.png"));
        QVERIFY(WriteTiffFileDibPage(QStringLiteral("/out/c.tif"), dib, 0, 1, 4));
        QCOMPARE(OperationText(), QStringLiteral("Inserting /out/c.tif"));
        QCOMPARE(lastPage(), 4);

        // Information and page deletion leave the text alone.
        PictureFileInfo info;
        QVERIFY(ReadFileInfo(QStringLiteral("/pics/d.jpg"), info));
        TiffPageInfo page;
        QVERIFY(ReadTiffPageInfo(QStringLiteral("/pics/e.tif"), 1, page));
        QVERIFY(DeleteTiffPage(QStringLiteral("/pics/e.tif"), 2));
        QCOMPARE(OperationText(), QStringLiteral("Inserting /out/c.tif"));

        GlobalHandle scanned = nullptr;
        QVERIFY(AcquireDibImage(nullptr, 24, false, scanned));
        QCOMPARE(OperationText(), QStringLiteral("Aquiring Image "));
        FreeDIB(scanned);
        FreeDIB(fromStream);
        FreeDIB(dib);
    }

    void fileNamesMustFitTheBuffer_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("fits");
        QTest::newRow("510 bytes") << QString(510, QLatin1Char('n')) << true;
        QTest::newRow("511 bytes") << QString(511, QLatin1Char('n')) << false;
        QTest::newRow("4000 bytes") << QString(4000, QLatin1Char('n')) << false;
        // Counted in bytes of the file-system encoding, not characters.
        QTest::newRow("255 umlauts") << QString(255, QChar(0x00E4)) << true;
        QTest::newRow("256 umlauts") << QString(256, QChar(0x00E4)) << false;
    }

    void fileNamesMustFitTheBuffer()
    {
        QFETCH(QString, name);
        QFETCH(bool, fits);
        SetOperationText(QStringLiteral("before"));
        const int calls = imageCalls();
        GlobalHandle dib = nullptr;
        QCOMPARE(ReadPngFileDib(name, 24, false, dib), fits);
        FreeDIB(dib);
        QCOMPARE(imageCalls() - calls, fits ? 1 : 0);
        if (fits) {
            QCOMPARE(lastName(), name);
            QCOMPARE(OperationText(), QStringLiteral("Reading ") + name);
        } else {
            QCOMPARE(OperationText(), QStringLiteral("before"));
            PictureFileInfo info;
            QVERIFY(!ReadFileInfo(name + QStringLiteral(".jpg"), info));
        }
    }

    void entryFailuresReturnFalse()
    {
        GlobalHandle dib = nullptr;
        // not exported by the module
        QVERIFY(!ReadBmpFileDib(QStringLiteral("a.bmp"), 24, false, dib));
        QVERIFY(!dib);
        // success without a picture
        QVERIFY(!ReadPcxFileDib(QStringLiteral("a.pcx"), 24, false, dib));
        QVERIFY(!dib);
        // failure that handed out a block: the block is freed, not returned
        QVERIFY(!ReadTgaFileDib(QStringLiteral("a.tga"), 24, false, dib));
        QVERIFY(!dib);
        // an exception inside the module
        QVERIFY(!ReadGifFileDib(QStringLiteral("a.gif"), 24, false, dib));
        QVERIFY(!dib);
        QVERIFY(CodecModule::isLoaded());
        // not exported either: the conversion gives nothing
        QVERIFY(!CopyDIB(nullptr));
    }

    void missingAnnotationEntryRaises()
    {
        QString message;
        try {
            CodecModule::resolveAnnotation("DrawAnnotation");
        } catch (const ErrorInvalid& e) {
            message = e.message();
        }
        QCOMPARE(message, QStringLiteral("Error. Could not get a procaddress for DrawAnnotation. This could "
                                         "berelated to a dll name or version missmatch of fakecrde.so"));
        QVERIFY(CodecModule::resolveAnnotation("InitDll"));
    }

    void failedJpegDecodeUnloadsTheModule()
    {
        GlobalHandle dib = nullptr;
        QVERIFY(ReadPngFileDib(QStringLiteral("a.png"), 24, false, dib));
        FreeDIB(dib);
        QVERIFY(fakeStillMapped());
        QVERIFY(!ReadJpgFileDib(QStringLiteral("a.jpg"), 24, false, dib));
        QVERIFY(!CodecModule::isLoaded());
        QVERIFY(!fakeStillMapped());
        // the next call loads it again
        QVERIFY(ReadPngFileDib(QStringLiteral("a.png"), 24, false, dib));
        FreeDIB(dib);
        QVERIFY(CodecModule::isLoaded());

        const QByteArray bytes(8, 'j');
        QVERIFY(!ReadJpgStreamDib(bytes.constData(), bytes.size(), 24, false, dib));
        QVERIFY(!CodecModule::isLoaded());
        // other failures keep it
        QVERIFY(!ReadPcxFileDib(QStringLiteral("a.pcx"), 24, false, dib));
        QVERIFY(CodecModule::isLoaded());
    }

    void resultsAreJudgedPerEntry()
    {
        TiffPageInfo page;
        // getinfo answers 0 for page 0: only -1 is a failure
        QVERIFY(ReadTiffPageInfo(QStringLiteral("a.tif"), 0, page));
        QCOMPARE(page.pages, 3);
        QCOMPARE(page.width, 5);
        QCOMPARE(page.compressionCode, -32763);
        QCOMPARE(page.compression, QStringLiteral("PACKBITS"));
        QVERIFY(!ReadTiffPageInfo(QStringLiteral("a.tif"), 3, page));
        const QByteArray bytes(8, 's');
        QVERIFY(!ReadTiffStreamPageInfo(bytes.constData(), bytes.size(), 0, page));

        PictureFileInfo info;
        QVERIFY(ReadFileInfo(QStringLiteral("a.png"), info));
        QCOMPARE(info.type, QStringLiteral("FAKE TYPE"));
        QCOMPARE(info.compression, QStringLiteral("Fake Comp"));
        QCOMPARE(info.width, 7);
        QCOMPARE(info.height, 9);
        QCOMPARE(info.bits, 8);
        QCOMPARE(info.colors, 256);
    }

    void streamsNeedData()
    {
        GlobalHandle dib = nullptr;
        const char byte = 0;
        for (qint64 size : {qint64(0), qint64(-5)}) {
            QString message;
            try {
                ReadPngStreamDib(&byte, size, 24, false, dib);
            } catch (const ErrorInvalid& e) {
                message = e.message();
            }
            QCOMPARE(message, QStringLiteral("Stream is nil or empty"));
        }
        QVERIFY_THROWS_EXCEPTION(ErrorInvalid, ReadPngStreamDib(nullptr, 10, 24, false, dib));
        PictureFileInfo info;
        QVERIFY_THROWS_EXCEPTION(ErrorInvalid, ReadStreamInfo(nullptr, 0, info));
    }

    void tiffStreamInfoNeedsNoModule_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<bool>("tiff");
        QTest::newRow("little-endian") << QByteArray("II*\0rest", 8) << true;
        QTest::newRow("big-endian") << QByteArray("MM\0*rest", 8) << true;
        QTest::newRow("BigTIFF") << QByteArray("II+\0rest", 8) << false;
        QTest::newRow("no zero byte") << QByteArray("II**rest", 8) << false;
        QTest::newRow("too short") << QByteArray("II*", 3) << false;
    }

    void tiffStreamInfoNeedsNoModule()
    {
        QFETCH(QByteArray, head);
        QFETCH(bool, tiff);
        QTemporaryDir empty;
        CodecModule::setLibraryFolder(empty.path());
        CodecModule::setModuleName(QStringLiteral("nosuch-crde.so"));
        PictureFileInfo info;
        info.width = 99;
        info.compression = QStringLiteral("old");
        if (tiff) {
            QVERIFY(ReadStreamInfo(head.constData(), head.size(), info));
            QCOMPARE(info.type, QStringLiteral("TIFF"));
            QCOMPARE(info.compression, QString());
            QCOMPARE(info.width, 0);
            QCOMPARE(info.height, 0);
            QCOMPARE(info.bits, 0);
        } else {
            // anything else goes to the module, which is not there
            QVERIFY_THROWS_EXCEPTION(ErrorInvalid, ReadStreamInfo(head.constData(), head.size(), info));
        }
    }

    void scanIsRefusedWhileOneRuns()
    {
        secondScanAnswer = -1;
        GlobalHandle dib = nullptr;
        QVERIFY(AcquireDibImage(nullptr, 24, false, dib, nullptr, trySecondScan));
        FreeDIB(dib);
        QCOMPARE(secondScanAnswer, 0);
        QVERIFY(!ScanBusy());
        QVERIFY(SelectScanSource(nullptr));
    }

    void bitmapWrappersDecodeAndConvert()
    {
        TBitmap bitmap;
        QVERIFY(ReadTiffFileBitmap(QStringLiteral("p.tif"), 8, false, 2, bitmap));
        QCOMPARE(lastPage(), 2);
        QCOMPARE(bitmap.pixelFormat(), pf8bit);
        QCOMPARE(bitmap.width(), 2);
        QVERIFY(ReadPngFileBitmap(QStringLiteral("p.png"), 24, false, bitmap));
        QCOMPARE(bitmap.pixelFormat(), pf24bit);
        // a failed decode leaves the bitmap as it was
        QVERIFY(!ReadPcxFileBitmap(QStringLiteral("p.pcx"), 24, false, bitmap));
        QCOMPARE(bitmap.pixelFormat(), pf24bit);
        QCOMPARE(bitmap.height(), 2);
    }
};

QTEST_MAIN(TestCodecFrame)
#include "tst_codecframe.moc"
