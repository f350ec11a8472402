// The sort order of thumbnails for every key and direction.
#include "viewer/comparethumbnails.h"

#include "thumbnails/th.h"

#include <QtTest>

namespace {

Th item(const QString& name, int page = 0, qint64 size = 0, int w = 0, int h = 0, qint64 secs = 0)
{
    Th t;
    t.FileName = name;
    t.PageIndex = page;
    t.FileSize = size;
    t.Width = w;
    t.Height = h;
    t.FileDate = QDateTime::fromSecsSinceEpoch(secs);
    return t;
}

}  // namespace

class TestSorting : public QObject {
    Q_OBJECT

private slots:
    void keys()
    {
        const Th a = item("/p/a.JPG", 0, 500, 100, 400, 2000);
        const Th b = item("/p/B.png", 0, 300, 200, 200, 1000);
        QVERIFY(CompareThumbnails(a, b, 0, 0) < 0);   // names without regard to case
        QVERIFY(CompareThumbnails(a, b, 1, 0) < 0);   // ".JPG" before ".png"
        QVERIFY(CompareThumbnails(a, b, 2, 0) > 0);   // larger file later
        QVERIFY(CompareThumbnails(a, b, 3, 0) > 0);   // "Nach Datum" forwards: oldest first
        QVERIFY(CompareThumbnails(a, b, 4, 0) > 0);   // equal areas: by path bytes, "B" before "a"
        QCOMPARE(CompareThumbnails(a, b, 5, 0), 0);
        QVERIFY(CompareThumbnails(a, b, 0, 1) > 0);   // backwards
    }

    // Equal keys go by the path's bytes, then the page, so the order never
    // depends on the order the items came in.
    void equalKeysOrderByPathThenPage()
    {
        const Th lower = item("/p/a.jpg", 0);
        const Th upper = item("/p/A.JPG", 0);
        QVERIFY(CompareThumbnails(lower, upper, 0, 0) > 0);   // "A" (0x41) before "a" (0x61)
        QVERIFY(CompareThumbnails(upper, lower, 0, 0) < 0);
        const Th sameSize1 = item("/p/x.jpg", 0, 500);
        const Th sameSize2 = item("/p/y.jpg", 0, 500);
        QVERIFY(CompareThumbnails(sameSize1, sameSize2, 2, 0) < 0);
        QVERIFY(CompareThumbnails(sameSize1, sameSize2, 2, 1) > 0);
        const Th page0 = item("/p/t.tif", 0);
        const Th page2 = item("/p/t.tif", 2);
        QVERIFY(CompareThumbnails(page0, page2, 0, 0) < 0);
        QVERIFY(CompareThumbnails(page0, page2, 0, 1) > 0);   // backwards: last page first
    }

    void largePicturesKeepTheirOrder()
    {
        // 50000 x 50000 does not fit 32 bits; it must still sort after 1000 x 1000
        const Th huge = item("/p/h.tif", 0, 0, 50000, 50000);
        const Th small = item("/p/s.tif", 0, 0, 1000, 1000);
        QVERIFY(CompareThumbnails(huge, small, 4, 0) > 0);
    }
};

QTEST_GUILESS_MAIN(TestSorting)
#include "tst_sorting.moc"
