// Cross-checks with independent implementations: libwmf (wmf2svg) reads
// our WMF files and draws real ones as we do; libEMF reads our EMF
// files' headers; one drawing as WMF and as EMF draws alike; real files
// of ../shared/corpus load at their listed sizes.

#include "libemfpictures.h"
#include "testpictures.h"

#include "codec/binding/tbitmap.h"
#include "codec/metafile/metafileconvert.h"
#include "codec/metafile/tmetafile.h"

#include <QDir>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kData = QStringLiteral(KV_TEST_DATA "/metafile/");
const QString kCorpus = QStringLiteral(KV_SOURCE_DIR "/../shared/corpus/");


QImage render(const TMetafile& mf)
{
    TBitmap b;
    return MetafileToBitmap(&b, &mf, false) ? b.image().convertToFormat(QImage::Format_RGB32) : QImage();
}


// The ink (anything not near white) of a picture, cut to where it lies
// and brought to 128 x 128: libwmf places and scales drawings in its own
// way and names colours, so the shapes are compared, not the placement.
QImage normalisedInk(const QImage& img)
{
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 235)
                box |= QRect(x, y, 1, 1);
    if (box.isEmpty())
        return {};
    return img.copy(box).scaled(128, 128, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).convertToFormat(QImage::Format_RGB32);
}

// The share of each picture's ink that has ink of the other within 2
// pixels; the smaller of the two.
double inkAgreement(const QImage& a, const QImage& b)
{
    const QImage x = normalisedInk(a), y = normalisedInk(b);
    if (x.isNull() || y.isNull())
        return 0;
    auto inkNear = [](const QImage& m, int px, int py) {
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx) {
                const int qx = px + dx, qy = py + dy;
                if (qx >= 0 && qy >= 0 && qx < m.width() && qy < m.height() && qGray(m.pixel(qx, qy)) < 235)
                    return true;
            }
        return false;
    };
    int inkX = 0, hitX = 0, inkY = 0, hitY = 0;
    for (int py = 0; py < 128; ++py)
        for (int px = 0; px < 128; ++px) {
            if (qGray(x.pixel(px, py)) < 235) {
                ++inkX;
                hitX += inkNear(y, px, py);
            }
            if (qGray(y.pixel(px, py)) < 235) {
                ++inkY;
                hitY += inkNear(x, px, py);
            }
        }
    return std::min(double(hitX) / std::max(1, inkX), double(hitY) / std::max(1, inkY));
}

struct Svg {
    QSize size;
    QImage image;     // the drawing at the size asked for
    QImage embedded;  // the first picture libwmf found in the records
};

// wmf2svg's drawing of a WMF at the given size; an empty result when the
// tool fails.
Svg libwmfDrawing(const QString& wmf, QSize at, const QString& folder)
{
    const QString svg = QDir(folder).filePath(QStringLiteral("libwmf.svg"));
    QProcess p;
    p.start(QStandardPaths::findExecutable(QStringLiteral("wmf2svg")),
            {QStringLiteral("--inline"), QStringLiteral("--maxwidth=32767"), QStringLiteral("--maxheight=32767"),
             QStringLiteral("-o"), svg, wmf});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    QFile f(svg);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray text = f.readAll();
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("<svg width=\"(\\d+)\" height=\"(\\d+)\"")).match(QString::fromUtf8(text));
    Svg out;
    if (m.hasMatch())
        out.size = QSize(m.captured(1).toInt(), m.captured(2).toInt());
    const QRegularExpressionMatch png =
        QRegularExpression(QStringLiteral("data:image/png;base64,([A-Za-z0-9+/=\\s]+)")).match(QString::fromUtf8(text));
    if (png.hasMatch())
        out.embedded = QImage::fromData(QByteArray::fromBase64(png.captured(1).remove(QRegularExpression(QStringLiteral("\\s"))).toLatin1()), "PNG");
    QSvgRenderer renderer(text);
    out.image = QImage(at, QImage::Format_RGB32);
    out.image.fill(Qt::white);
    QPainter painter(&out.image);
    renderer.render(&painter, QRectF(QPointF(0, 0), at));
    return out;
}

bool haveLibwmf()
{
    return !QStandardPaths::findExecutable(QStringLiteral("wmf2svg")).isEmpty();
}

struct CorpusEntry {
    QString path;
    QSize size;
};

QList<CorpusEntry> corpusMetafiles()
{
    QList<CorpusEntry> out;
    QFile f(kCorpus + QStringLiteral("manifest.tsv"));
    if (!f.open(QIODevice::ReadOnly))
        return out;
    while (!f.atEnd()) {
        const QStringList cols = QString::fromUtf8(f.readLine()).trimmed().split(QLatin1Char('\t'));
        if (cols.size() >= 10 && (cols[1] == QLatin1String("wmf") || cols[1] == QLatin1String("emf")) &&
            cols[9] == QLatin1String("valid"))
            out.append({cols[0], QSize(cols[2].toInt(), cols[3].toInt())});
    }
    return out;
}

}  // namespace

class TestMetafileCheck : public QObject {
    Q_OBJECT

private slots:
    void ourWmfReadByLibwmf()
    {
        if (!haveLibwmf())
            QSKIP("wmf2svg (libwmf-bin) is not installed");
        QTemporaryDir dir;
        const TBitmap original = testpictures::ramps(1000, 500);
        TMetafile mf;
        QVERIFY(BitmapToMetafile(&original, &mf, false));
        const QString path = dir.filePath(QStringLiteral("our.wmf"));
        QVERIFY(mf.SaveToFile(path));
        const Svg svg = libwmfDrawing(path, mf.Size(), dir.path());
        // libwmf measures the picture in its logical units: 847 x 423
        QCOMPARE(svg.size, QSize(847, 423));
        // and finds the picture in the record as it was
        QCOMPARE(svg.embedded.size(), QSize(1000, 500));
        QCOMPARE(svg.embedded.convertToFormat(QImage::Format_RGB32),
                 original.image().convertToFormat(QImage::Format_RGB32));
    }

    void realWmfAsLibwmfDrawsIt_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("horse.wmf") << kData + "horse.wmf";
        QTest::newRow("bus-classic.wmf") << kData + "bus-classic.wmf";
        for (const CorpusEntry& e : corpusMetafiles())
            if (e.path.endsWith(QLatin1String(".wmf")))
                QTest::newRow(qPrintable(e.path)) << kCorpus + e.path;
    }

    void realWmfAsLibwmfDrawsIt()
    {
        QFETCH(QString, path);
        if (!haveLibwmf())
            QSKIP("wmf2svg (libwmf-bin) is not installed");
        TMetafile mf;
        QVERIFY2(mf.LoadFromFile(path), qPrintable(mf.Error()));
        QTemporaryDir dir;
        const Svg svg = libwmfDrawing(path, mf.Size(), dir.path());
        QVERIFY(!svg.size.isEmpty());
        if (path.contains(QLatin1String("lo-base-icon")))
            QEXPECT_FAIL("", "libwmf draws this file's light fills as half-transparent dark ones", Continue);
        const double agreement = inkAgreement(render(mf), svg.image);
        QVERIFY2(agreement > 0.9, qPrintable(QString::number(agreement)));
    }

    // One drawing written by Inkscape as WMF and as EMF: both records
    // sets draw the same picture.
    void wmfAndEmfOfOneDrawingAgree()
    {
        TMetafile wmf, emf;
        QVERIFY(wmf.LoadFromFile(kData + "lo-base-icon.wmf"));
        QVERIFY(emf.LoadFromFile(kData + "lo-base-icon.emf"));
        QCOMPARE(wmf.Size(), QSize(128, 128));
        QCOMPARE(emf.Size(), QSize(128, 128));
        const double difference = testpictures::meanDifference(render(wmf), render(emf));
        QVERIFY2(difference < 8, qPrintable(QString::number(difference)));
    }

    void ourEmfReadByLibEmf()
    {
        QTemporaryDir dir;
        const TBitmap original = testpictures::ramps(300, 120);
        TMetafile mf;
        QVERIFY(BitmapToMetafile(&original, &mf, true));
        const QString path = dir.filePath(QStringLiteral("our.emf"));
        QVERIFY(mf.SaveToFile(path));
        const libemf::HeaderFacts facts = libemf::readHeader(path.toStdString());
        QVERIFY(facts.read);
        QCOMPARE(facts.bounds[2], 299);
        QCOMPARE(facts.bounds[3], 119);
        QCOMPARE(facts.frame[2], libemf::himetric(300));
        QCOMPARE(facts.frame[3], libemf::himetric(120));
        // a reference device of 96 dots per inch
        QCOMPARE(facts.device[0] * 254, facts.millimetres[0] * 960);
        QCOMPARE(facts.device[1] * 254, facts.millimetres[1] * 960);
    }

    void realEmfWithText()
    {
        TMetafile mf;
        QVERIFY2(mf.LoadFromFile(kData + "aircraft.emf"), qPrintable(mf.Error()));
        QCOMPARE(mf.Size(), QSize(727, 830));
        const QImage img = render(mf);
        // the credit lines right of the top view are text only
        int ink = 0;
        for (int y = 280; y < 380; ++y)
            for (int x = 500; x < 727; ++x)
                ink += qGray(img.pixel(x, y)) < 128;
        QVERIFY2(ink > 300, qPrintable(QString::number(ink)));
    }

    void corpusMetafilesAtTheirSizes_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        for (const CorpusEntry& e : corpusMetafiles())
            QTest::newRow(qPrintable(e.path)) << kCorpus + e.path << e.size;
    }

    void corpusMetafilesAtTheirSizes()
    {
        // without the corpus there are no rows, and no data to fetch
        if (!QDir(kCorpus).exists())
            QSKIP("no ../shared/corpus here");
        QFETCH(QString, path);
        QFETCH(QSize, size);
        TMetafile mf;
        QVERIFY2(mf.LoadFromFile(path), qPrintable(mf.Error()));
        QCOMPARE(mf.Size(), size);
        const QImage img = render(mf);
        QCOMPARE(img.size(), size);
        qint64 drawn = 0;
        for (int y = 0; y < img.height(); y += 2)
            for (int x = 0; x < img.width(); x += 2)
                drawn += img.pixel(x, y) != qRgb(255, 255, 255);
        QVERIFY2(drawn * 4 * 200 > qint64(size.width()) * size.height(), qPrintable(QString::number(drawn)));
    }
};

QTEST_MAIN(TestMetafileCheck)
#include "tst_metafilecheck.moc"
