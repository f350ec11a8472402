#include "annotationgroup.h"

#include <algorithm>

#include "annotationhistory.h"

namespace annotationgroup {

using annotation::Layer;
using annotation::Object;
using annotation::Point;

std::vector<int> inside(const std::vector<Object>& objects, Point a, Point b)
{
    const int left = std::min(a.x, b.x), right = std::max(a.x, b.x);
    const int top = std::min(a.y, b.y), bottom = std::max(a.y, b.y);
    std::vector<int> found;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        if (objects[i].points.empty())
            continue;
        const annotation::Rect r = objects[i].bounds();
        if (r.left >= left && r.right <= right && r.top >= top && r.bottom <= bottom)
            found.push_back(int(i));
    }
    return found;
}

void select(Layer& l, std::vector<int> objects)
{
    l.shapeEditing = false;
    l.group.clear();
    l.selected = objects.size() == 1 ? objects.front() : -1;
    if (objects.size() > 1)
        l.group = std::move(objects);
}

bool contains(const Layer& l, int object)
{
    return std::find(l.group.begin(), l.group.end(), object) != l.group.end();
}

void move(Layer& l, const std::vector<Object>& before, int dx, int dy)
{
    if (before.size() != l.objects.size())
        return;
    for (const int i : l.group) {
        const std::vector<Point>& from = before[std::size_t(i)].points;
        std::vector<Point>& to = l.objects[std::size_t(i)].points;
        for (std::size_t k = 0; k < to.size() && k < from.size(); ++k)
            to[k] = {from[k].x + dx, from[k].y + dy};
    }
}

bool remove(Layer& l)
{
    if (l.group.empty())
        return false;
    std::vector<Object> before = l.objects;
    std::vector<int> doomed = l.group;
    std::sort(doomed.begin(), doomed.end(), std::greater<>());
    for (const int i : doomed)
        if (i >= 0 && i < int(l.objects.size()))
            l.objects.erase(l.objects.begin() + i);
    l.group.clear();
    l.selected = -1;
    annotationhistory::record(l, std::move(before));
    ++l.revision;
    return true;
}

}  // namespace annotationgroup
