#pragma once
// Several objects selected together: by a frame dragged on free space or
// by selecting all. The group moves as one and is deleted as one.

#include <vector>

#include "annotationlayer.h"

namespace annotationgroup {

// The objects lying wholly inside the frame between corners a and b.
std::vector<int> inside(const std::vector<annotation::Object>& objects, annotation::Point a, annotation::Point b);
// The selection becomes these objects: one is the selected object, more
// the group, none nothing.
void select(annotation::Layer& layer, std::vector<int> objects);
bool contains(const annotation::Layer& layer, int object);
// The group's objects moved by (dx, dy) from where they lie in before.
void move(annotation::Layer& layer, const std::vector<annotation::Object>& before, int dx, int dy);
// Removes the group's objects (one undo step); false without a group.
bool remove(annotation::Layer& layer);

}  // namespace annotationgroup
