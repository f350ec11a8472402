#include "annotationhistory.h"

namespace annotationhistory {

using annotation::Layer;
using annotation::Object;

namespace {

void push(std::vector<std::vector<Object>>& steps, std::vector<Object> state)
{
    if (steps.size() >= kMaxSteps)
        steps.erase(steps.begin());
    steps.push_back(std::move(state));
}

bool step(Layer& l, std::vector<std::vector<Object>>& from, std::vector<std::vector<Object>>& to)
{
    if (from.empty())
        return false;
    push(to, std::move(l.objects));
    l.objects = std::move(from.back());
    from.pop_back();
    l.selected = -1;
    l.group.clear();
    l.shapeEditing = false;
    ++l.revision;
    return true;
}

}  // namespace

void record(Layer& l, std::vector<Object> before)
{
    if (before == l.objects)
        return;
    push(l.history.undo, std::move(before));
    l.history.redo.clear();
}

bool undo(Layer& l)
{
    return step(l, l.history.undo, l.history.redo);
}

bool redo(Layer& l)
{
    return step(l, l.history.redo, l.history.undo);
}

}  // namespace annotationhistory
