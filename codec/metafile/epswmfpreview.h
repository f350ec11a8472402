#pragma once
// The Windows Metafile preview that a DOS EPS binary file may carry: the
// last resort when its PostScript cannot be drawn.

#include "codec/binding/codecwrappers.h"

#include <QByteArray>

// The preview drawn at its own size as a DIB at bits (0 and 24: 24 bits;
// 1, 4, 8 converted); null when eps is no DOS EPS file with a WMF preview
// inside its bytes, or the preview cannot be drawn.
GlobalHandle EpsWmfPreviewDib(const QByteArray& eps, int bits, bool dither, CodecProgress progress,
                              void* sender);
