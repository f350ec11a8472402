#pragma once
// The glyphs of the TIFF page buttons: "ILTB_FIRST", "ILTB_PRIOR",
// "ILTB_NEXTPAGE" and "ILTB_LAST", each drawn as an enabled and a disabled
// picture.

#include <QIcon>
#include <QString>

// An empty icon for an unknown name.
QIcon PageButtonGlyph(const QString& name);
