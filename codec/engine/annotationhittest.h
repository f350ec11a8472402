#pragma once
// Which annotation object lies under a point, and which of its handles.
// Points are in picture pixels; tolerance widens lines and edges.

#include <vector>

#include "annotationobject.h"

namespace annotationhit {

// Whether point p touches the object: inside a filled or boxed shape, or
// within tolerance (plus half the pen) of a line.
bool touches(const annotation::Object& object, annotation::Point p, int tolerance);
// The topmost object touched (the last drawn); -1 for none.
int objectAt(const std::vector<annotation::Object>& objects, annotation::Point p, int tolerance);
// The handle of the object within tolerance of p: the index of the point
// (a node, an end or a corner); -1 for none.
int handleAt(const annotation::Object& object, annotation::Point p, int tolerance);

}  // namespace annotationhit
