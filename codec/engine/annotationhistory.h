#pragma once
// Undo and redo of a layer's changes: each change records the objects as
// they were before it. Loading or clearing the layer starts afresh.

#include <vector>

#include "annotationlayer.h"

namespace annotationhistory {

// The most steps kept; the oldest goes first.
constexpr std::size_t kMaxSteps = 100;

// Records the objects as they were before a change (nothing when they are
// the same now) and drops the undone steps.
void record(annotation::Layer& layer, std::vector<annotation::Object> before);
// Puts back the state before the last change; false when there is none.
bool undo(annotation::Layer& layer);
// Makes the last undone change again; false when there is none.
bool redo(annotation::Layer& layer);

}  // namespace annotationhistory
