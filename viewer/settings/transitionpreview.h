#pragma once
// Preview helpers shared by the settings dialogs.

#include "effects/effecttypes.h"

#include <QString>

class TPMultiImage;

// The bar position for a typed text: the number limited to the range, 1 for
// anything that is no number (then limited too).
int trackValueOfText(const QString& text, int minimum, int maximum);

// Shows the control's picture again through the transition; with FXNone
// only the control's method is set.
void playTransitionPreview(TPMultiImage& control, int delay, int thick, TFXMethod method);
