#include "slidesequence.h"

SlideSequence::SlideSequence(SlideItems items) : items_(std::move(items)) {}

int SlideSequence::count() const
{
    return items_.count ? items_.count() : 0;
}

bool SlideSequence::marked(int index) const
{
    return items_.checked && items_.checked(index);
}

void SlideSequence::setMode(int mode)
{
    mode_ = mode == MarkedItems || mode == ListLines ? mode : AllItems;
    if (mode_ != MarkedItems)
        return;
    for (int i = 0; i < count(); ++i)
        if (marked(i))
            return;
    mode_ = AllItems;
}

void SlideSequence::rewind()
{
    position = 0;
    if (!backward)
        return;
    position = mode_ == ListLines ? int(list_.size()) - 1 : count() - 1;
}

void SlideSequence::wrap()
{
    if (startAtItem && position < 0)
        position = 0;
    if (!inGrid(position))
        position = 0;
}

SlideChoice SlideSequence::itemAt(int index) const
{
    SlideChoice c;
    if (!inGrid(index))
        return c;
    c.name = items_.fileName ? items_.fileName(index) : QString();
    c.page = items_.page ? items_.page(index) : 0;
    return c;
}

SlideChoice SlideSequence::item(int index)
{
    const SlideChoice c = itemAt(index);
    if (!c.name.isEmpty())
        page = c.page;
    return c;
}

SlideChoice SlideSequence::next()
{
    if (mode_ == ListLines) {
        if (list_.isEmpty())
            return {};
        if (position < 0 || position >= list_.size())
            position = 0;
        SlideChoice c{list_.at(position), 0};
        page = 0;
        ++position;
        return c;
    }
    wrap();
    if (mode_ == MarkedItems) {
        if (!inGrid(position)) {
            ++position;
            return {};
        }
        while (inGrid(position) && !marked(position))
            ++position;
    }
    const SlideChoice c = item(position);
    ++position;
    return c;
}

SlideChoice SlideSequence::previous()
{
    if (mode_ == ListLines) {
        if (list_.isEmpty())
            return {};
        if (position < 0 || position >= list_.size())
            position = int(list_.size()) - 1;
        SlideChoice c{list_.at(position), 0};
        page = 0;
        --position;
        return c;
    }
    if (!inGrid(position))
        position = count() - 1;
    if (mode_ == MarkedItems) {
        if (!inGrid(position)) {
            --position;
            return {};
        }
        while (position >= 0 && !marked(position))
            --position;
    }
    const SlideChoice c = item(position);
    --position;
    return c;
}

SlideChoice SlideSequence::manualForward()
{
    if (lastManualStep != Step::Forward)
        position += 2;
    lastManualStep = Step::Forward;
    return next();
}

SlideChoice SlideSequence::manualBackward()
{
    if (lastManualStep != Step::Backward)
        position -= 2;
    lastManualStep = Step::Backward;
    return previous();
}

SlideChoice SlideSequence::peek() const
{
    SlideSequence copy = *this;
    return copy.fetch();
}

SlideChoice SlideSequence::peekManual(bool forward) const
{
    SlideSequence copy = *this;
    return forward ? copy.manualForward() : copy.manualBackward();
}
