#pragma once
// Which picture a slide show takes next: the marked grid items, all grid
// items or the lines of a slide list, forwards or backwards, with the
// wrap-around rules and the correction of manual steps.

#include <QString>
#include <QStringList>
#include <functional>

// The grid as the slide show sees it.
struct SlideItems {
    std::function<int()> count;
    std::function<QString(int index)> fileName;
    std::function<int(int index)> page;
    std::function<bool(int index)> checked;
};

struct SlideChoice {
    QString name;   // empty: nothing to show this time
    int page = 0;
};

class SlideSequence {
public:
    enum Mode { MarkedItems = 0, AllItems = 1, ListLines = 2 };
    enum class Step { None, Forward, Backward };

    explicit SlideSequence(SlideItems items = {});

    // The source mode of the options; marked items without any marked
    // item fall back to all items.
    void setMode(int mode);
    int mode() const { return mode_; }
    void setList(const QStringList& lines) { list_ = lines; }
    const QStringList& list() const { return list_; }

    int position = 0;
    int page = 0;
    bool startAtItem = false;
    bool backward = false;
    Step lastManualStep = Step::None;

    // The position where a show starts: 0, or the last item or line when
    // going backward.
    void rewind();
    SlideChoice next();
    SlideChoice previous();
    SlideChoice fetch() { return backward ? previous() : next(); }
    // Arrow keys and wheel: the first step after a fetch the other way (or
    // after an automatic one) moves the position by two first.
    SlideChoice manualForward();
    SlideChoice manualBackward();
    // What fetch() would give, without moving.
    SlideChoice peek() const;
    SlideChoice peekManual(bool forward) const;
    // The grid item's file and page, without moving; empty outside the grid.
    SlideChoice itemAt(int index) const;
    int itemCount() const { return count(); }

private:
    int count() const;
    bool inGrid(int index) const { return index >= 0 && index < count(); }
    bool marked(int index) const;
    void wrap();
    SlideChoice item(int index);

    SlideItems items_;
    QStringList list_;
    int mode_ = AllItems;
};
