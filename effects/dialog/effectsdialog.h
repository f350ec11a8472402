#pragma once
// Shows the effects dialog on a copy of a picture, for the image
// control's ShowEffectsDialog hook: true, with master replaced by the
// changed picture, when the dialog ended with OK.

#include "platform/globalmem.h"

#include <functional>

class QWidget;
class TEffectForm;

bool RunEffectsDialog(QWidget* parent, GlobalHandle& master);

// Runs the form in place of its modal loop and answers its result (tests);
// empty: the modal loop.
void SetEffectsDialogRunner(std::function<int(TEffectForm& form)> runner);
