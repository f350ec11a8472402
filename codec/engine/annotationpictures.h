#pragma once
// Pictures in annotations: the picture of an "Image" object and of an
// image rubber stamp come from the program (AnnoHost's choosers), which
// reads the file; the layer checks and keeps the pixels.

#include "annotationlayer.h"
#include "crde2001.h"

namespace annotationpictures {

// The longer side of a picture object placed by a click alone.
constexpr int kPlacedSide = 320;

// Takes the picture over (its block is freed in any case) into object;
// false when it breaks a rule of AnnoPicture.
bool take(AnnoPicture& picture, annotation::Object& object);
// The box size of a picture object placed by a click: the picture's own,
// made smaller to kPlacedSide on its longer side.
annotation::Point placedSize(const annotation::Object& object);

// Asks for the picture of the next new "Image" object (kept in
// layer.pendingPicture); false when none was chosen.
bool choosePending(annotation::Layer& layer);
// The choosers for the selected stamp and picture object; true when the
// object changed (an undo step is recorded).
bool changeStamp(annotation::Layer& layer);
bool changePicture(annotation::Layer& layer);

}  // namespace annotationpictures
