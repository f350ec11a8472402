// TIFF page edits through the binding: delete, insert and append keep the
// other pages' pictures, and a failure made in the middle of an edit (the
// fileops fault hook at each progress report) leaves the file byte for byte
// as it was, with no temporary file beside it.

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

#include "codec/binding/codecwrappers.h"
#include "codec/binding/dibconvert.h"
#include "codec/binding/tiffnames.h"
#include "platform/fileops.h"
#include "referencedecoder.h"
#include "writertestkit.h"

using namespace writertestkit;

namespace {

// Three pages of different pictures, depths and compressions.
QList<QImage> threePictures()
{
    return {photo(40, 30, 1), blocks(33, 21, 16), blocks(50, 20, 2)};
}

bool writeThreePages(const QString& path, const QList<QImage>& pictures)
{
    const int depths[] = {24, 4, 1};
    const int codes[] = {TiffCompressionCode(sLZW), TiffCompressionCode(sPACKBITS), TiffCompressionCode(sFAXCCITT4)};
    for (int i = 0; i < 3; ++i) {
        GlobalHandle dib = dibOf(pictures[i], depths[i]);
        const bool ok = WriteTiffFileDib(path, dib, 0, codes[i], i > 0);
        FreeDIB(dib);
        if (!ok)
            return false;
    }
    return true;
}

int pageCount(const QString& path)
{
    TiffPageInfo info;
    return ReadTiffPageInfo(path, 0, info) ? info.pages : 0;
}

// Every page as our decoder and ImageMagick give it; they must agree.
QList<QImage> pagesOf(const QString& path)
{
    QList<QImage> pages;
    for (int p = 0; p < pageCount(path); ++p) {
        const QImage ours = ourDecode(path, p);
        if (maxDifference(ours, referencedecoder::decode(path, p)) != 0)
            return {};
        pages << ours;
    }
    return pages;
}

// The picture written through dibOf at bits, as a reader gives it back.
QImage asWritten(const QImage& picture)
{
    return picture.convertToFormat(QImage::Format_RGB888);
}

// "index-count" of every page's PageNumber field, as tiffinfo reads them.
QStringList tiffinfoPageNumbers(const QString& path)
{
    QStringList out;
    const QString text = QString::fromUtf8(run("tiffinfo", {path}));
    static const QRegularExpression number("Page Number: (\\d+-\\d+)");
    for (auto it = number.globalMatch(text); it.hasNext();)
        out << it.next().captured(1);
    return out;
}

// Makes the n-th fault check of a write to path fail; counts the checks.
struct FaultAt {
    QString path;
    int n = 0;
    int checks = 0;
    void install()
    {
        fileops::setFaultHook([this](fileops::Op op, const QString& p) {
            return op == fileops::Op::Write && p == path && ++checks == n;
        });
    }
};

}  // namespace

class CodecPagesTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { fileops::setFaultHook({}); }

    void deleteMiddlePage()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("three.tif");
        const QList<QImage> pictures = threePictures();
        QVERIFY(writeThreePages(path, pictures));
        QCOMPARE(pageCount(path), 3);
        const QList<QImage> before = pagesOf(path);
        QCOMPARE(before.size(), 3);
        QCOMPARE(maxDifference(before[0], asWritten(pictures[0])), 0);

        QVERIFY(DeleteTiffPage(path, 1));
        QCOMPARE(pageCount(path), 2);
        QCOMPARE(tiffinfoCompressions(path), (QStringList{"LZW", "CCITT Group 4"}));
        const QList<QImage> after = pagesOf(path);
        QCOMPARE(after.size(), 2);
        QCOMPARE(maxDifference(after[0], before[0]), 0);
        QCOMPARE(maxDifference(after[1], before[2]), 0);
        QCOMPARE(entries(dir.path()), QStringList{"three.tif"});
    }

    // A file of ImageMagick's making: the other pages keep their pictures.
    void deleteFromForeignFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("rose.tif");
        QVERIFY(QFile::copy(QStringLiteral(KV_TEST_DATA "/codec/rose-3pages.tif"), path));
        const QList<QImage> before = pagesOf(path);
        QCOMPARE(before.size(), 3);
        QCOMPARE(tiffinfoPageNumbers(path), (QStringList{"0-3", "1-3", "2-3"}));
        QVERIFY(DeleteTiffPage(path, 0));
        const QList<QImage> after = pagesOf(path);
        QCOMPARE(after.size(), 2);
        QCOMPARE(maxDifference(after[0], before[1]), 0);
        QCOMPARE(maxDifference(after[1], before[2]), 0);
        // the pages that stay name their new places (TIFF 6.0 PageNumber)
        QCOMPARE(tiffinfoPageNumbers(path), (QStringList{"0-2", "1-2"}));

        // a page put first moves the others' numbers on; it has none of its own
        GlobalHandle dib = dibOf(photo(12, 10, 3), 24);
        QVERIFY(WriteTiffFileDibPage(path, dib, 0, TiffCompressionCode(sNONE), 0));
        FreeDIB(dib);
        QCOMPARE(pageCount(path), 3);
        QCOMPARE(tiffinfoPageNumbers(path), (QStringList{"1-3", "2-3"}));
    }

    void insertShiftsTheOthers()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("three.tif");
        QVERIFY(writeThreePages(path, threePictures()));
        const QList<QImage> before = pagesOf(path);
        const QImage added = photo(25, 25, 9);
        GlobalHandle dib = dibOf(added, 24);

        // as page 1 (the first page): every other page moves one on
        QVERIFY(WriteTiffFileDibPage(path, dib, 0, TiffCompressionCode(sNONE), 0));
        QList<QImage> after = pagesOf(path);
        QCOMPARE(after.size(), 4);
        QCOMPARE(maxDifference(after[0], asWritten(added)), 0);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(maxDifference(after[i + 1], before[i]), 0);
        QCOMPARE(tiffinfoCompressions(path), (QStringList{"None", "LZW", "PackBits", "CCITT Group 4"}));

        // in the middle, and past the end (appended)
        QVERIFY(WriteTiffFileDibPage(path, dib, 8, TiffCompressionCode(sLZW), 2));
        QVERIFY(WriteTiffFileDibPage(path, dib, 0, TiffCompressionCode(sPACKBITS), 99));
        after = pagesOf(path);
        QCOMPARE(after.size(), 6);
        QCOMPARE(maxDifference(after[1], before[0]), 0);
        QVERIFY(psnr(after[2], added) > 20);
        QCOMPARE(maxDifference(after[3], before[1]), 0);
        QCOMPARE(maxDifference(after[5], asWritten(added)), 0);
        FreeDIB(dib);

        // a missing file is made with the page
        GlobalHandle small = dibOf(blocks(9, 9, 2), 1);
        const QString fresh = dir.filePath("fresh.tif");
        QVERIFY(WriteTiffFileDibPage(fresh, small, 0, TiffCompressionCode(sFAXCCITT3), 4));
        QCOMPARE(pageCount(fresh), 1);
        FreeDIB(small);
    }

    void refusedEdits()
    {
        QTemporaryDir dir;
        const QString one = dir.filePath("one.tif");
        GlobalHandle dib = dibOf(blocks(9, 9, 2), 1);
        QVERIFY(WriteTiffFileDib(one, dib, 0, 1, false));
        const QByteArray oneBytes = readAll(one);
        QVERIFY(!DeleteTiffPage(one, 0));  // the only page
        QVERIFY(!DeleteTiffPage(one, 1));
        QVERIFY(!DeleteTiffPage(one, -1));
        QVERIFY(!WriteTiffFileDibPage(one, dib, 0, 1, -1));
        QCOMPARE(readAll(one), oneBytes);

        // not a TIFF, or a directory chain that loops: left alone
        const QString png = dir.filePath("not.tif");
        QVERIFY(WritePngFileDib(png, dib, 0, false));
        const QByteArray pngBytes = readAll(png);
        QVERIFY(!WriteTiffFileDib(png, dib, 0, 1, true));
        QVERIFY(!DeleteTiffPage(png, 0));
        QCOMPARE(readAll(png), pngBytes);

        QByteArray loop = oneBytes;
        const quint32 first = qFromLittleEndian<quint32>(loop.constData() + 4);
        const quint16 count = qFromLittleEndian<quint16>(loop.constData() + first);
        qToLittleEndian<quint32>(first, loop.data() + first + 2 + 12 * count);
        const QString looped = dir.filePath("loop.tif");
        QFile f(looped);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(loop) == loop.size());
        f.close();
        QVERIFY(!WriteTiffFileDib(looped, dib, 0, 1, true));
        QVERIFY(!WriteTiffFileDibPage(looped, dib, 0, 1, 0));
        QCOMPARE(readAll(looped), loop);
        FreeDIB(dib);
        QCOMPARE(entries(dir.path()), (QStringList{"loop.tif", "not.tif", "one.tif"}));
    }

    // The fault hook fails the first, second, ... check of an edit until the
    // edit gets through. After every failure the file is byte-identical and
    // alone in its folder; the edit then succeeds as if nothing happened.
    void faultInTheMiddleKeepsTheOriginal_data()
    {
        QTest::addColumn<QString>("edit");
        QTest::newRow("delete") << "delete";
        QTest::newRow("insert") << "insert";
        QTest::newRow("append") << "append";
        QTest::newRow("replace") << "replace";
    }
    void faultInTheMiddleKeepsTheOriginal()
    {
        QFETCH(QString, edit);
        QTemporaryDir dir;
        const QString path = dir.filePath("three.tif");
        QVERIFY(writeThreePages(path, threePictures()));
        const QByteArray original = readAll(path);
        const QList<QImage> before = pagesOf(path);
        const QImage added = photo(64, 64, 4);
        GlobalHandle dib = dibOf(added, 24);
        auto attempt = [&] {
            if (edit == "delete")
                return DeleteTiffPage(path, 1);
            if (edit == "insert")
                return WriteTiffFileDibPage(path, dib, 0, TiffCompressionCode(sLZW), 0);
            return WriteTiffFileDib(path, dib, 0, TiffCompressionCode(sLZW), edit == "append");
        };

        FaultAt fault{path};
        fault.install();
        int failures = 0;
        for (fault.n = 1; fault.n < 200; ++fault.n) {
            fault.checks = 0;
            if (attempt())
                break;
            ++failures;
            QVERIFY2(readAll(path) == original, qPrintable(QString("changed after a fault at check %1").arg(fault.n)));
            QCOMPARE(entries(dir.path()), QStringList{"three.tif"});
        }
        fileops::setFaultHook({});
        FreeDIB(dib);
        qInfo("%s: failed at each of %d checks, then succeeded", qPrintable(edit), failures);
        QVERIFY(failures >= 3);  // the start, the page work and the file write

        const QList<QImage> after = pagesOf(path);
        QCOMPARE(entries(dir.path()), QStringList{"three.tif"});
        if (edit == "delete") {
            QCOMPARE(after.size(), 2);
            QCOMPARE(maxDifference(after[1], before[2]), 0);
        } else if (edit == "insert") {
            QCOMPARE(after.size(), 4);
            QCOMPARE(maxDifference(after[0], asWritten(added)), 0);
            QCOMPARE(maxDifference(after[3], before[2]), 0);
        } else if (edit == "append") {
            QCOMPARE(after.size(), 4);
            QCOMPARE(maxDifference(after[3], asWritten(added)), 0);
            QCOMPARE(maxDifference(after[0], before[0]), 0);
        } else {
            QCOMPARE(after.size(), 1);
            QCOMPARE(maxDifference(after[0], asWritten(added)), 0);
        }
    }
};

QTEST_MAIN(CodecPagesTest)
#include "tst_codecpages.moc"
