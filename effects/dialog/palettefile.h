#pragma once
// Palette files (".ILP") and the remapping of palette pictures.
//
// A palette file is exactly 1047 bytes, little-endian: a length byte 19,
// the text "korvane 30 palettes", a 0 byte, the colour count (16 bits,
// 1..256) and 256 entries of red, green, blue, flags; entries from the
// count on are 0.

#include "dibcore/palette.h"
#include "effects/effecttypes.h"
#include "platform/globalmem.h"

#include <QString>
#include <optional>

namespace palettefile {
constexpr int kFileSize = 1047;
constexpr int kHeaderSize = 23;
constexpr int kMaxColours = 256;
}  // namespace palettefile

using PaletteEntries = dibcore::Palette;

// Writes entries 0..n-1 through a temporary file and a rename; a name held
// by a link or anything but a regular file is left alone. False, writing
// nothing, when the palette has fewer than n entries or n is not 1..256.
// Throws ErrorInvalid("Could not create file!") when the file cannot be
// written.
bool SavePaletteFile(const QString& fileName, const PaletteEntries& palette, int n);

// 1047 when the file was read; 0 (nothing changed) when it is missing, not
// exactly 1047 bytes, has another header or a colour count outside 1..256.
// An existing palette takes the file's colours in its first n entries
// (growing to n); an empty variable receives a new palette of n entries.
// Throws ErrorInvalid("Could not open file!") when reading fails.
int LoadPaletteFile(const QString& fileName, std::optional<PaletteEntries>& palette);

// n entries, entry i being (i, i, i).
PaletteEntries MakeGrayPalette(int n);

// Orders the palette by the decimal text of each colour (red + green * 256 +
// blue * 65536), duplicates dropped, written back from entry 0 on.
void SortPaletteAsText(PaletteEntries& palette);

// Remaps a 1-, 4- or 8-bit picture to the palette (sorted first, as
// above): every pixel takes the nearest entry to its present colour, and
// the colour table takes the palette's entries up to the picture's colour
// count. A picture whose indices cannot hold the palette's size is
// replaced by an 8-bit one. A stop from the progress callback leaves the
// picture as it was and answers false. Throws ErrorInvalid("Dib is not 8 or
// 4 bit") for a picture without pixels or of another depth.
bool RemapToPalette(PaletteEntries& target, GlobalHandle& dib, void* owner = nullptr,
                    EffectProgress progress = nullptr);
