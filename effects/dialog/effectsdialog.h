#pragma once
// Shows the effects dialog on a copy of a picture, for the image
// control's ShowEffectsDialog hook: true, with master replaced by the
// changed picture, when the dialog ended with OK.

#include "platform/globalmem.h"

class QWidget;

bool RunEffectsDialog(QWidget* parent, GlobalHandle& master);
