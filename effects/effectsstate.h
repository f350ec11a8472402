#pragma once
// Process-wide settings of the effects binding: the effects help file and
// the dither setting of the bitmap conversions.

#include <QString>

// The help page of the effects, fixed by InitEffectsHelpFile: "effects.html"
// from the program folder, else from the shared data folders
// (".../Korvane/"), else the program folder's name for it.
QString EffectsHelpFile();
void InitEffectsHelpFile();

bool SharedDither();
void SetSharedDither(bool dither);

// Program end: unloads the effects module, empties the undo ring and
// clears the help file.
void ShutdownEffects();
