// Which picture the slide show takes next: modes, wrap-around, direction and
// the correction of manual steps.
#include "viewer/slideshow/diashowoptions.h"
#include "viewer/slideshow/slidesequence.h"

#include <QtTest>
#include <set>

namespace {

// A grid of count items named "0" ... with the given ones marked.
SlideItems gridOf(int count, std::set<int> marked = {})
{
    SlideItems items;
    items.count = [count] { return count; };
    items.fileName = [](int i) { return QString::number(i); };
    items.page = [](int i) { return i % 3; };
    items.checked = [marked](int i) { return marked.count(i) > 0; };
    return items;
}

QStringList names(SlideSequence& s, int steps, bool manual = false, bool forward = true)
{
    QStringList out;
    for (int i = 0; i < steps; ++i) {
        const SlideChoice c = manual ? (forward ? s.manualForward() : s.manualBackward()) : s.fetch();
        out << (c.name.isEmpty() ? QStringLiteral("-") : c.name);
    }
    return out;
}

}  // namespace

class TestSlideSequence : public QObject {
    Q_OBJECT

private slots:
    void markedItemsWrapAfterOneEmptyInterval()
    {
        SlideSequence s(gridOf(10, {1, 4, 7}));
        s.setMode(SlideSequence::MarkedItems);
        QCOMPARE(s.mode(), int(SlideSequence::MarkedItems));
        s.rewind();
        QCOMPARE(names(s, 6), QStringList({"1", "4", "7", "-", "1", "4"}));

        // backward from the last item
        SlideSequence b(gridOf(10, {1, 4, 7}));
        b.setMode(SlideSequence::MarkedItems);
        b.backward = true;
        b.rewind();
        QCOMPARE(b.position, 9);
        QCOMPARE(names(b, 5), QStringList({"7", "4", "1", "-", "7"}));
    }

    void markedModeWithoutMarksShowsAll()
    {
        SlideSequence s(gridOf(3));
        s.setMode(SlideSequence::MarkedItems);
        QCOMPARE(s.mode(), int(SlideSequence::AllItems));
        s.rewind();
        QCOMPARE(names(s, 4), QStringList({"0", "1", "2", "0"}));
        // an empty grid gives nothing, and does not loop
        SlideSequence empty(gridOf(0));
        empty.setMode(SlideSequence::AllItems);
        QCOMPARE(names(empty, 2), QStringList({"-", "-"}));
    }

    void pagesComeWithTheItems()
    {
        SlideSequence s(gridOf(5));
        s.setMode(SlideSequence::AllItems);
        s.position = 2;
        const SlideChoice c = s.next();
        QCOMPARE(c.name, QString("2"));
        QCOMPARE(c.page, 2);
        QCOMPARE(s.page, 2);
    }

    void listLinesWrapBothWays()
    {
        SlideSequence s(gridOf(5));
        s.setList({"a", "b", "c"});
        s.setMode(SlideSequence::ListLines);
        s.rewind();
        QCOMPARE(names(s, 4), QStringList({"a", "b", "c", "a"}));
        s.backward = true;
        s.rewind();
        QCOMPARE(names(s, 4), QStringList({"c", "b", "a", "c"}));
        s.setList({});
        QCOMPARE(names(s, 1), QStringList({"-"}));
    }

    void firstManualStepAfterAnAutomaticOneSkipsTwo()
    {
        SlideSequence s(gridOf(10));
        s.setMode(SlideSequence::AllItems);
        s.rewind();
        QCOMPARE(names(s, 2), QStringList({"0", "1"}));   // timer steps
        // the position stands one past "1": two more make "4"
        QCOMPARE(names(s, 2, true, true), QStringList({"4", "5"}));
        // turning round corrects by two: the picture before "5"
        QCOMPARE(names(s, 2, true, false), QStringList({"4", "3"}));
        QCOMPARE(names(s, 1, true, true), QStringList({"4"}));
    }

    void manualModeStartsWithoutCorrection()
    {
        SlideSequence s(gridOf(10));
        s.setMode(SlideSequence::AllItems);
        s.lastManualStep = SlideSequence::Step::Forward;   // "Manuell", forward
        s.rewind();
        QCOMPARE(names(s, 1), QStringList({"0"}));
        QCOMPARE(names(s, 2, true, true), QStringList({"1", "2"}));
        // peeking does not move
        const int before = s.position;
        QCOMPARE(s.peekManual(true).name, QString("3"));
        QCOMPARE(s.peek().name, QString("3"));
        QCOMPARE(s.position, before);
    }

    void optionsChooseModeAndTransition()
    {
        DiaShowOptions o;
        QCOMPARE(o.sourceMode(), 1);
        o.useSelected = true;
        QCOMPARE(o.sourceMode(), 0);
        o.useSelected = false;
        o.useAll = false;
        o.useList = true;
        QCOMPARE(o.sourceMode(), 2);

        QCOMPARE(o.transition(), FXNone);   // "FXN" wins
        o.fxNone = false;
        QCOMPARE(o.transition(), FXNone);
        o.fxVertical = true;
        QCOMPARE(o.transition(), FXVertical);
        o.fxRectangle = true;
        QCOMPARE(o.transition(), FXRectangles);
        o.fxHorizontal = true;
        QCOMPARE(o.transition(), FXHorizontal);
        o.fxSquare = true;
        QCOMPARE(o.transition(), FXDiagonalSquares);
        o.fxDiagonal = true;
        QCOMPARE(o.transition(), FXDiagonal);
        const TFXMethod drawn[] = {FXDiagonal, FXDiagonalSquares, FXHorizontal, FXRectangles, FXVertical};
        for (int r = 0; r < 5; ++r)
            QCOMPARE(DiaShowOptions::randomTransition(r), drawn[r]);
    }
};

QTEST_GUILESS_MAIN(TestSlideSequence)
#include "tst_slidesequence.moc"
