// Hit testing of annotation objects: lines by their distance, boxes and
// ellipses by their area, polygons filled or by their edges, the topmost
// object first, and handles at the points; the handles of shapes made of
// nodes scale them or, while the shape is edited, move single nodes; nodes
// are added on segments and removed down to the kind's fewest.

#include "annotationhittest.h"
#include "annotationnodes.h"

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

    void shapeHandlesScaleTheShapeOrMoveOneNode()
    {
        using Points = std::vector<annotation::Point>;
        const Object before = make(Kind::Polygon, {{10, 10}, {30, 10}, {30, 50}});
        // the bounds' corners: top-left, top-right, bottom-right, bottom-left
        QCOMPARE(annotationnodes::handles(before, false), (Points{{10, 10}, {30, 10}, {30, 50}, {10, 50}}));
        QCOMPARE(annotationnodes::handleAt(before, false, {11, 49}, 2), 3);
        Object o = before;
        annotationnodes::dragHandle(o, before, false, 2, {50, 90});   // twice as large from the top-left
        QCOMPARE(o.points, (Points{{10, 10}, {50, 10}, {50, 90}}));
        o = before;
        annotationnodes::dragHandle(o, before, false, 0, {20, 30});   // half as large towards the bottom-right
        QCOMPARE(o.points, (Points{{20, 30}, {30, 30}, {30, 50}}));
        // while the shape is edited each node has its handle
        QCOMPARE(annotationnodes::handles(before, true), before.points);
        o = before;
        annotationnodes::dragHandle(o, before, true, 1, {40, 5});
        QCOMPARE(o.points, (Points{{10, 10}, {40, 5}, {30, 50}}));
        // boxes keep their two corners either way
        const Object box = make(Kind::Rectangle, {{0, 0}, {9, 9}});
        QCOMPARE(annotationnodes::handles(box, false), box.points);
        // a flat shape is not stretched out of nothing
        const Object flat = make(Kind::PolyLine, {{0, 5}, {20, 5}});
        o = flat;
        annotationnodes::dragHandle(o, flat, false, 2, {40, 30});
        QCOMPARE(o.points, (Points{{0, 5}, {40, 5}}));
    }

    void nodesAreAddedOnSegmentsAndRemovedDownToTheFewest()
    {
        using Points = std::vector<annotation::Point>;
        Object polygon = make(Kind::Polygon, {{0, 0}, {40, 0}, {40, 40}});
        QVERIFY(annotationnodes::canAddNode(polygon, {20, 20}, 2));              // on the closing diagonal
        QVERIFY(annotationnodes::addNode(polygon, {20, 1}, 2));                  // on the first edge
        QCOMPARE(polygon.points, (Points{{0, 0}, {20, 1}, {40, 0}, {40, 40}}));
        QVERIFY(annotationnodes::addNode(polygon, {20, 19}, 2));                 // the closing edge appends
        QCOMPARE(polygon.points.back(), (annotation::Point{20, 19}));
        QVERIFY(!annotationnodes::addNode(polygon, {40, 1}, 2));                 // a node, not a segment
        QVERIFY(!annotationnodes::addNode(polygon, {30, 20}, 2));                // inside, on no edge
        QVERIFY(annotationnodes::removeNode(polygon, {41, 41}, 2));
        QVERIFY(annotationnodes::removeNode(polygon, {0, 0}, 2));
        QCOMPARE(polygon.points, (Points{{20, 1}, {40, 0}, {20, 19}}));
        QVERIFY(!annotationnodes::canRemoveNode(polygon, {40, 0}, 2));           // a polygon keeps three
        QVERIFY(!annotationnodes::removeNode(polygon, {40, 0}, 2));
        QCOMPARE(polygon.points.size(), std::size_t(3));

        Object lines = make(Kind::PolyLine, {{0, 0}, {10, 0}, {20, 0}});
        QVERIFY(annotationnodes::removeNode(lines, {10, 0}, 1));
        QVERIFY(!annotationnodes::removeNode(lines, {20, 0}, 1));                // connected lines keep two
        QVERIFY(!annotationnodes::addNode(lines, {30, 0}, 1));                   // past the end: no segment
        QVERIFY(annotationnodes::addNode(lines, {5, 0}, 1));
        QCOMPARE(lines.points, (Points{{0, 0}, {5, 0}, {20, 0}}));
        Object box = make(Kind::Rectangle, {{0, 0}, {10, 10}});
        QVERIFY(!annotationnodes::addNode(box, {5, 0}, 1));                      // boxes have no nodes
        QVERIFY(!annotationnodes::removeNode(box, {0, 0}, 1));
    }
};

QTEST_GUILESS_MAIN(TestAnnotationHit)
#include "tst_annotationhit.moc"
