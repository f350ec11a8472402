// The encoders through the binding: every writer and option read back by our
// own decoders and by ImageMagick or tiffinfo, and what a failed or stopped
// write leaves on disk.

#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include "codec/binding/codecstate.h"
#include "codec/binding/codecwrappers.h"
#include "codec/binding/dibconvert.h"
#include "codec/binding/tiffnames.h"
#include "codec/engine/crde2001.h"
#include "enginemodule.h"
#include "referencedecoder.h"
#include "writertestkit.h"

using namespace writertestkit;

namespace {

// Writes the DIB with the writer for the extension; tga and pcx have no options.
bool writeByExtension(const QString& path, GlobalHandle dib, int bits)
{
    const QString ext = QFileInfo(path).suffix();
    if (ext == "png")
        return WritePngFileDib(path, dib, bits, false);
    if (ext == "gif")
        return WriteGifFileDib(path, dib, bits);
    if (ext == "pcx")
        return WritePcxFileDib(path, dib, bits);
    if (ext == "tga")
        return WriteTgaFileDib(path, dib, bits);
    if (ext == "tif")
        return WriteTiffFileDib(path, dib, bits, TiffCompressionCode(sLZW), false);
    return false;
}

// Writes the image (as a 24-bit DIB) with write(path, dib) into the folder.
QString written(const QTemporaryDir& dir, const QString& name, const QImage& image,
                const std::function<bool(const QString&, GlobalHandle)>& write)
{
    GlobalHandle dib = dibOf(image, 24);
    const QString path = dir.filePath(name);
    const bool ok = dib && write(path, dib);
    FreeDIB(dib);
    return ok ? path : QString();
}

struct StopAt {
    int percent;
    QList<int> seen;
};

int stopAt(int percent, void* sender)
{
    auto* s = static_cast<StopAt*>(sender);
    s->seen << percent;
    return percent >= s->percent ? 0 : 1;
}

}  // namespace

class CodecWriteTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY2(!run("identify", {"-version"}).isEmpty(), "ImageMagick is needed");
        QVERIFY2(!run("tiffinfo", {"-h"}).isNull() || QFile::exists("/usr/bin/tiffinfo"), "tiffinfo is needed");
    }

    // Lossless formats at every depth: our reader gives back the picture
    // the writer was given (at 24 bits: exactly the source), and the
    // independent reader agrees with ours pixel for pixel.
    void losslessRoundTrip_data()
    {
        QTest::addColumn<QString>("ext");
        QTest::addColumn<int>("bits");
        for (const char* ext : {"png", "pcx", "tga", "tif", "gif"})
            for (int bits : {1, 4, 8, 24}) {
                if (QByteArray(ext) == "gif" && bits == 24)
                    continue;
                QTest::addRow("%s-%d", ext, bits) << QString(ext) << bits;
            }
    }
    void losslessRoundTrip()
    {
        QFETCH(QString, ext);
        QFETCH(int, bits);
        const QImage source = bits == 24 ? photo(61, 37) : blocks(61, 37, 1 << bits);
        GlobalHandle dib = dibOf(source, bits);
        QVERIFY(dib);
        const QString path = m_dir.filePath(QString("round-%1.%2").arg(bits).arg(ext));
        QVERIFY(writeByExtension(path, dib, 0));
        FreeDIB(dib);

        const QImage ours = ourDecode(path);
        QCOMPARE(maxDifference(ours, source), 0);
        const QImage theirs = referencedecoder::decode(path);
        QVERIFY2(!theirs.isNull(), "the independent reader failed");
        QCOMPARE(maxDifference(theirs, source), 0);

        PictureFileInfo info;
        QVERIFY(ReadFileInfo(path, info));
        QCOMPARE(info.width, 61);
        QCOMPARE(info.height, 37);
    }

    // A depth asked for is the depth written, whatever the DIB holds.
    void requestedDepthIsWritten_data()
    {
        QTest::addColumn<QString>("ext");
        QTest::addColumn<int>("bits");
        QTest::addColumn<QString>("magickType");
        QTest::newRow("png-1") << "png" << 1 << "Bilevel";
        QTest::newRow("png-8") << "png" << 8 << "Palette";
        QTest::newRow("tif-8") << "tif" << 8 << "Palette";
        QTest::newRow("tga-8") << "tga" << 8 << "Palette";
        QTest::newRow("pcx-4") << "pcx" << 4 << "Palette";
        QTest::newRow("gif-24-asks-8") << "gif" << 24 << "Palette";
    }
    void requestedDepthIsWritten()
    {
        QFETCH(QString, ext);
        QFETCH(int, bits);
        QFETCH(QString, magickType);
        const QImage source = photo(40, 30, 7);
        GlobalHandle dib = dibOf(source, 24);
        const QString path = m_dir.filePath(QString("depth-%1.%2").arg(bits).arg(ext));
        QVERIFY(writeByExtension(path, dib, bits));
        FreeDIB(dib);
        QCOMPARE(identify(path, "%[type]"), magickType);
        const QImage ours = ourDecode(path);
        QCOMPARE(maxDifference(ours, referencedecoder::decode(path)), 0);
        QVERIFY(psnr(ours, source) > (bits == 1 ? 5 : (bits == 4 ? 12 : 20)));
    }

    void jpegQualitySmoothingAndGrey()
    {
        const QImage source = photo(160, 120, 3);
        GlobalHandle dib = dibOf(source, 24);
        const QString q40 = m_dir.filePath("q40.jpg"), q90 = m_dir.filePath("q90.jpg");
        const QString smooth = m_dir.filePath("smooth.jpg"), grey = m_dir.filePath("grey.jpg");
        QVERIFY(WriteJpgFileDib(q40, dib, 0, 40, 0, false));
        QVERIFY(WriteJpgFileDib(q90, dib, 0, 90, 0, false));
        QVERIFY(WriteJpgFileDib(smooth, dib, 0, 90, 60, false));
        QVERIFY(WriteJpgFileDib(grey, dib, 0, 90, 0, true));
        FreeDIB(dib);

        const qint64 size40 = QFileInfo(q40).size(), size90 = QFileInfo(q90).size();
        qInfo("JPEG of 160x120: quality 40 %lld bytes, quality 90 %lld bytes", size40, size90);
        QVERIFY(size40 < size90);
        QCOMPARE(identify(q40, "%Q"), QString("40"));
        QCOMPARE(identify(q90, "%Q"), QString("90"));
        QVERIFY(readAll(smooth) != readAll(q90));
        QCOMPARE(identify(grey, "%[colorspace]"), QString("Gray"));
        QCOMPARE(identify(q90, "%[colorspace]"), QString("sRGB"));

        const QImage at90 = ourDecode(q90), at40 = ourDecode(q40);
        QVERIFY(psnr(at90, source) > 30);
        QVERIFY(psnr(at90, source) > psnr(at40, source));
        QVERIFY(psnr(at90, referencedecoder::decode(q90)) > 45);
        const QImage g = ourDecode(grey);
        QVERIFY(g.allGray());
        QVERIFY(maxDifference(g, referencedecoder::decode(grey)) <= 1);
    }

    // Each TTiffCompression gives its TIFF code, as tiffinfo and our page
    // information name it; the CCITT codes write black and white.
    void tiffCompressions_data()
    {
        QTest::addColumn<int>("compression");
        QTest::addColumn<QString>("scheme");
        QTest::addColumn<QString>("ourName");
        QTest::newRow("sNONE") << int(sNONE) << "None" << "NONE";
        QTest::newRow("sCCITT") << int(sCCITT) << "CCITT RLE" << "CCITT3";
        QTest::newRow("sFAXCCITT3") << int(sFAXCCITT3) << "CCITT Group 3" << "FAXCCITT3";
        QTest::newRow("sFAXCCITT4") << int(sFAXCCITT4) << "CCITT Group 4" << "FAXCCITT4";
        QTest::newRow("sLZW") << int(sLZW) << "LZW" << "LZW";
        QTest::newRow("sPACKBITS") << int(sPACKBITS) << "PackBits" << "PACKBITS";
    }
    void tiffCompressions()
    {
        QFETCH(int, compression);
        QFETCH(QString, scheme);
        QFETCH(QString, ourName);
        const int code = TiffCompressionCode(TTiffCompression(compression));
        const bool ccitt = code >= 2 && code <= 4;
        const QImage source = photo(50, 33, 5);
        GlobalHandle dib = dibOf(source, 24);
        const QString path = m_dir.filePath(QString("c%1.tif").arg(code));
        QVERIFY(WriteTiffFileDib(path, dib, 0, code, false));
        FreeDIB(dib);

        QCOMPARE(tiffinfoCompressions(path), QStringList{scheme});
        TiffPageInfo info;
        QVERIFY(ReadTiffPageInfo(path, 0, info));
        QCOMPARE(info.compression, ourName);
        QCOMPARE(info.pages, 1);
        QCOMPARE(info.bits, ccitt ? 1 : 24);
        const QImage ours = ourDecode(path);
        QCOMPARE(maxDifference(ours, referencedecoder::decode(path)), 0);
        if (ccitt) {
            QVERIFY(ours.allGray());
            QCOMPARE(identify(path, "%[type]"), QString("Bilevel"));
        } else {
            QCOMPARE(maxDifference(ours, source), 0);
        }
    }

    void pngInterlace()
    {
        const QImage source = photo(45, 29, 9);
        GlobalHandle dib = dibOf(source, 24);
        const QString plain = m_dir.filePath("plain.png"), laced = m_dir.filePath("laced.png");
        QVERIFY(WritePngFileDib(plain, dib, 0, false));
        QVERIFY(WritePngFileDib(laced, dib, 0, true));
        FreeDIB(dib);
        // IHDR's interlace method: byte 28 of the file (PNG specification 11.2.2)
        QCOMPARE(int(readAll(plain).at(28)), 0);
        QCOMPARE(int(readAll(laced).at(28)), 1);
        QCOMPARE(identify(laced, "%[interlace]"), QString("PNG"));
        QCOMPARE(maxDifference(ourDecode(laced), source), 0);
        QCOMPARE(maxDifference(referencedecoder::decode(laced), source), 0);
    }

    // More than 256 colours get a palette made for the picture; fewer keep
    // theirs exactly.
    void gifPalettes()
    {
        const auto gif = [](const QString& path, GlobalHandle dib) { return WriteGifFileDib(path, dib, 0); };
        const QImage many = photo(64, 48, 11);
        const QString path = written(m_dir, "many.gif", many, gif);
        QVERIFY(!path.isEmpty());
        const int colours = identify(path, "%k").toInt();
        QVERIFY2(colours > 64 && colours <= 256, qPrintable(QString::number(colours)));
        const QImage ours = ourDecode(path);
        QCOMPARE(maxDifference(ours, referencedecoder::decode(path)), 0);
        const double quality = psnr(ours, many);
        qInfo("GIF of a photo-like picture: %d colours, PSNR %.1f dB", colours, quality);
        QVERIFY(quality > 28);

        const QImage few = blocks(64, 48, 37);
        const QString fewPath = written(m_dir, "few.gif", few, gif);
        QVERIFY(!fewPath.isEmpty());
        QCOMPARE(identify(fewPath, "%k").toInt(), 37);
        QCOMPARE(maxDifference(referencedecoder::decode(fewPath), few), 0);
    }

    // The wrapper writes raw TGA; the entry's first option asks for RLE.
    void tgaRunLengthPackets()
    {
        EngineModule engine;
        const auto write = engine.entry<writetgafiledib_fn>("writetgafiledib");
        QVERIFY(write);
        for (int bits : {8, 24}) {
            const QImage source = bits == 8 ? blocks(70, 20, 5) : photo(70, 20, 8);
            GlobalHandle dib = dibOf(source, bits);
            const QString raw = m_dir.filePath(QString("raw%1.tga").arg(bits));
            const QString rle = m_dir.filePath(QString("rle%1.tga").arg(bits));
            QCOMPARE(write(raw.toLocal8Bit().constData(), dib, 0, 0, 0, nullptr, nullptr, 0), short(1));
            QCOMPARE(write(rle.toLocal8Bit().constData(), dib, 0, 1, 0, nullptr, nullptr, 0), short(1));
            FreeDIB(dib);
            QCOMPARE(identify(rle, "%C"), QString("RLE"));
            QCOMPARE(identify(raw, "%C"), QString("None"));
            if (bits == 8)
                QVERIFY(QFileInfo(rle).size() < QFileInfo(raw).size());
            QCOMPARE(maxDifference(ourDecode(rle), source), 0);
            QCOMPARE(maxDifference(referencedecoder::decode(rle), source), 0);
        }
    }

    void operationTextNamesTheWrite()
    {
        GlobalHandle dib = dibOf(blocks(8, 8, 2), 1);
        const QString tif = m_dir.filePath("op.tif");
        QVERIFY(WriteTiffFileDib(tif, dib, 0, 1, false));
        QCOMPARE(OperationText(), "Writing " + tif);
        QVERIFY(WriteTiffFileDib(tif, dib, 0, 1, true));
        QCOMPARE(OperationText(), "Inserting " + tif);
        QVERIFY(WritePcxFileDib(m_dir.filePath("op.pcx"), dib, 0));
        QCOMPARE(OperationText(), "Writing " + m_dir.filePath("op.pcx"));
        QVERIFY(DeleteTiffPage(tif, 1));
        QCOMPARE(OperationText(), "Writing " + m_dir.filePath("op.pcx"));
        FreeDIB(dib);
    }

    // A write that fails or is stopped leaves no file and no temporary file;
    // an existing file stays as it was.
    void failedWritesLeaveNothing()
    {
        QTemporaryDir dir;
        const QImage source = photo(90, 70, 2);
        GlobalHandle dib = dibOf(source, 24);
        for (const QString ext : {"jpg", "png", "gif", "pcx", "tga", "tif"}) {
            const QString path = dir.filePath("stopped." + ext);
            StopAt stop{50, {}};
            bool ok = true;
            if (ext == "jpg")
                ok = WriteJpgFileDib(path, dib, 0, 75, 0, false, &stop, stopAt);
            else if (ext == "png")
                ok = WritePngFileDib(path, dib, 0, true, &stop, stopAt);
            else if (ext == "gif")
                ok = WriteGifFileDib(path, dib, 0, &stop, stopAt);
            else if (ext == "pcx")
                ok = WritePcxFileDib(path, dib, 0, &stop, stopAt);
            else if (ext == "tga")
                ok = WriteTgaFileDib(path, dib, 0, &stop, stopAt);
            else
                ok = WriteTiffFileDib(path, dib, 0, 5, false, &stop, stopAt);
            QVERIFY2(!ok, qPrintable(ext));
            QVERIFY2(stop.seen.contains(0) && stop.seen.last() >= 50, qPrintable(ext));
        }
        QCOMPARE(entries(dir.path()), QStringList());

        // the last report comes before the file takes its place
        const QString kept = dir.filePath("kept.png");
        QVERIFY(WritePngFileDib(kept, dib, 0, false));
        const QByteArray before = readAll(kept);
        StopAt late{100, {}};
        GlobalHandle other = dibOf(photo(90, 70, 3), 24);
        QVERIFY(!WritePngFileDib(kept, other, 0, false, &late, stopAt));
        QCOMPARE(late.seen.last(), 100);
        QCOMPARE(readAll(kept), before);
        QCOMPARE(entries(dir.path()), QStringList{"kept.png"});
        FreeDIB(other);
        FreeDIB(dib);
    }

    // DIB handles whose header lies, unknown TIFF codes and unwritable
    // places fail cleanly.
    void badInputFails()
    {
        QTemporaryDir dir;
        GlobalHandle dib = dibOf(photo(20, 10), 24);
        auto* header = static_cast<uchar*>(globalmem::lock(dib));
        qToLittleEndian<qint32>(100000, header + 8);  // height past the block
        globalmem::unlock(dib);
        QVERIFY(!WritePngFileDib(dir.filePath("lie.png"), dib, 0, false));
        QVERIFY(!WriteJpgFileDib(dir.filePath("lie.jpg"), dib, 0, 75, 0, false));
        QVERIFY(!WriteTiffFileDib(dir.filePath("lie.tif"), dib, 0, 1, false));
        QVERIFY(!WriteGifFileDib(dir.filePath("null.gif"), nullptr, 0));
        FreeDIB(dib);

        GlobalHandle good = dibOf(photo(20, 10), 24);
        QVERIFY(!WriteTiffFileDib(dir.filePath("code7.tif"), good, 0, 7, false));
        QVERIFY(!WritePcxFileDib(dir.filePath("no/such/folder.pcx"), good, 0));
        QVERIFY(!WriteTgaFileDib(dir.path(), good, 0));  // a folder in the way
        FreeDIB(good);
        QCOMPARE(entries(dir.path()), QStringList());
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(CodecWriteTest)
#include "tst_codecwrite.moc"
