#pragma once
// The process-wide undo ring of the picture controls and the size dialog:
// four snapshots, newest first. Used on the user-interface thread only.

class TBitmap;

// The ring moves one step back and the newest snapshot takes a copy of
// the graphic; the undo-available flag is set.
void PushUndo(const TBitmap& graphic);
// Nothing without an available undo. Otherwise the bitmap takes the
// newest snapshot, the others move up one step and the oldest becomes
// empty; undo stays available while the newest is not empty.
void PopUndo(TBitmap& bitmap);
bool UndoAvailable();
// Empties the ring (program end, tests).
void ClearUndo();
