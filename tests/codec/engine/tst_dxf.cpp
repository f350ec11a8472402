// DXF drawings: hand-written drawings of known geometry checked pixel by
// pixel, files written by ezdxf, the own and requested sizes, layers and
// colours, a million entities, the stop answer and hostile files.

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

#include "codec/engine/crde2001.h"
#include "dibimage.h"
#include "enginemodule.h"

namespace {

using Pairs = QList<QPair<int, QByteArray>>;

QByteArray pairs(const Pairs& list, const char* newline = "\n")
{
    QByteArray out;
    for (const auto& p : list)
        out += QByteArray::number(p.first) + newline + p.second + newline;
    return out;
}

QByteArray num(double v)
{
    return QByteArray::number(v, 'g', 17);
}

QByteArray line(double x0, double y0, double x1, double y1, int colour = 256, const QByteArray& layer = "0")
{
    return pairs({{0, "LINE"}, {8, layer}, {62, QByteArray::number(colour)}, {10, num(x0)}, {20, num(y0)},
                  {11, num(x1)}, {21, num(y1)}});
}

QByteArray lwpolyline(const QList<QPointF>& pts, bool closed)
{
    Pairs p{{0, "LWPOLYLINE"}, {8, "0"}, {90, QByteArray::number(pts.size())}, {70, closed ? "1" : "0"}};
    for (const QPointF& pt : pts)
        p << qMakePair(10, num(pt.x())) << qMakePair(20, num(pt.y()));
    return pairs(p);
}

QByteArray frame()
{
    return lwpolyline({{0, 0}, {100, 0}, {100, 100}, {0, 100}}, true);
}

QByteArray block(const QByteArray& name, double baseX, double baseY, const QByteArray& entities)
{
    return pairs({{0, "BLOCK"}, {8, "0"}, {2, name}, {70, "0"}, {10, num(baseX)}, {20, num(baseY)}, {3, name}}) +
           entities + pairs({{0, "ENDBLK"}, {8, "0"}});
}

QByteArray insert(const QByteArray& name, double x, double y, double sx = 1, double sy = 1, double rotation = 0)
{
    return pairs({{0, "INSERT"}, {8, "0"}, {2, name}, {10, num(x)}, {20, num(y)}, {41, num(sx)}, {42, num(sy)},
                  {50, num(rotation)}});
}

QByteArray drawing(const QByteArray& entities, const QByteArray& header = {}, const QByteArray& tables = {},
                   const QByteArray& blocks = {})
{
    QByteArray out;
    if (!blocks.isEmpty())
        out += "0\nSECTION\n2\nBLOCKS\n" + blocks + "0\nENDSEC\n";
    if (!header.isEmpty())
        out += "0\nSECTION\n2\nHEADER\n" + header + "0\nENDSEC\n";
    if (!tables.isEmpty())
        out += "0\nSECTION\n2\nTABLES\n" + tables + "0\nENDSEC\n";
    return out + "0\nSECTION\n2\nENTITIES\n" + entities + "0\nENDSEC\n0\nEOF\n";
}

bool isWhite(QRgb c)
{
    return (c & 0xFFFFFF) == 0xFFFFFF;
}

bool isBlack(QRgb c)
{
    return (c & 0xFFFFFF) == 0;
}

// The frame square of drawing units 0..100 as found in the picture.
struct Frame {
    int left = -1, right = -1, top = -1, bottom = -1;
    bool valid() const { return left >= 0 && right > left && bottom > top; }
    double px(double x) const { return left + x * (right - left) / 100.0; }
    double py(double y) const { return bottom - y * (bottom - top) / 100.0; }
    bool onEdge(int x, int y) const
    {
        return std::abs(x - left) <= 1 || std::abs(x - right) <= 1 || std::abs(y - top) <= 1 ||
               std::abs(y - bottom) <= 1;
    }
};

int blackInRow(const QImage& img, int y)
{
    int n = 0;
    for (int x = 0; x < img.width(); ++x)
        n += isBlack(img.pixel(x, y));
    return n;
}

int blackInColumn(const QImage& img, int x)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        n += isBlack(img.pixel(x, y));
    return n;
}

// Rows and columns that are mostly black.
Frame findFrame(const QImage& img)
{
    Frame f;
    for (int y = 0; y < img.height(); ++y) {
        if (blackInRow(img, y) > img.width() / 2) {
            f.top = f.top < 0 ? y : f.top;
            f.bottom = y;
        }
    }
    for (int x = 0; x < img.width(); ++x) {
        if (blackInColumn(img, x) > img.height() / 2) {
            f.left = f.left < 0 ? x : f.left;
            f.right = x;
        }
    }
    return f;
}

int stopAtOnce(int percent, void*)
{
    return percent == 0 ? 1 : 0;
}

QList<int> g_progress;
int recordProgress(int percent, void*)
{
    g_progress.append(percent);
    return 1;
}

}  // namespace

class DxfTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void horizontalLineLandsOnItsRow();
    void circleLiesOnItsRadius();
    void arcsRunCounterClockwise();
    void textDrawsInsideItsBox();
    void everyPrintableCharacterDraws();
    void polylinesCloseOnlyWhenFlagged();
    void coloursAndLayers();
    void ownAndRequestedSizes();
    void lineEndsAndHeaderExtents();
    void filesWrittenByEzdxf();
    void hostileFilesFailCleanly();
    void badEntitiesAreLeftOut();
    void blocksArePlaced();
    void blockBombsAreRefused();
    void millionEntitiesFinish();
    void endlessDrawingWorkIsRefused();

private:
    QString write(const QByteArray& data);
    QImage render(const QByteArray& data, int width, int height, short* result = nullptr,
                  ProgressCallback cb = nullptr);
    QImage renderFile(const QString& path, int width, int height, short* result = nullptr,
                      ProgressCallback cb = nullptr);
    bool info(const QByteArray& data, int& width, int& height, short& bits);

    EngineModule m_engine;
    readdxftoddb_fn m_read = nullptr;
    getdxfinfo_fn m_info = nullptr;
    QTemporaryDir m_dir;
    int m_files = 0;
};

void DxfTest::initTestCase()
{
    QVERIFY2(m_engine.loaded(), qPrintable(m_engine.error()));
    m_read = m_engine.entry<readdxftoddb_fn>("readdxftoddb");
    m_info = m_engine.entry<getdxfinfo_fn>("getdxfinfo");
    QVERIFY(m_read && m_info);
    QVERIFY(m_dir.isValid());
}

QString DxfTest::write(const QByteArray& data)
{
    const QString path = m_dir.filePath(QString("d%1.dxf").arg(m_files++));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
        return {};
    return path;
}

QImage DxfTest::renderFile(const QString& path, int width, int height, short* result, ProgressCallback cb)
{
    GlobalHandle bitmap = nullptr, palette = reinterpret_cast<GlobalHandle>(1);
    const short r = m_read(QFile::encodeName(path).constData(), width, height, &bitmap, &palette, nullptr, cb, 0);
    if (result)
        *result = r;
    const QImage img = dibimage::toImage(bitmap);
    if (bitmap && dibimage::bitCount(bitmap) != 24)
        return {};
    dibimage::release(bitmap);
    if (palette != nullptr)  // a 24-bit bitmap comes without a palette
        return {};
    if (r > 0 && img.isNull())
        return {};
    return img.convertToFormat(QImage::Format_RGB32);
}

QImage DxfTest::render(const QByteArray& data, int width, int height, short* result, ProgressCallback cb)
{
    return renderFile(write(data), width, height, result, cb);
}

bool DxfTest::info(const QByteArray& data, int& width, int& height, short& bits)
{
    return m_info(QFile::encodeName(write(data)).constData(), &width, &height, &bits) > 0;
}

void DxfTest::horizontalLineLandsOnItsRow()
{
    const QImage img = render(drawing(frame() + line(0, 25, 100, 25)), 201, 201);
    QCOMPARE(img.size(), QSize(201, 201));
    const Frame f = findFrame(img);
    QVERIFY(f.valid());
    QVERIFY(std::abs((f.right - f.left) - (f.bottom - f.top)) <= 1);  // square stays square
    QVERIFY(f.left > 0 && f.top > 0 && f.right < 200 && f.bottom < 200);  // a margin on every side
    int lineRow = -1, longRows = 0;
    for (int y = f.top + 2; y < f.bottom - 1; ++y) {
        if (blackInRow(img, y) > (f.right - f.left) * 9 / 10)
            lineRow = y, ++longRows;
    }
    QCOMPARE(longRows, 1);
    // y points up: a quarter of the way up from the bottom edge
    QVERIFY2(std::abs(lineRow - f.py(25)) <= 1.0, qPrintable(QString("row %1, %2").arg(lineRow).arg(f.py(25))));
    for (int x = f.left; x <= f.right; ++x)
        QVERIFY(isBlack(img.pixel(x, lineRow)));
}

void DxfTest::circleLiesOnItsRadius()
{
    const QByteArray circle = pairs({{0, "CIRCLE"}, {8, "0"}, {62, "1"}, {10, "50"}, {20, "50"}, {40, "40"}});
    const QImage img = render(drawing(frame() + circle), 401, 401);
    const Frame f = findFrame(img);
    QVERIFY(f.valid());
    const double cx = f.px(50), cy = f.py(50), r = (f.right - f.left) * 0.4;
    int red = 0, quadrants[4] = {0, 0, 0, 0};
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y);
            if (isWhite(c) || (isBlack(c) && f.onEdge(x, y)))
                continue;
            QCOMPARE(c & 0xFFFFFF, QRgb(0xFF0000));
            const double d = std::hypot(x - cx, y - cy);
            QVERIFY2(std::abs(d - r) <= 1.5, qPrintable(QString("(%1, %2) at %3, radius %4").arg(x).arg(y).arg(d).arg(r)));
            ++red;
            ++quadrants[(x >= cx ? 1 : 0) + (y >= cy ? 2 : 0)];
        }
    }
    QVERIFY2(red >= 5 * r, qPrintable(QString::number(red)));
    for (int q : quadrants)
        QVERIFY(q > r);
}

void DxfTest::arcsRunCounterClockwise()
{
    auto arc = [](double start, double end) {
        return pairs({{0, "ARC"}, {8, "0"}, {62, "5"}, {10, "50"}, {20, "50"}, {40, "40"}, {50, num(start)},
                      {51, num(end)}});
    };
    struct Case {
        double start, end;
        bool quadrant[4];  // upper right, upper left, lower left, lower right
    } cases[] = {{0, 90, {true, false, false, false}},
                 {90, 0, {false, true, true, true}},
                 {180, 270, {false, false, true, false}},
                 {-90, 0, {false, false, false, true}}};
    for (const Case& k : cases) {
        const QImage img = render(drawing(frame() + arc(k.start, k.end)), 301, 301);
        const Frame f = findFrame(img);
        QVERIFY(f.valid());
        const double cx = f.px(50), cy = f.py(50);
        int found[4] = {0, 0, 0, 0};
        for (int y = 0; y < img.height(); ++y) {
            for (int x = 0; x < img.width(); ++x) {
                if ((img.pixel(x, y) & 0xFFFFFF) != 0x0000FF)
                    continue;
                // pixels within two of an axis belong to both sides
                if (std::abs(x - cx) < 2 || std::abs(y - cy) < 2)
                    continue;
                const bool right = x > cx, up = y < cy;
                ++found[up ? (right ? 0 : 1) : (right ? 3 : 2)];
            }
        }
        for (int q = 0; q < 4; ++q)
            QVERIFY2((found[q] > 10) == k.quadrant[q],
                     qPrintable(QString("arc %1..%2, quadrant %3: %4").arg(k.start).arg(k.end).arg(q).arg(found[q])));
    }
}

void DxfTest::textDrawsInsideItsBox()
{
    struct Case {
        double rotation;
        QRectF box;  // in drawing units
    } cases[] = {{0, QRectF(10, 10, 2 * 20 - 20.0 / 3, 20)}, {90, QRectF(50 - 20, 10, 20, 2 * 20 - 20.0 / 3)}};
    for (const Case& k : cases) {
        const QByteArray text = pairs({{0, "TEXT"}, {8, "0"}, {62, "3"}, {10, "10"}, {20, "10"}, {40, "20"},
                                       {50, num(k.rotation)}, {1, "HI"}});
        QByteArray moved = text;
        if (k.rotation != 0)
            moved.replace("10\n10\n20\n10\n", "10\n50\n20\n10\n");
        const QImage img = render(drawing(frame() + moved), 401, 401);
        const Frame f = findFrame(img);
        QVERIFY(f.valid());
        const double x0 = f.px(k.box.left()) - 1.5, x1 = f.px(k.box.right()) + 1.5;
        const double y0 = f.py(k.box.bottom()) - 1.5, y1 = f.py(k.box.top()) + 1.5;
        int green = 0;
        for (int y = 0; y < img.height(); ++y) {
            for (int x = 0; x < img.width(); ++x) {
                if ((img.pixel(x, y) & 0xFFFFFF) != 0x00FF00)
                    continue;
                ++green;
                QVERIFY2(x >= x0 && x <= x1 && y >= y0 && y <= y1,
                         qPrintable(QString("rotation %1: (%2, %3)").arg(k.rotation).arg(x).arg(y)));
            }
        }
        QVERIFY(green > 100);
    }
}

void DxfTest::everyPrintableCharacterDraws()
{
    QByteArray entities = frame();
    for (int c = 33; c < 127; ++c) {
        const int i = c - 33, col = i % 10, row = i / 10;
        entities += pairs({{0, "TEXT"}, {8, "0"}, {10, num(col * 10 + 2)}, {20, num(92 - row * 10)},
                           {40, "6"}, {1, QByteArray(1, char(c))}});
    }
    const QImage img = render(drawing(entities), 501, 501);
    const Frame f = findFrame(img);
    QVERIFY(f.valid());
    for (int c = 33; c < 127; ++c) {
        const int i = c - 33, col = i % 10, row = i / 10;
        const int x0 = int(f.px(col * 10 + 1)), x1 = int(f.px(col * 10 + 9));
        const int y0 = int(f.py(100 - row * 10 - 1)), y1 = int(f.py(100 - row * 10 - 9));
        int ink = 0;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                ink += isBlack(img.pixel(x, y));
        QVERIFY2(ink >= 4, qPrintable(QString("'%1' drew %2 pixels").arg(QChar(c)).arg(ink)));
    }
}

void DxfTest::polylinesCloseOnlyWhenFlagged()
{
    const QList<QPointF> triangle{{0, 0}, {100, 0}, {100, 100}};
    auto polyline = [&](bool closed) {
        QByteArray out = pairs({{0, "POLYLINE"}, {8, "0"}, {66, "1"}, {70, closed ? "1" : "0"}});
        for (const QPointF& p : triangle)
            out += pairs({{0, "VERTEX"}, {8, "0"}, {10, num(p.x())}, {20, num(p.y())}});
        return out + pairs({{0, "SEQEND"}, {8, "0"}});
    };
    const QByteArray variants[4] = {lwpolyline(triangle, false), lwpolyline(triangle, true), polyline(false),
                                    polyline(true)};
    for (int v = 0; v < 4; ++v) {
        const QImage img = render(drawing(variants[v]), 201, 201);
        QVERIFY(!img.isNull());
        // the closing edge runs along the diagonal; its middle is the picture's centre
        int ink = 0;
        for (int d = -1; d <= 1; ++d)
            ink += isBlack(img.pixel(100 + d, 100)) + isBlack(img.pixel(100, 100 + d));
        QCOMPARE(ink > 0, v % 2 == 1);
    }
}

void DxfTest::coloursAndLayers()
{
    const QByteArray tables =
        pairs({{0, "TABLE"}, {2, "LAYER"}, {70, "2"}, {0, "LAYER"}, {2, "ROT"}, {70, "0"}, {62, "1"},
               {0, "LAYER"}, {2, "AUS"}, {70, "0"}, {62, "-3"}, {0, "ENDTAB"}});
    struct Case {
        int colour;
        QByteArray layer;
        QRgb expected;  // 0xFFFFFF: not drawn
    } cases[] = {{256, "ROT", 0xFF0000}, {256, "AUS", 0xFFFFFF}, {256, "NEU", 0x000000}, {5, "ROT", 0x0000FF},
                 {3, "0", 0x00FF00},     {7, "0", 0x000000},     {0, "0", 0x000000},     {200, "0", 0x000000}};
    for (const Case& k : cases) {
        const QImage img =
            render(drawing(frame() + line(0, 50, 100, 50, k.colour, k.layer), {}, tables), 101, 101);
        QVERIFY(!img.isNull());
        const Frame f = findFrame(img);
        QCOMPARE(img.pixel(50, int(std::lround(f.py(50)))) & 0xFFFFFF, k.expected);
    }
}

void DxfTest::ownAndRequestedSizes()
{
    const QByteArray wide = drawing(line(0, 0, 200, 100));
    int w = 0, h = 0;
    short bits = 0;
    QVERIFY(info(wide, w, h, bits));
    QCOMPARE(QSize(w, h), QSize(1024, 512));
    QCOMPARE(bits, short(24));
    QCOMPARE(render(wide, 0, 0).size(), QSize(1024, 512));
    QCOMPARE(render(wide, 300, 0).size(), QSize(300, 150));
    QCOMPARE(render(wide, 0, 100).size(), QSize(200, 100));
    QCOMPARE(render(wide, 50, 400).size(), QSize(50, 400));
    QVERIFY(info(drawing(line(0, 0, 1, 3)), w, h, bits));
    QCOMPARE(QSize(w, h), QSize(341, 1024));
    // a flat drawing keeps a usable height
    QVERIFY(info(drawing(line(0, 0, 1000, 0)), w, h, bits));
    QCOMPARE(QSize(w, h), QSize(1024, 16));
    short result = 1;
    QVERIFY(render(wide, -5, 10, &result).isNull());
    QCOMPARE(result, short(0));
    // over the pixel limit
    QVERIFY(render(wide, 100000, 100000, &result).isNull());
    QCOMPARE(result, short(0));
}

void DxfTest::lineEndsAndHeaderExtents()
{
    const QByteArray entities = frame() + line(0, 30, 100, 70);
    const QImage lf = render(drawing(entities), 151, 151);
    QVERIFY(!lf.isNull());
    QByteArray crlf = drawing(entities);
    crlf.replace("\n", "\r\n");
    QCOMPARE(render(crlf, 151, 151), lf);

    auto header = [](double x0, double y0, double x1, double y1) {
        return pairs({{9, "$EXTMIN"}, {10, num(x0)}, {20, num(y0)}, {9, "$EXTMAX"}, {10, num(x1)}, {20, num(y1)}});
    };
    // larger overlapping extents shrink the drawing: the frame is a third of them
    const QImage wider = render(drawing(entities, header(-100, -100, 200, 200)), 151, 151);
    int ink = 0, left = 151, right = -1;
    for (int y = 0; y < 151; ++y)
        for (int x = 0; x < 151; ++x)
            if (isBlack(wider.pixel(x, y)))
                ++ink, left = std::min(left, x), right = std::max(right, x);
    QVERIFY(ink > 0);
    QVERIFY2(std::abs((right - left) - (151 - 2 * 3 - 1) / 3.0) <= 2.0, qPrintable(QString::number(right - left)));
    // stale extents apart from every entity, and the 1e20/-1e20 of an empty header, are ignored
    QCOMPARE(render(drawing(entities, header(1e5, 1e5, 1e5 + 1, 1e5 + 1)), 151, 151), lf);
    QCOMPARE(render(drawing(entities, header(1e20, 1e20, -1e20, -1e20)), 151, 151), lf);
}

void DxfTest::filesWrittenByEzdxf()
{
    const QString r12 = QStringLiteral(KV_TEST_DATA "/codec/ezdxf-r12.dxf");
    const QString r2000 = QStringLiteral(KV_TEST_DATA "/codec/ezdxf-r2000.dxf");
    int w = 0, h = 0;
    short bits = 0;
    QVERIFY(m_info(QFile::encodeName(r12).constData(), &w, &h, &bits) > 0);
    // lines from (0, 0) to (200, 0) and (0, 100): 200 x 100 units
    QCOMPARE(QSize(w, h), QSize(1024, 512));
    const QImage a = renderFile(r12, 0, 0);
    const QImage b = renderFile(r2000, 0, 0);
    QCOMPARE(a.size(), QSize(1024, 512));
    // POLYLINE in R12, LWPOLYLINE in R2000: the same picture
    QCOMPARE(a, b);
    int red = 0, blue = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            red += (a.pixel(x, y) & 0xFFFFFF) == 0xFF0000;
            blue += (a.pixel(x, y) & 0xFFFFFF) == 0x0000FF;
        }
    }
    QVERIFY(red > 500 && blue > 100);
    // the base line runs along the bottom margin, the upright one along the left
    int bottom = -1, leftColumn = -1;
    for (int y = a.height() - 1; y >= 0 && bottom < 0; --y)
        if (blackInRow(a, y) > 900)
            bottom = y;
    for (int x = 0; x < a.width() && leftColumn < 0; ++x)
        if (blackInColumn(a, x) > 400)
            leftColumn = x;
    QVERIFY2(bottom > a.height() * 9 / 10 && leftColumn >= 0 && leftColumn < a.width() / 10,
             qPrintable(QString("bottom row %1, left column %2").arg(bottom).arg(leftColumn)));
}

void DxfTest::hostileFilesFailCleanly()
{
    const QByteArray good = drawing(frame());
    QRandomGenerator rng(11);
    QByteArray garbage(20000, '\0');
    for (char& c : garbage)
        c = char(rng.bounded(256));
    QByteArray truncated = good;
    truncated.chop(4);  // "EOF\n" goes: the last pair has no value
    const QByteArray noEndsec = "0\nSECTION\n2\nENTITIES\n" + frame();
    const QByteArray binary = QByteArray("AutoCAD Binary DXF\r\n\x1a\0", 22) + garbage.left(200);
    const QByteArray longLine = drawing(frame() + pairs({{0, "TEXT"}, {10, "1"}, {20, "1"}, {1, QByteArray(5000, 'A')}}));
    const QByteArray noNewline = "0\nSECTION\n2\nENTITIES\n0\nLINE\n10\n" + QByteArray(3 << 20, '1');
    const QByteArray badCode = "0\nSECTION\n2\nENTITIES\nzero\nLINE\n0\nENDSEC\n0\nEOF\n";
    const QByteArray nothing = drawing(QByteArray());
    const QByteArray onlyHeader = "0\nSECTION\n2\nHEADER\n9\n$EXTMIN\n10\n0\n20\n0\n0\nENDSEC\n0\nEOF\n";
    const QByteArray notSection = "0\nLINE\n10\n0\n20\n0\n11\n1\n21\n1\n0\nEOF\n";
    const QByteArray cases[] = {QByteArray(), garbage, truncated, noEndsec, binary, longLine,
                                noNewline,    badCode, nothing,   onlyHeader, notSection};
    for (const QByteArray& data : cases) {
        short result = 1;
        QVERIFY(render(data, 0, 0, &result).isNull());
        QCOMPARE(result, short(0));
        int w = 0, h = 0;
        short bits = 0;
        QVERIFY(!info(data, w, h, bits));
    }
    QVERIFY(!render(good, 0, 0).isNull());
    // a text line just under the limit is fine
    QVERIFY(!render(drawing(frame() + pairs({{0, "TEXT"}, {10, "1"}, {20, "1"}, {1, QByteArray(4000, 'A')}})), 200, 200)
                 .isNull());
    // a missing file and null out-parameters
    GlobalHandle bitmap = nullptr;
    QCOMPARE(m_read(QFile::encodeName(m_dir.filePath("missing.dxf")).constData(), 0, 0, &bitmap, nullptr, nullptr,
                    nullptr, 0),
             short(0));
    QVERIFY(bitmap == nullptr);
    QCOMPARE(m_read(QFile::encodeName(write(good)).constData(), 0, 0, nullptr, nullptr, nullptr, nullptr, 0),
             short(0));
    QVERIFY(m_info(QFile::encodeName(write(good)).constData(), nullptr, nullptr, nullptr) > 0);
}

void DxfTest::badEntitiesAreLeftOut()
{
    const QByteArray bad = line(0, 0, qQNaN(), 5) + line(0, 0, qInf(), 1) + line(-1e300, 0, 1e300, 0) +
                           pairs({{0, "LINE"}, {10, "x"}, {20, "0"}, {11, "1"}, {21, "1"}}) +
                           pairs({{0, "CIRCLE"}, {10, "50"}, {20, "50"}, {40, "-4"}}) +
                           pairs({{0, "CIRCLE"}, {10, "50"}, {20, "50"}, {40, "nan"}}) +
                           pairs({{0, "ARC"}, {10, "50"}, {20, "50"}, {40, "5"}, {50, "inf"}, {51, "1e308"}});
    // none of them changes the picture of the frame
    const QImage plain = render(drawing(frame()), 121, 121);
    QVERIFY(!plain.isNull());
    QCOMPARE(render(drawing(frame() + bad), 121, 121), plain);
    // only bad entities: nothing to draw
    short result = 1;
    QVERIFY(render(drawing(bad), 0, 0, &result).isNull());
    QCOMPARE(result, short(0));
    // a giant circle around a small frame finishes and holds the frame as a dot
    QElapsedTimer timer;
    timer.start();
    const QByteArray giant = pairs({{0, "CIRCLE"}, {10, "0"}, {20, "0"}, {40, "1e11"}});
    const QImage big = render(drawing(frame() + giant), 0, 0, &result);
    QVERIFY(result > 0 && !big.isNull());
    QVERIFY(timer.elapsed() < 20000);
    // a circle far larger than its header extents is clipped, not traced
    const QByteArray header = pairs({{9, "$EXTMIN"}, {10, "0"}, {20, "0"}, {9, "$EXTMAX"}, {10, "100"}, {20, "100"}});
    const QImage clipped =
        render(drawing(frame() + pairs({{0, "CIRCLE"}, {10, "50"}, {20, "50"}, {40, "1e9"}}), header), 301, 301);
    QVERIFY(!clipped.isNull());
}

void DxfTest::millionEntitiesFinish()
{
    // a frame makes the extents square
    QByteArray entities = lwpolyline({{0, 0}, {1010, 0}, {1010, 1010}, {0, 1010}}, true);
    entities.reserve(1000000 * 48);
    QRandomGenerator rng(3);
    for (int i = 0; i < 1000000; ++i) {
        const int x = int(rng.bounded(1000)), y = int(rng.bounded(1000));
        entities += "0\nLINE\n8\n0\n10\n" + QByteArray::number(x) + "\n20\n" + QByteArray::number(y) + "\n11\n" +
                    QByteArray::number(x + 3) + "\n21\n" + QByteArray::number(y + 2) + "\n";
    }
    const QString path = write(drawing(entities));
    QElapsedTimer timer;
    timer.start();
    g_progress.clear();
    short result = 0;
    const QImage img = renderFile(path, 0, 0, &result, recordProgress);
    const qint64 elapsed = timer.elapsed();
    qInfo("1000000 lines: %lld ms", elapsed);
    QVERIFY(result > 0);
    QCOMPARE(img.size(), QSize(1024, 1024));
    QVERIFY(elapsed < 120000);
    QVERIFY(g_progress.size() > 10);
    QCOMPARE(g_progress.first(), 0);
    QCOMPARE(g_progress.last(), 100);
    QVERIFY(std::is_sorted(g_progress.begin(), g_progress.end()));
    // a stop answer ends it early with no picture
    timer.restart();
    QVERIFY(renderFile(path, 0, 0, &result, stopAtOnce).isNull());
    QCOMPARE(result, short(0));
    qInfo("stopped after %lld ms", timer.elapsed());
}

void DxfTest::endlessDrawingWorkIsRefused()
{
    // 20000 circles filling the picture: about 60 million pixels over 8
    // million segments, more than a drawing may cost
    QByteArray entities;
    for (int i = 0; i < 20000; ++i)
        entities += pairs({{0, "CIRCLE"}, {10, num(i % 7)}, {20, num(i % 5)}, {40, "100"}});
    QElapsedTimer timer;
    timer.start();
    short result = 1;
    QVERIFY(render(drawing(entities), 0, 0, &result).isNull());
    QCOMPARE(result, short(0));
    qInfo("refused after %lld ms", timer.elapsed());
    QVERIFY(timer.elapsed() < 60000);
    // a tenth of them is drawn
    entities.truncate(entities.indexOf("0\nCIRCLE", entities.size() / 10));
    QVERIFY(!render(drawing(entities), 0, 0, &result).isNull());
    QVERIFY(result > 0);
}

void DxfTest::blocksArePlaced()
{
    // a tick from the base point to the right, and a red ring round it
    const QByteArray tick = block("TICK", 5, 5,
                                  line(5, 5, 15, 5) +
                                      pairs({{0, "CIRCLE"}, {8, "0"}, {62, "1"}, {10, "5"}, {20, "5"}, {40, "2"}}));
    // placed at (50, 50), three times the size, a quarter turn: the tick points up
    const QImage turned = render(drawing(frame() + insert("TICK", 50, 50, 3, 3, 90), {}, {}, tick), 401, 401);
    Frame f = findFrame(turned);
    QVERIFY(f.valid());
    const int column = int(std::lround(f.px(50)));
    for (double y = 58; y <= 79; y += 0.5)
        QVERIFY2(isBlack(turned.pixel(column, int(std::lround(f.py(y))))), qPrintable(QString::number(y)));
    QVERIFY(isWhite(turned.pixel(int(std::lround(f.px(70))), int(std::lround(f.py(50))))));
    int red = 0;
    for (int y = 0; y < turned.height(); ++y) {
        for (int x = 0; x < turned.width(); ++x) {
            if ((turned.pixel(x, y) & 0xFFFFFF) != 0xFF0000)
                continue;
            ++red;
            const double d = std::hypot(x - f.px(50), y - f.py(50));
            QVERIFY2(std::abs(d - 6 * (f.right - f.left) / 100.0) <= 1.5, qPrintable(QString::number(d)));
        }
    }
    QVERIFY(red > 50);

    // stretched twice as wide: the ring becomes an ellipse
    const QImage wide = render(drawing(frame() + insert("TICK", 50, 50, 4, 2), {}, {}, tick), 401, 401);
    f = findFrame(wide);
    const double scale = (f.right - f.left) / 100.0;
    red = 0;
    for (int y = 0; y < wide.height(); ++y) {
        for (int x = 0; x < wide.width(); ++x) {
            if ((wide.pixel(x, y) & 0xFFFFFF) != 0xFF0000)
                continue;
            ++red;
            const double ex = (x - f.px(50)) / (8 * scale), ey = (y - f.py(50)) / (4 * scale);
            QVERIFY2(std::abs(std::hypot(ex, ey) - 1) < 0.1, qPrintable(QString("(%1, %2)").arg(x).arg(y)));
        }
    }
    QVERIFY(red > 50);

    // nested: OUTER places TICK 20 units to the right of its own base
    const QByteArray outer = block("OUTER", 0, 0, insert("TICK", 20, 0));
    const QImage nested =
        render(drawing(frame() + insert("OUTER", 10, 50) + insert("NOWHERE", 0, 0), {}, {}, tick + outer), 201, 201);
    f = findFrame(nested);
    QVERIFY(isBlack(nested.pixel(int(std::lround(f.px(35))), int(std::lround(f.py(50))))));
    QVERIFY(isWhite(nested.pixel(int(std::lround(f.px(45))), int(std::lround(f.py(50))))));
}

void DxfTest::blockBombsAreRefused()
{
    // ten levels of ten placements each: ten billion lines
    QByteArray blocks = block("L9", 0, 0, line(0, 0, 1, 1));
    for (int level = 8; level >= 0; --level) {
        QByteArray placements;
        for (int i = 0; i < 10; ++i)
            placements += insert("L" + QByteArray::number(level + 1), i, 0);
        blocks += block("L" + QByteArray::number(level), 0, 0, placements);
    }
    QElapsedTimer timer;
    timer.start();
    short result = 1;
    QVERIFY(render(drawing(frame() + insert("L0", 0, 0), {}, {}, blocks), 0, 0, &result).isNull());
    QCOMPARE(result, short(0));
    qInfo("ten billion placements refused after %lld ms", timer.elapsed());
    QVERIFY(timer.elapsed() < 60000);
    // one long text placed 20000 times: 80 MB of characters
    const QByteArray text = block("T", 0, 0, pairs({{0, "TEXT"}, {10, "0"}, {20, "0"}, {40, "1"}, {1, QByteArray(4000, 'x')}}));
    QByteArray placements;
    for (int i = 0; i < 20000; ++i)
        placements += insert("T", 0, i);
    QVERIFY(render(drawing(placements, {}, {}, text), 0, 0, &result).isNull());
    QCOMPARE(result, short(0));
    placements.truncate(placements.indexOf("0\nINSERT", placements.size() / 10));
    QVERIFY(!render(drawing(placements, {}, {}, text), 64, 64, &result).isNull());
    // a block placing itself stops at the nesting limit
    const QByteArray self = block("SELF", 0, 0, line(0, 0, 1, 0) + insert("SELF", 1, 0));
    const QImage chain = render(drawing(insert("SELF", 0, 0), {}, {}, self), 0, 0, &result);
    QVERIFY(result > 0);
    QCOMPARE(chain.size(), QSize(1024, 16));  // 17 copies side by side, one unit each
}

QTEST_GUILESS_MAIN(DxfTest)
#include "tst_dxf.moc"
