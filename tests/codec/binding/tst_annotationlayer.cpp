// The annotation layer of the codec module through the binding: ".ant"
// files round-trip every object kind, pages are inserted and removed with
// renumbering, hostile files load nothing and are never written over, files
// are written through a rename and never through a link, and burning in
// matches drawing at zoom 1.

#include "codec/binding/annotationcalls.h"
#include "codec/binding/codecmodule.h"
#include "codec/binding/errorinvalid.h"
#include "codec/binding/tbitmap.h"
#include "codec/engine/annotationformat.h"
#include "platform/fileops.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using annotation::Kind;
using annotation::Object;
using annotationformat::Pages;

namespace {

Object objectOf(Kind kind, std::vector<annotation::Point> points)
{
    Object o;
    o.kind = kind;
    o.points = std::move(points);
    o.penWidth = 1 + int(kind) % 5;
    o.penStyle = int(kind) % 5;
    o.foreColor = 0x0000FF | (unsigned(kind) << 16);
    o.backColor = 0x00FFFF;
    o.opaque = int(kind) % 2 == 0;
    o.hatch = int(kind) % 7;
    return o;
}

// One object of every kind, each with something of its own.
std::vector<Object> everyKind()
{
    std::vector<Object> all;
    all.push_back(objectOf(Kind::PolyLine, {{5, 5}, {40, 10}, {20, 30}}));
    all.push_back(objectOf(Kind::Ellipse, {{10, 40}, {50, 70}}));
    all.push_back(objectOf(Kind::Rectangle, {{60, 5}, {90, 25}}));
    all.push_back(objectOf(Kind::Polygon, {{60, 40}, {90, 45}, {75, 70}}));
    all.push_back(objectOf(Kind::Pointer, {{100, 10}, {140, 40}}));
    Object note = objectOf(Kind::Notes, {{100, 50}, {150, 90}});
    note.text = "Notiz über Größe";
    note.fontName = "DejaVu Sans";
    note.fontHeight = 11;
    all.push_back(note);
    Object label = objectOf(Kind::Label, {{5, 80}, {60, 110}});
    label.text = "Marke ✓";
    label.fontBackColor = 0x8000FF;
    all.push_back(label);
    all.push_back(objectOf(Kind::Line, {{-3, 100}, {20, 120}}));
    all.push_back(objectOf(Kind::Hilite, {{70, 80}, {95, 110}}));
    Object stamp = objectOf(Kind::RubberStamp, {{100, 95}, {150, 118}});
    stamp.text = "GEPRÜFT";
    all.push_back(stamp);
    all.push_back(objectOf(Kind::Freehand, {{2, 2}}));
    Object picture = objectOf(Kind::Image, {{120, 100}, {123, 103}});
    picture.imageWidth = 2;
    picture.imageHeight = 2;
    picture.imagePixels = {0, 0, 255, 255, 0, 255, 0, 255, 255, 0, 0, 255, 9, 9, 9, 255};
    picture.iconic = true;
    all.push_back(picture);
    return all;
}

// A red rectangle with a solid pen 3 wide and no fill.
Object solidRect()
{
    Object o = objectOf(Kind::Rectangle, {{60, 5}, {90, 25}});
    o.penWidth = 3;
    o.penStyle = annotation::psSolid;
    o.opaque = false;
    o.foreColor = 0x0000FF;
    return o;
}

bool writeBytes(const QString& path, const std::vector<std::uint8_t>& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           f.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) == qint64(bytes.size());
}

bool writePages(const QString& path, const Pages& pages)
{
    return writeBytes(path, annotationformat::serialize(pages));
}

std::optional<Pages> readPages(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = f.readAll();
    return annotationformat::parse(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size()));
}

QByteArray contentOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void putU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
}

}  // namespace

class TestAnnotationLayer : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    annotationcalls::Scratch* layer_ = nullptr;

    QString path(const char* name) const { return dir_.filePath(QLatin1String(name)); }
    void* key() { return layer_->key(); }

private slots:
    void init()
    {
        QVERIFY(dir_.isValid());
        layer_ = new annotationcalls::Scratch;
    }
    void cleanup()
    {
        delete layer_;
        layer_ = nullptr;
        fileops::setFaultHook({});
    }

    void everyKindRoundTripsThroughAFile()
    {
        const std::vector<Object> all = everyKind();
        for (const Object& o : all)
            QVERIFY2(annotationformat::writable(o), annotation::kindName(o.kind));
        QVERIFY(writePages(path("in.ant"), {{3, all}}));

        QVERIFY(annotationcalls::Load(key(), 3, path("in.ant")));
        QCOMPARE(annotationcalls::Count(key()), int(all.size()));
        QVERIFY(annotationcalls::Save(key(), 0, path("out.ant")));
        const std::optional<Pages> back = readPages(path("out.ant"));
        QVERIFY(back);
        QCOMPARE(back->size(), std::size_t(1));
        QVERIFY(back->count(0));
        const std::vector<Object>& read = back->at(0);
        QCOMPARE(read.size(), all.size());
        for (std::size_t i = 0; i < all.size(); ++i)
            QVERIFY2(read[i] == all[i], annotation::kindName(all[i].kind));

        // a page the file does not hold loads as none
        QVERIFY(annotationcalls::Load(key(), 1, path("in.ant")));
        QCOMPARE(annotationcalls::Count(key()), 0);
    }

    void savingAPageKeepsTheOthersAndAnEmptyLayerDropsItsPage()
    {
        const std::vector<Object> all = everyKind();
        QVERIFY(writePages(path("a.ant"), {{0, {all[0]}}, {2, {all[1], all[2]}}}));
        QVERIFY(annotationcalls::Load(key(), 2, path("a.ant")));
        QVERIFY(annotationcalls::Save(key(), 5, path("a.ant")));
        std::optional<Pages> pages = readPages(path("a.ant"));
        QVERIFY(pages);
        QCOMPARE(pages->size(), std::size_t(3));
        QCOMPARE(pages->at(5).size(), std::size_t(2));
        QCOMPARE(pages->at(0).front(), all[0]);

        annotationcalls::Clear(key());
        QVERIFY(annotationcalls::Save(key(), 0, path("a.ant")));
        pages = readPages(path("a.ant"));
        QVERIFY(pages);
        QVERIFY(!pages->count(0));
        QCOMPARE(pages->size(), std::size_t(2));
    }

    void insertAndRemoveRenumberThePages()
    {
        const std::vector<Object> all = everyKind();
        // pages 0, 1, 3 hold one object each, told apart by their kinds
        QVERIFY(writePages(path("p.ant"), {{0, {all[0]}}, {1, {all[1]}}, {3, {all[3]}}}));
        QVERIFY(annotationcalls::Load(key(), 0, path("p.ant")));
        annotationcalls::Clear(key());
        QVERIFY(writePages(path("one.ant"), {{0, {all[7]}}}));
        QVERIFY(annotationcalls::Load(key(), 0, path("one.ant")));

        QVERIFY(annotationcalls::Insert(key(), 1, path("p.ant")));
        std::optional<Pages> pages = readPages(path("p.ant"));
        QVERIFY(pages);
        QCOMPARE(pages->size(), std::size_t(4));
        QCOMPARE(pages->at(0).front().kind, Kind::PolyLine);
        QCOMPARE(pages->at(1).front().kind, Kind::Line);
        QCOMPARE(pages->at(2).front().kind, Kind::Ellipse);
        QCOMPARE(pages->at(4).front().kind, Kind::Polygon);

        QVERIFY(annotationcalls::Remove(key(), 0, path("p.ant")));
        pages = readPages(path("p.ant"));
        QVERIFY(pages);
        QCOMPARE(pages->size(), std::size_t(3));
        QCOMPARE(pages->at(0).front().kind, Kind::Line);
        QCOMPARE(pages->at(1).front().kind, Kind::Ellipse);
        QCOMPARE(pages->at(3).front().kind, Kind::Polygon);

        // removing a page without annotations still closes the gap
        QVERIFY(annotationcalls::Remove(key(), 2, path("p.ant")));
        pages = readPages(path("p.ant"));
        QVERIFY(pages);
        QCOMPARE(pages->at(2).front().kind, Kind::Polygon);

        QVERIFY(!annotationcalls::Remove(key(), 0, path("missing.ant")));
        QVERIFY(!QFile::exists(path("missing.ant")));
    }

    void hostileFilesLoadNothingAndAreNotWrittenOver_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        std::vector<std::uint8_t> good = annotationformat::serialize({{0, everyKind()}});
        const auto asBytes = [](const std::vector<std::uint8_t>& v) {
            return QByteArray(reinterpret_cast<const char*>(v.data()), qsizetype(v.size()));
        };
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text") << QByteArray("hello, this is no annotation file");
        for (std::size_t cut : {std::size_t(7), std::size_t(15), std::size_t(17), std::size_t(30), good.size() / 2,
                                good.size() - 1})
            QTest::addRow("truncated at %zu", cut) << asBytes(std::vector<std::uint8_t>(good.begin(), good.begin() + long(cut)));
        std::vector<std::uint8_t> v = good;
        v[8] = 2;
        QTest::newRow("version 2") << asBytes(v);
        v = good;
        putU32(v, 12, 0xFFFFFFFF);
        QTest::newRow("huge page count") << asBytes(v);
        v = good;
        putU32(v, 20, 0x7FFFFFFF);
        QTest::newRow("huge object count") << asBytes(v);
        v = good;
        putU32(v, 28, 0xFFFFFFF0);
        QTest::newRow("huge body length") << asBytes(v);
        v = good;
        v[24] = 12;
        QTest::newRow("unknown kind") << asBytes(v);
        v = good;
        v.push_back(0);
        QTest::newRow("trailing byte") << asBytes(v);
        // the note's text: its first byte becomes a lone continuation byte
        Pages notePage{{0, {everyKind()[5]}}};
        v = annotationformat::serialize(notePage);
        const std::string text = "Notiz";
        const auto at = std::search(v.begin(), v.end(), text.begin(), text.end());
        QVERIFY(at != v.end());
        *at = 0x80;
        QTest::newRow("bad UTF-8") << asBytes(v);
        *at = 0;
        QTest::newRow("zero byte in text") << asBytes(v);
    }

    void hostileFilesLoadNothingAndAreNotWrittenOver()
    {
        QFETCH(QByteArray, bytes);
        const QString bad = path("bad.ant");
        QFile f(bad);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        f.close();
        QVERIFY(annotationcalls::Load(key(), 0, path("none.ant")) == false);
        QVERIFY(writePages(path("good.ant"), {{0, {everyKind()[2]}}}));
        QVERIFY(annotationcalls::Load(key(), 0, path("good.ant")));

        QVERIFY(!annotationcalls::Load(key(), 0, bad));
        QCOMPARE(annotationcalls::Count(key()), 1);   // the layer keeps what it had
        QVERIFY(!annotationcalls::Save(key(), 0, bad));
        QVERIFY(!annotationcalls::Insert(key(), 0, bad));
        QVERIFY(!annotationcalls::Remove(key(), 0, bad));
        QCOMPARE(contentOf(bad), bytes);
    }

    void filesAreWrittenByRenameAndNeverThroughALink()
    {
        QVERIFY(writePages(path("src.ant"), {{0, {everyKind()[1]}}}));
        QVERIFY(annotationcalls::Load(key(), 0, path("src.ant")));

        QVERIFY(writePages(path("target.ant"), {{0, {everyKind()[0]}}}));
        const QByteArray before = contentOf(path("target.ant"));
        QVERIFY(::symlink(path("target.ant").toLocal8Bit().constData(), path("link.ant").toLocal8Bit().constData()) == 0);
        QVERIFY(!annotationcalls::Save(key(), 0, path("link.ant")));
        QCOMPARE(contentOf(path("target.ant")), before);

        // a failing write leaves the old file whole
        fileops::setFaultHook([](fileops::Op op, const QString&) { return op == fileops::Op::Write; });
        QVERIFY(!annotationcalls::Save(key(), 0, path("target.ant")));
        QCOMPARE(contentOf(path("target.ant")), before);
        fileops::setFaultHook({});
        QVERIFY(annotationcalls::Save(key(), 0, path("target.ant")));
        QCOMPARE(readPages(path("target.ant"))->at(0).front().kind, Kind::Ellipse);
        QCOMPARE(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral(".target")), QStringList());
    }

    void burningInMatchesDrawingAtZoomOne()
    {
        QVERIFY(writePages(path("k.ant"), {{0, everyKind()}}));
        QVERIFY(annotationcalls::Load(key(), 0, path("k.ant")));
        QImage picture(160, 125, QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixel(x, y, qRgb(x, y * 2, 128));

        QImage drawn = picture.copy();
        {
            QPainter p(&drawn);
            annotationcalls::DrawWholeDC(key(), 1.0, 0, 0, 0, 0, p);
        }
        QImage burnt = picture;
        QVERIFY(annotationcalls::Burn(key(), burnt));
        QCOMPARE(burnt.convertToFormat(QImage::Format_RGB32), drawn);
        QVERIFY(burnt != picture);

        // at zoom 2 with an origin and an offset: the rectangle's top-left
        // corner (60, 5) lands on ((60 - 50) x 2 + 10, (5 - 0) x 2 + 20)
        QVERIFY(writePages(path("z.ant"), {{0, {solidRect()}}}));
        QVERIFY(annotationcalls::Load(key(), 0, path("z.ant")));
        QImage zoomed(200, 200, QImage::Format_RGB32);
        zoomed.fill(Qt::white);
        {
            QPainter p(&zoomed);
            annotationcalls::DrawWholeDC(key(), 2.0, 50, 0, 10, 20, p);
        }
        QCOMPARE(zoomed.pixel(40, 30), qRgb(255, 0, 0));
        QCOMPARE(zoomed.pixel(40, 25), qRgb(255, 255, 255));
        QCOMPARE(zoomed.pixel(40, 40), qRgb(255, 255, 255));
        QCOMPARE(zoomed.pixel(90, 70), qRgb(255, 0, 0));   // bottom edge (25 x 2 + 20)
    }

    void burningIntoAPalettePictureUsesItsColours()
    {
        QVERIFY(writePages(path("r.ant"), {{0, {solidRect()}}}));
        QVERIFY(annotationcalls::Load(key(), 0, path("r.ant")));
        QImage indexed(100, 40, QImage::Format_Indexed8);
        indexed.setColorTable({qRgb(255, 255, 255), qRgb(255, 0, 0), qRgb(0, 0, 0)});
        indexed.fill(0);
        TBitmap bitmap(indexed, pf8bit);
        QVERIFY(annotationcalls::Burn(key(), bitmap));
        QCOMPARE(bitmap.image().format(), QImage::Format_Indexed8);
        QCOMPARE(bitmap.image().pixelIndex(75, 5), 1);   // the rectangle's red top edge
        QCOMPARE(bitmap.image().pixelIndex(10, 30), 0);
    }

    void unregisteredControlsAnswerNothing()
    {
        int other = 0;
        QCOMPARE(annotationcalls::Count(&other), 0);
        QVERIFY(!annotationcalls::Load(&other, 0, path("x.ant")));
        QVERIFY(!annotationcalls::Save(&other, 0, path("x.ant")));
        QVERIFY(!QFile::exists(path("x.ant")));
    }

    void aChangeRaisesTheRevision()
    {
        QVERIFY(writePages(path("v.ant"), {{0, {everyKind()[0]}}}));
        const qint64 start = annotationcalls::Revision(key());
        QVERIFY(annotationcalls::Load(key(), 0, path("v.ant")));
        const qint64 loaded = annotationcalls::Revision(key());
        QVERIFY(loaded != start);
        QVERIFY(annotationcalls::Save(key(), 1, path("v.ant")));
        QCOMPARE(annotationcalls::Revision(key()), loaded);
        annotationcalls::Clear(key());
        QVERIFY(annotationcalls::Revision(key()) != loaded);
    }

    // The program's picture reaches a new "Image" object only when its
    // sizes fit the block; the block is freed in every case (LeakSanitizer
    // reports one that is not).
    void picturesFromTheProgramAreChecked_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("bytes");
        QTest::addColumn<bool>("taken");
        QTest::newRow("fits") << 3 << 2 << 24 << true;
        QTest::newRow("block larger") << 3 << 2 << 100 << true;
        QTest::newRow("block too small") << 3 << 2 << 23 << false;
        QTest::newRow("no width") << 0 << 2 << 24 << false;
        QTest::newRow("negative") << -3 << -2 << 24 << false;
        QTest::newRow("too wide") << 16385 << 1 << 16385 * 4 << false;
        QTest::newRow("no block") << 3 << 2 << 0 << false;
    }
    void picturesFromTheProgramAreChecked()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, bytes);
        QFETCH(bool, taken);
        static AnnoPicture offered;
        offered = {width, height, bytes > 0 ? globalmem::alloc(std::size_t(bytes)) : nullptr};
        annotationcalls::SetChoosers(nullptr, [](void*, const char*, AnnoPicture* picture) {
            *picture = offered;
            return 1;
        });
        QCOMPARE(annotationcalls::MenuMsg(key(), annoCmdNewObject + int(Kind::Image)), taken);
        annotationcalls::SetChoosers(nullptr, nullptr);
    }
};

QTEST_MAIN(TestAnnotationLayer)
#include "tst_annotationlayer.moc"
