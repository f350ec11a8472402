#pragma once
// Drawing annotation objects with a QPainter, on the screen, on any painter
// and into a packed DIB (burning in). All three use the same drawing, so a
// picture burnt in matches the objects drawn over it at zoom 1.

#include <functional>
#include <vector>

#include "annotationobject.h"
#include "platform/globalmem.h"

class QPainter;

namespace annotationpaint {

// Device point = (picture point - origin) x scale + offset.
struct View {
    double scale = 1.0;
    double originX = 0, originY = 0;
    double offsetX = 0, offsetY = 0;
};

struct Hooks {
    // Asked before each object with the kind's name; false skips it.
    std::function<bool(const char* name)> before;
    std::function<void(const char* name)> after;
};

void paint(QPainter& painter, const std::vector<annotation::Object>& objects, const View& view,
           const Hooks& hooks = {});
// The handles of a selected object: a small square at each point.
void paintHandles(QPainter& painter, const std::vector<annotation::Point>& handles, const View& view);
// The selection frame between picture points a and b, dotted.
void paintFrame(QPainter& painter, annotation::Point a, annotation::Point b, const View& view);
// Burns the objects into the DIB (any depth but RLE); false for a bad DIB.
bool burn(GlobalHandle dib, const std::vector<annotation::Object>& objects, const Hooks& hooks = {});

}  // namespace annotationpaint
