#pragma once
// The handles of a selected object and what dragging them does: boxes,
// lines and pointers have a handle at each of their two points; connected
// lines, polygons and freehand strokes have the four corners of their
// bounds, which scale the shape, or, while their shape is edited, one
// handle per node. Nodes are added on a segment and removed down to the
// fewest the kind needs.

#include <vector>

#include "annotationobject.h"

namespace annotationnodes {

// Whether the kind's shape is made of nodes that can be edited one by one.
bool hasNodes(annotation::Kind kind);
std::vector<annotation::Point> handles(const annotation::Object& object, bool shapeEditing);
// The handle within tolerance of p (an index into handles()); -1 for none.
int handleAt(const annotation::Object& object, bool shapeEditing, annotation::Point p, int tolerance);
// object becomes before with handle moved to p.
void dragHandle(annotation::Object& object, const annotation::Object& before, bool shapeEditing, int handle,
                annotation::Point p);
// Inserts p as a node into the segment within tolerance of p; false when
// p lies on no segment or on a node.
bool addNode(annotation::Object& object, annotation::Point p, int tolerance);
// Removes the node within tolerance of p; false for none or when the
// kind's fewest nodes are left.
bool removeNode(annotation::Object& object, annotation::Point p, int tolerance);
// Whether addNode and removeNode would do something.
bool canAddNode(const annotation::Object& object, annotation::Point p, int tolerance);
bool canRemoveNode(const annotation::Object& object, annotation::Point p, int tolerance);

}  // namespace annotationnodes
