// Every reader of the engine on the shared corpus of real and damaged
// pictures. Valid files must agree with the reference; damaged ones must fail
// cleanly. By default a sample keeps the run short; KV_CORPUS_FULL=1 tries
// every file and prints a summary per format.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QtTest>

#include "dibimage.h"
#include "enginecalls.h"
#include "enginemodule.h"
#include "imagecompare.h"
#include "referencedecoder.h"

namespace {

struct CorpusFile {
    QString path;  // relative to the corpus folder
    QString format;
    QString category;
    qint64 bytes = 0;
};

bool engineReads(const QString& path)
{
    static const QStringList exts = {"jpg", "jpeg", "png", "gif", "bmp", "dib", "pcx", "tga", "tif", "tiff"};
    return exts.contains(QFileInfo(path).suffix().toLower());
}

bool lossy(const QString& format)
{
    return format == "jpeg";
}

struct Tally {
    int files = 0, decoded = 0, agree = 0;
};

}  // namespace

class EngineCorpusTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void validFilesAgreeWithImageMagick();
    void damagedFilesFailCleanly();

private:
    QList<CorpusFile> select(bool valid) const;
    QString checkPicture(const CorpusFile& f, int page, Tally& tally);

    QString m_root;
    QList<CorpusFile> m_files;
    bool m_full = false;
    EngineModule m_engine;
};

void EngineCorpusTest::initTestCase()
{
    m_root = QDir::cleanPath(QStringLiteral(KV_SOURCE_DIR) + "/../shared/corpus");
    QFile manifest(m_root + "/manifest.tsv");
    if (!manifest.open(QIODevice::ReadOnly))
        QSKIP("the shared corpus is not here");
    QVERIFY2(m_engine.loaded(), qPrintable(m_engine.error()));
    m_full = qEnvironmentVariableIntValue("KV_CORPUS_FULL") == 1;
    const QList<QByteArray> lines = manifest.readAll().split('\n');
    for (int i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> cols = lines[i].split('\t');
        if (cols.size() < 10)
            continue;
        CorpusFile f{QString::fromUtf8(cols[0]), QString::fromUtf8(cols[1]), QString::fromUtf8(cols[9]),
                     cols[6].toLongLong()};
        if (engineReads(f.path))
            m_files.append(f);
    }
    QVERIFY(!m_files.isEmpty());
}

// A short sample by default: per format, up to four files of at most 160 KB.
QList<CorpusFile> EngineCorpusTest::select(bool valid) const
{
    QList<CorpusFile> out;
    QMap<QString, int> perFormat;
    for (const CorpusFile& f : m_files) {
        if ((f.category == "valid") != valid)
            continue;
        if (!m_full && valid && (f.bytes > 160 * 1024 || perFormat[f.format] >= 4))
            continue;
        ++perFormat[f.format];
        out.append(f);
    }
    return out;
}

// Empty when the picture decodes and agrees; else what went wrong.
QString EngineCorpusTest::checkPicture(const CorpusFile& f, int page, Tally& tally)
{
    const QString path = m_root + "/" + f.path;
    const QString where = QString("%1 page %2").arg(f.path).arg(page);
    enginecalls::Decoded full = enginecalls::decodeFile(m_engine, path, page, 24);
    if (full.result <= 0)
        return where + (full.dib ? ": failure left a picture" : ": not decoded");
    ++tally.decoded;
    const QImage ours = dibimage::toImage(full.dib);
    dibimage::release(full.dib);
    if (ours.isNull())
        return where + ": malformed DIB";

    // the memory decoder gives the same picture
    enginecalls::Decoded stream = enginecalls::decodeStream(m_engine, path, page, 24);
    const QImage fromMemory = dibimage::toImage(stream.dib);
    dibimage::release(stream.dib);
    if (stream.result <= 0 || fromMemory != ours)
        return where + ": the memory decoder differs";

    // the picture's own depth keeps every colour
    enginecalls::Decoded natural = enginecalls::decodeFile(m_engine, path, page, 0);
    const int bits = dibimage::bitCount(natural.dib);
    const QImage own = dibimage::toImage(natural.dib);
    dibimage::release(natural.dib);
    if (natural.result <= 0 || (bits != 1 && bits != 4 && bits != 8 && bits != 24) || own != ours)
        return where + QString(": own depth (%1 bits) differs").arg(bits);

    if (!referencedecoder::available(path)) {
        ++tally.agree;
        return {};
    }
    const QImage reference = referencedecoder::decode(path, page);
    if (reference.isNull())
        return where + ": the reference decoder cannot read it";
    const ImageComparison c = compareImages(ours, reference);
    const bool agree = c.sameSize && (lossy(f.format) ? c.psnr >= 45.0 : c.maxDifference <= 1);
    if (!agree)
        return QString("%1: differs from the reference (size %2, max %3, %4 dB)")
            .arg(where, c.sameSize ? "same" : "differs")
            .arg(c.maxDifference)
            .arg(c.psnr, 0, 'f', 1);
    ++tally.agree;
    return {};
}

void EngineCorpusTest::validFilesAgreeWithImageMagick()
{
    QMap<QString, Tally> tallies;
    QStringList problems;
    for (const CorpusFile& f : select(true)) {
        Tally& t = tallies[f.format];
        const int pages = enginecalls::pageCount(m_engine, m_root + "/" + f.path);
        if (pages < 1) {
            problems << f.path + ": no page count";
            continue;
        }
        for (int page = 0; page < pages; ++page) {
            ++t.files;
            const QString problem = checkPicture(f, page, t);
            if (!problem.isEmpty())
                problems << problem;
        }
    }
    for (auto it = tallies.cbegin(); it != tallies.cend(); ++it)
        qInfo("%s: %d pictures, %d decoded, %d agree with the reference", qPrintable(it.key()), it->files,
              it->decoded, it->agree);
    for (const QString& p : problems)
        qInfo("  %s", qPrintable(p));
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join("; ")));
}

// Damaged files must be refused, except those that still hold a whole
// picture: TIFF files a validator rejects but libtiff reads, a multi-page
// TIFF cut inside its last page (whose directory is lost with it), a PNG cut
// inside its end chunk after complete image data, a progressive JPEG that
// ends properly after its first scans and the complete PNG that renders it
// (the pair is a decoder test's input and expected output). Those may
// decode, but only to a
// well-formed picture, and a TIFF page past the last one never does.
void EngineCorpusTest::damagedFilesFailCleanly()
{
    const QStringList wholePicture = {"multipage-truncated-in-page2.tif", "invalid-trunc.png",
                                      "video-001.progressive.truncated.jpeg",
                                      "video-001.progressive.truncated.png"};
    for (const CorpusFile& f : select(false)) {
        const QString path = m_root + "/" + f.path;
        const bool unusable = !f.path.contains("checkit-tiff") &&
                              std::none_of(wholePicture.begin(), wholePicture.end(),
                                           [&](const QString& name) { return f.path.endsWith(name); });
        const bool tiff = f.path.endsWith(".tif") || f.path.endsWith(".tiff");
        const int pages = std::max(1, enginecalls::pageCount(m_engine, path));
        for (int page = 0; page < pages + (tiff ? 1 : 0); ++page) {
            QElapsedTimer timer;
            timer.start();
            enginecalls::Decoded d = enginecalls::decodeFile(m_engine, path, page, 24);
            QVERIFY2(d.entryFound, qPrintable(f.path));
            if (d.result > 0) {
                QVERIFY2(!dibimage::toImage(d.dib).isNull(), qPrintable(f.path + ": malformed DIB"));
                dibimage::release(d.dib);
            } else {
                QVERIFY2(!d.dib, qPrintable(f.path + ": failure left a picture"));
            }
            qInfo("%s page %d (%s): %s in %lld ms", qPrintable(f.path), page, qPrintable(f.category),
                  d.result > 0 ? "decoded" : "refused", timer.elapsed());
            if (unusable || page == pages)
                QVERIFY2(d.result <= 0, qPrintable(QString("%1 page %2 was accepted").arg(f.path).arg(page)));
        }
    }
}

QTEST_GUILESS_MAIN(EngineCorpusTest)
#include "tst_enginecorpus.moc"
