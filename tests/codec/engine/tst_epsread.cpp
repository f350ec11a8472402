// The EPS reader: real EPS files of the corpus at their bounding box size
// and as the `gs` program draws them, the previews when the PostScript
// cannot be drawn, and hostile files (damaged headers, endless programs,
// huge boxes, file access) that fail cleanly within bounded time.

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/wait.h>

#include "codec/engine/crde2001.h"
#include "dibimage.h"
#include "enginemodule.h"
#include "imagecompare.h"
#include "tst_epshelpers.h"

using namespace epstest;

namespace {

const QString kCorpus = QStringLiteral(KV_SOURCE_DIR "/../shared/corpus");

QByteArray plainEps(const QByteArray& box, const QByteArray& body)
{
    return "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: " + box + "\n%%EndComments\n" + body + "\n%%EOF\n";
}

struct ProgressLog {
    QList<int> seen;
    int stopAfter = -1;  // calls before answering stop; -1 never
};

int logProgress(int percent, void* sender)
{
    auto* log = static_cast<ProgressLog*>(sender);
    log->seen.append(percent);
    return log->stopAfter < 0 || log->seen.size() <= log->stopAfter ? 1 : 0;
}

}  // namespace

class EpsReadTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void corpusFilesHaveTheirBoxSizeAndLookAsGhostscriptDrawsThem();
    void rasterEpsFilesOfRealWritersGiveThePicture();
    void boundingBoxOriginIsMovedToTheCorner();
    void tiffPreviewServesWhenThePostScriptFails();
    void epsiPreviewServesWhenThePostScriptFails();
    void epsiPreviewOfARealToolMatchesItsDrawing();
    void requestedDepthIsDelivered();
    void damagedFilesFail_data();
    void damagedFilesFail();
    void truncatedRealFilesFailOrGiveTheWholePicture();
    void endlessProgramsEndWithinTheTimeLimit();
    void programsCannotTouchFiles();
    void programOutputStaysOutOfThePicture();
    void stopAnswerGivesNoPicture();
    void infoReportsTheBoundingBox();

private:
    struct Result {
        short code = 0;
        QImage image;
        int bits = 0;
    };
    Result readStream(const QByteArray& data, short bits = 0, ProgressLog* log = nullptr);

    EngineModule m_engine;
    QTemporaryDir m_dir;
    readepsfiledib_fn m_readFile = nullptr;
    readepsfiledibstream_fn m_readStream = nullptr;
    writetiffiledib_fn m_writeTiff = nullptr;
    fileinfo_fn m_fileInfo = nullptr;
    streaminfo_fn m_streamInfo = nullptr;
};

EpsReadTest::Result EpsReadTest::readStream(const QByteArray& data, short bits, ProgressLog* log)
{
    Result r;
    GlobalHandle dib = nullptr;
    r.code = m_readStream(data.constData(), data.size(), bits, 0, &dib, log, log ? logProgress : nullptr, 0);
    if (r.code > 0) {
        r.image = dibimage::toImage(dib).convertToFormat(QImage::Format_RGB888);
        r.bits = dibimage::bitCount(dib);
    } else if (dib) {
        r.code = -1;  // a failure must not hand out a picture
    }
    dibimage::release(dib);
    return r;
}

void EpsReadTest::initTestCase()
{
    QVERIFY2(m_engine.loaded(), qPrintable(m_engine.error()));
    QVERIFY(m_dir.isValid());
    m_readFile = m_engine.entry<readepsfiledib_fn>("readepsfiledib");
    m_readStream = m_engine.entry<readepsfiledibstream_fn>("readepsfiledibstream");
    m_writeTiff = m_engine.entry<writetiffiledib_fn>("writetiffiledib");
    m_fileInfo = m_engine.entry<fileinfo_fn>("fileinfo");
    m_streamInfo = m_engine.entry<streaminfo_fn>("streaminfo");
    QVERIFY(m_readFile && m_readStream && m_writeTiff && m_fileInfo && m_streamInfo);
    if (!haveGhostscript())
        QSKIP("the gs program is not installed");
}

void EpsReadTest::corpusFilesHaveTheirBoxSizeAndLookAsGhostscriptDrawsThem()
{
    QFile manifest(kCorpus + "/manifest.tsv");
    if (!manifest.open(QIODevice::ReadOnly))
        QSKIP("no corpus");
    int files = 0;
    while (!manifest.atEnd()) {
        const QStringList f = QString::fromUtf8(manifest.readLine()).trimmed().split('\t');
        if (f.size() < 4 || f[1] != "eps")
            continue;
        const QString path = kCorpus + "/" + f[0];
        GlobalHandle dib = nullptr;
        QElapsedTimer timer;
        timer.start();
        const short r = m_readFile(QFile::encodeName(path).constData(), 0, 0, &dib, nullptr, nullptr, nullptr, 0);
        const qint64 ms = timer.elapsed();
        const QImage ours = dibimage::toImage(dib).convertToFormat(QImage::Format_RGB888);
        dibimage::release(dib);
        QVERIFY2(r == 1, qPrintable(f[0]));
        QCOMPARE(ours.size(), QSize(f[2].toInt(), f[3].toInt()));
        const QImage reference = ghostscriptAtBox(path, m_dir.path(),
                                                  {"-dTextAlphaBits=4", "-dGraphicsAlphaBits=4", "-dNOINTERPOLATE"});
        QCOMPARE(reference.size(), ours.size());
        const ImageComparison c = compareImages(ours, reference);
        qInfo("%s: %dx%d in %lld ms, PSNR %.1f dB against gs", qPrintable(f[0]), ours.width(), ours.height(), ms,
              c.psnr);
        QVERIFY2(c.psnr > 30, qPrintable(f[0]));
        ++files;
    }
    QVERIFY(files >= 10);
}

void EpsReadTest::rasterEpsFilesOfRealWritersGiveThePicture()
{
    const QString data = QStringLiteral(KV_SOURCE_DIR "/tests/data/codec/");
    const QByteArray tiff = readAll(data + "rose-none.tif");
    GlobalHandle rose = nullptr;
    auto readTiff = m_engine.entry<readtiffiledibstream_fn>("readtiffiledibstream");
    QCOMPARE(readTiff(tiff.constData(), tiff.size(), 24, 0, 0, &rose, nullptr, nullptr, 0), short(1));
    const QImage original = dibimage::toImage(rose).convertToFormat(QImage::Format_RGB888);
    dibimage::release(rose);
    QCOMPARE(original.size(), QSize(35, 23));
    for (const char* name : {"rose-eps2.eps", "rose-epsi.eps", "rose-dos-tiff.eps", "rose-tiff2ps.eps"}) {
        const Result r = readStream(readAll(data + name));
        QVERIFY2(r.code == 1, name);
        QCOMPARE(r.image.size(), original.size());
        const ImageComparison c = compareImages(r.image, original);
        qInfo("%s: PSNR %.1f dB, largest difference %d", name, c.psnr, c.maxDifference);
        QVERIFY2(c.psnr > 40, name);
    }
}

void EpsReadTest::boundingBoxOriginIsMovedToTheCorner()
{
    // a red square at (100, 200)..(110, 205) inside a box with that corner,
    // on a white page
    const QByteArray eps = plainEps("100 200 120 210", "1 0 0 setrgbcolor 100 200 10 5 rectfill");
    const Result r = readStream(eps);
    QCOMPARE(r.code, short(1));
    QCOMPARE(r.image.size(), QSize(20, 10));
    QCOMPARE(r.image.pixel(0, 9), qRgb(255, 0, 0));   // bottom-left
    QCOMPARE(r.image.pixel(9, 5), qRgb(255, 0, 0));   // top row of the square
    QCOMPARE(r.image.pixel(9, 4), qRgb(255, 255, 255));
    QCOMPARE(r.image.pixel(10, 9), qRgb(255, 255, 255));
    // the box may also come from the trailer or the high-resolution comment
    QCOMPARE(readStream(plainEps("(atend)", "%%Trailer\n%%BoundingBox: 0 0 7 3")).image.size(), QSize(7, 3));
    const QByteArray hiRes = "%!PS-Adobe-3.0 EPSF-3.0\n%%HiResBoundingBox: 0.5 0 6.2 3\n%%EndComments\n";
    QCOMPARE(readStream(hiRes).image.size(), QSize(7, 3));
}

void EpsReadTest::tiffPreviewServesWhenThePostScriptFails()
{
    GlobalHandle dib = noiseDib(24, 18, 9);
    const QImage original = dibimage::toImage(dib).convertToFormat(QImage::Format_RGB888);
    const QString tiffPath = m_dir.filePath("preview.tif");
    QCOMPARE(m_writeTiff(QFile::encodeName(tiffPath).constData(), dib, 24, 5, 0, nullptr, nullptr, 0), short(1));
    dibimage::release(dib);
    const QByteArray broken = plainEps("0 0 24 18", "this_operator_does_not_exist");
    const Result r = readStream(dosEps(broken, readAll(tiffPath)));
    QCOMPARE(r.code, short(1));
    QCOMPARE(compareImages(r.image, original).maxDifference, 0);
    // without a preview the same PostScript fails
    QCOMPARE(readStream(dosEps(broken, {})).code, short(0));
    QCOMPARE(readStream(broken).code, short(0));
}

void EpsReadTest::epsiPreviewServesWhenThePostScriptFails()
{
    // 10 x 3 at 1 bit (0 white, 1 black) and 4 x 2 at 8 bits
    const QByteArray mono = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 10 3\n%%EndComments\n"
                            "%%BeginPreview: 10 3 1 3\n% FFC0\n% 8040\n% 0000\n%%EndPreview\n"
                            "this_operator_does_not_exist\n";
    Result r = readStream(mono);
    QCOMPARE(r.code, short(1));
    QCOMPARE(r.image.size(), QSize(10, 3));
    QCOMPARE(r.bits, 1);
    QCOMPARE(r.image.pixel(0, 0), qRgb(0, 0, 0));
    QCOMPARE(r.image.pixel(9, 0), qRgb(0, 0, 0));
    QCOMPARE(r.image.pixel(1, 1), qRgb(255, 255, 255));
    QCOMPARE(r.image.pixel(9, 1), qRgb(0, 0, 0));
    QCOMPARE(r.image.pixel(5, 2), qRgb(255, 255, 255));
    const QByteArray grey = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 4 2\n%%EndComments\n"
                            "%%BeginPreview: 4 2 8 2\n%00FF8040\n%10203040\n%%EndPreview\nquit_now_please\n";
    r = readStream(grey);
    QCOMPARE(r.code, short(1));
    QCOMPARE(r.image.pixel(0, 0), qRgb(255, 255, 255));
    QCOMPARE(r.image.pixel(1, 0), qRgb(0, 0, 0));
    QCOMPARE(r.image.pixel(2, 0), qRgb(127, 127, 127));
    // a preview with too few rows or a bad digit is no preview
    QCOMPARE(readStream(QByteArray(mono).replace("% 0000\n", "")).code, short(0));
    QCOMPARE(readStream(QByteArray(mono).replace("% 8040", "% 80G0")).code, short(0));
}

void EpsReadTest::epsiPreviewOfARealToolMatchesItsDrawing()
{
    const QByteArray file = readAll(kCorpus + "/eps/derived--mobius-epsi.eps");
    if (file.isEmpty())
        QSKIP("no corpus");
    const Result drawn = readStream(file);
    // an error at the end spoils the drawing, so the preview is shown
    const Result preview = readStream(file + "\nthis_operator_does_not_exist\n");
    QCOMPARE(drawn.code, short(1));
    QCOMPARE(preview.code, short(1));
    QCOMPARE(preview.bits, 1);
    QCOMPARE(preview.image.size(), drawn.image.size());
    int same = 0, dark = 0;
    for (int y = 0; y < drawn.image.height(); ++y)
        for (int x = 0; x < drawn.image.width(); ++x) {
            const bool drawnDark = qGray(drawn.image.pixel(x, y)) < 128;
            same += drawnDark == (qGray(preview.image.pixel(x, y)) < 128);
            dark += drawnDark;
        }
    const int total = drawn.image.width() * drawn.image.height();
    qInfo("EPSI preview agrees with the drawing on %d of %d pixels (%d dark)", same, total, dark);
    QVERIFY(dark > total / 50);
    QVERIFY(same > total * 99 / 100);
}

void EpsReadTest::requestedDepthIsDelivered()
{
    const QByteArray eps = plainEps("0 0 30 20", "0.2 0.4 0.9 setrgbcolor 0 0 15 20 rectfill");
    for (short bits : {short(1), short(4), short(8), short(24)}) {
        const Result r = readStream(eps, bits);
        QCOMPARE(r.code, short(1));
        QCOMPARE(r.bits, int(bits));
        QCOMPARE(r.image.size(), QSize(30, 20));
    }
    QCOMPARE(readStream(eps, 0).bits, 24);
}

void EpsReadTest::damagedFilesFail_data()
{
    QTest::addColumn<QByteArray>("data");
    const QByteArray good = plainEps("0 0 10 10", "0 0 5 5 rectfill");
    QTest::newRow("empty box") << plainEps("0 0 0 10", "");
    QTest::newRow("inverted box") << plainEps("10 10 0 0", "");
    QTest::newRow("box of 100000 x 100000") << plainEps("0 0 100000 100000", "");
    QTest::newRow("box over the pixel limit") << plainEps("0 0 20000 20000", "");
    QTest::newRow("box with words") << plainEps("0 0 ten 10", "");
    QTest::newRow("no box") << QByteArray("%!PS-Adobe-3.0 EPSF-3.0\n%%EndComments\n0 0 5 5 rectfill\n");
    QTest::newRow("atend without trailer") << plainEps("(atend)", "");
    QTest::newRow("garbage") << QByteArray("\x01\x02garbage that is no PostScript at all\xff\xfe", 40);
    QTest::newRow("only the signature") << QByteArray("%!");
    QTest::newRow("DOS header alone") << QByteArray("\xC5\xD0\xD3\xC6", 4);
    QByteArray pastEnd = dosEps(good, {});
    qToLittleEndian<quint32>(quint32(pastEnd.size()), pastEnd.data() + 4);
    QTest::newRow("DOS section starting past the end") << pastEnd;
    QByteArray tooLong = dosEps(good, {});
    qToLittleEndian<quint32>(0xFFFFFFF0u, tooLong.data() + 8);
    QTest::newRow("DOS section longer than the file") << tooLong;
    QByteArray inHeader = dosEps(good, {});
    qToLittleEndian<quint32>(4, inHeader.data() + 4);
    QTest::newRow("DOS section inside the header") << inHeader;
    QByteArray wrapped = dosEps(plainEps("0 0 10 10", "undefined_thing"), "II*\0garbage");
    qToLittleEndian<quint32>(0xFFFFFFFFu, wrapped.data() + 20);
    QTest::newRow("DOS TIFF offset wrapping around") << wrapped;
    QTest::newRow("DOS TIFF preview of garbage") << dosEps(plainEps("0 0 10 10", "undefined_thing"), "II*\0xxxxxxxx");
    QTest::newRow("truncated image data") << plainEps("0 0 10 10", "10 10 8 [10 0 0 10 0 0] currentfile image\n00");
    QTest::newRow("unterminated procedure") << plainEps("0 0 10 10", "{ 0 0 5 5 rectfill");
    QTest::newRow("memory without end") << plainEps("0 0 10 10", "/a [] def {/a [a 1000000 array] def} loop");
    QTest::newRow("stack without end") << plainEps("0 0 10 10", "/f {1 f} def f");
}

void EpsReadTest::damagedFilesFail()
{
    QFETCH(QByteArray, data);
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(readStream(data).code, short(0));
    qInfo("failed after %lld ms", timer.elapsed());
    // and every prefix of a real file fails or gives a picture, never more
    if (QTest::currentDataTag() == QByteArray("garbage")) {
        const QByteArray good = plainEps("0 0 10 10", "0 0 5 5 rectfill");
        for (int n = 0; n < good.size(); n += 7)
            QVERIFY(readStream(good.left(n)).code >= 0);
    }
}

void EpsReadTest::truncatedRealFilesFailOrGiveTheWholePicture()
{
    const QString data = QStringLiteral(KV_SOURCE_DIR "/tests/data/codec/");
    for (const char* name : {"rose-dos-tiff.eps", "rose-eps2.eps"}) {
        const QByteArray file = readAll(data + name);
        QVERIFY(!file.isEmpty());
        int pictures = 0;
        for (int part = 1; part < 8; ++part) {
            const Result r = readStream(file.left(file.size() * part / 8));
            QVERIFY2(r.code >= 0, name);
            if (r.code == 1) {
                QCOMPARE(r.image.size(), QSize(35, 23));
                ++pictures;
            }
        }
        qInfo("%s: %d of 7 truncated copies still gave a picture", name, pictures);
    }
    // a DOS file cut inside its PostScript section has no section left
    const QByteArray dos = readAll(data + "rose-dos-tiff.eps");
    QCOMPARE(readStream(dos.left(40)).code, short(0));
}

void EpsReadTest::endlessProgramsEndWithinTheTimeLimit()
{
    qputenv("GLIMRA_EPS_SECONDS", "2");
    QElapsedTimer timer;
    timer.start();
    const Result r = readStream(plainEps("0 0 50 50", "{} loop"));
    const qint64 ms = timer.elapsed();
    qunsetenv("GLIMRA_EPS_SECONDS");
    QCOMPARE(r.code, short(0));
    qInfo("endless loop stopped after %lld ms", ms);
    QVERIFY(ms >= 1900 && ms < 8000);
}

void EpsReadTest::programsCannotTouchFiles()
{
    const QString victim = m_dir.filePath("victim.txt");
    QVERIFY(writeAll(victim, "untouched"));
    const QString made = m_dir.filePath("made.txt");
    const QByteArray body = "(" + QFile::encodeName(made) + ") (w) file closefile\n(" + QFile::encodeName(victim) +
                            ") deletefile\n0 0 5 5 rectfill";
    QCOMPARE(readStream(plainEps("0 0 10 10", body)).code, short(0));
    QVERIFY(!QFile::exists(made));
    QCOMPARE(readAll(victim), QByteArray("untouched"));
    // reading another file or starting a program fails as well
    const QByteArray peek = "(" + QFile::encodeName(victim) + ") (r) file pop 0 0 5 5 rectfill";
    QCOMPARE(readStream(plainEps("0 0 10 10", peek)).code, short(0));
    const QString started = m_dir.filePath("started.txt");
    const QByteArray pipe = "(%pipe%touch " + QFile::encodeName(started) + ") (w) file closefile 0 0 5 5 rectfill";
    QCOMPARE(readStream(plainEps("0 0 10 10", pipe)).code, short(0));
    QVERIFY(!QFile::exists(started));
}

void EpsReadTest::programOutputStaysOutOfThePicture()
{
    // text printed by the program looks like a picture header, but goes nowhere
    const QByteArray body = "(P6\n1 1\n255\nxyz) print flush (%stdout) (w) file (P6 9 9 255 ) writestring\n"
                            "0 1 0 setrgbcolor 0 0 4 3 rectfill";
    const Result r = readStream(plainEps("0 0 4 3", body));
    QCOMPARE(r.code, short(1));
    QCOMPARE(r.image.size(), QSize(4, 3));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            QCOMPARE(r.image.pixel(x, y), qRgb(0, 255, 0));
}

void EpsReadTest::stopAnswerGivesNoPicture()
{
    const QByteArray eps = plainEps("0 0 40 40", "0 0 20 20 rectfill");
    ProgressLog all;
    const Result done = readStream(eps, 0, &all);
    QCOMPARE(done.code, short(1));
    QCOMPARE(all.seen.first(), 0);
    QCOMPARE(all.seen.last(), 100);
    for (int stopAfter : {0, 1, 2}) {
        ProgressLog log;
        log.stopAfter = stopAfter;
        QCOMPARE(readStream(eps, 0, &log).code, short(0));
    }
    // a stop reaches an endless program long before the time limit; the
    // interpreter's process and its temporary folder are gone afterwards
    QTemporaryDir temp;
    const QByteArray oldTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(temp.path()));
    ProgressLog endless;
    endless.stopAfter = 5;
    QElapsedTimer timer;
    timer.start();
    const short code = readStream(plainEps("0 0 40 40", "{} loop"), 0, &endless).code;
    const qint64 ms = timer.elapsed();
    qputenv("TMPDIR", oldTemp);
    QCOMPARE(code, short(0));
    QVERIFY2(ms < 5000, qPrintable(QString::number(ms)));
    QCOMPARE(waitpid(-1, nullptr, WNOHANG), pid_t(-1));
    QCOMPARE(QDir(temp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

void EpsReadTest::infoReportsTheBoundingBox()
{
    const QString path = m_dir.filePath("info.eps");
    QVERIFY(writeAll(path, dosEps(plainEps("-5 10 300 211", "0 0 5 5 rectfill"), {})));
    char type[16] = {}, compression[16] = {};
    int width = 0, height = 0, colours = -1;
    short bits = 0, planes = 0;
    QCOMPARE(m_fileInfo(QFile::encodeName(path).constData(), type, sizeof type, &width, &height, &bits, &planes,
                        &colours, compression, sizeof compression),
             short(1));
    QCOMPARE(QByteArray(type), QByteArray("EPS"));
    QCOMPARE(QSize(width, height), QSize(305, 201));
    QCOMPARE(bits, short(24));
    const QByteArray data = plainEps("0 0 12 34", "");
    QCOMPARE(m_streamInfo(data.constData(), data.size(), type, sizeof type, compression, sizeof compression,
                          &colours, &planes, &bits, &height, &width),
             short(1));
    QCOMPARE(QSize(width, height), QSize(12, 34));
    const QByteArray noBox = "%!PS-Adobe-3.0 EPSF-3.0\n";
    QCOMPARE(m_streamInfo(noBox.constData(), noBox.size(), type, sizeof type, compression, sizeof compression,
                          &colours, &planes, &bits, &height, &width),
             short(0));
}

QTEST_GUILESS_MAIN(EpsReadTest)
#include "tst_epsread.moc"
