// Hit testing of annotation objects: lines by their distance, boxes and
// ellipses by their area, polygons filled or by their edges, the topmost
// object first, and handles at the points.

#include "annotationhittest.h"

#include <QTest>

using annotation::Kind;
using annotation::Object;

namespace {

Object make(Kind kind, std::vector<annotation::Point> points, int pen = 1, bool opaque = false)
{
    Object o;
    o.kind = kind;
    o.points = std::move(points);
    o.penWidth = pen;
    o.opaque = opaque;
    return o;
}

}  // namespace

class TestAnnotationHit : public QObject {
    Q_OBJECT
private slots:
    void linesAreHitNearTheirSegments()
    {
        const Object line = make(Kind::Line, {{0, 0}, {100, 0}}, 4);
        QVERIFY(annotationhit::touches(line, {50, 4}, 2));     // 2 + pen/2
        QVERIFY(!annotationhit::touches(line, {50, 5}, 2));
        QVERIFY(!annotationhit::touches(line, {105, 0}, 2));   // past the end
        const Object poly = make(Kind::PolyLine, {{0, 0}, {10, 10}, {20, 0}});
        QVERIFY(annotationhit::touches(poly, {15, 5}, 1));
        QVERIFY(!annotationhit::touches(poly, {10, 2}, 1));    // between the legs
        const Object dot = make(Kind::Freehand, {{5, 5}});
        QVERIFY(annotationhit::touches(dot, {6, 6}, 1));
    }

    void shapesAreHitByTheirArea()
    {
        const Object box = make(Kind::Notes, {{30, 10}, {10, 40}});   // corners in any order
        QVERIFY(annotationhit::touches(box, {20, 25}, 0));
        QVERIFY(!annotationhit::touches(box, {20, 43}, 1));
        const Object ellipse = make(Kind::Ellipse, {{0, 0}, {100, 50}});
        QVERIFY(annotationhit::touches(ellipse, {50, 25}, 0));
        QVERIFY(!annotationhit::touches(ellipse, {3, 3}, 0));          // a corner of its box
        const Object open = make(Kind::Polygon, {{0, 0}, {40, 0}, {20, 40}});
        QVERIFY(!annotationhit::touches(open, {20, 10}, 1));
        QVERIFY(annotationhit::touches(open, {20, 40}, 1));
        QVERIFY(annotationhit::touches(open, {2, 4}, 1));              // the closing edge
        const Object filled = make(Kind::Polygon, {{0, 0}, {40, 0}, {20, 40}}, 1, true);
        QVERIFY(annotationhit::touches(filled, {20, 10}, 1));
    }

    void theTopmostObjectWinsAndHandlesSitAtThePoints()
    {
        const std::vector<Object> objects = {make(Kind::Rectangle, {{0, 0}, {50, 50}}),
                                             make(Kind::Rectangle, {{25, 25}, {75, 75}})};
        QCOMPARE(annotationhit::objectAt(objects, {30, 30}, 0), 1);
        QCOMPARE(annotationhit::objectAt(objects, {10, 10}, 0), 0);
        QCOMPARE(annotationhit::objectAt(objects, {90, 90}, 2), -1);
        QCOMPARE(annotationhit::handleAt(objects[1], {74, 77}, 3), 1);
        QCOMPARE(annotationhit::handleAt(objects[1], {50, 50}, 3), -1);
    }
};

QTEST_GUILESS_MAIN(TestAnnotationHit)
#include "tst_annotationhit.moc"
