#pragma once
// Preview helpers shared by the settings dialogs.

#include "effects/effecttypes.h"

#include <QString>

class QLineEdit;
class QSlider;
class TPMultiImage;

// The bar position for a typed text: the number limited to the range, 1 for
// anything that is no number (then limited too).
int trackValueOfText(const QString& text, int minimum, int maximum);
// A bar and its number field move together: the field shows the bar's
// value unless it is being typed in; a typed text moves the bar.
void connectTrack(QSlider* slider, QLineEdit* field);

// Shows the control's picture again through the transition; with FXNone
// only the control's method is set.
void playTransitionPreview(TPMultiImage& control, int delay, int thick, TFXMethod method);
