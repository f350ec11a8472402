// glimra-tool remap FILE.ILP IN OUT: the picture remapped to the colours of
// a palette file, at 8 bits (4 bits when the palette holds at most 16
// colours); OUT is written by its extension through a temporary file.

#include "picturefile.h"
#include "picturewriter.h"
#include "toolcommands.h"
#include "toolerror.h"

#include "codec/binding/dibconvert.h"
#include "codec/binding/errorinvalid.h"
#include "codec/binding/tbitmap.h"
#include "dibcore/dibguard.h"
#include "effects/dialog/palettefile.h"
#include "effects/effectframe.h"


namespace {

PaletteEntries readPalette(const QString& path)
{
    std::optional<PaletteEntries> palette;
    try {
        if (LoadPaletteFile(path, palette) == 0 || !palette)
            throw ToolError::failure(QStringLiteral("%1: not a Korvane 3.0 palette file").arg(path));
    } catch (const ErrorInvalid& e) {
        throw ToolError::failure(QStringLiteral("%1: %2").arg(path, e.message()));
    }
    return *palette;
}

}  // namespace

int runRemapCommand(const QStringList& args)
{
    if (args.size() != 3)
        throw ToolError::usage(QStringLiteral("expected FILE.ILP, IN and OUT"));
    PaletteEntries palette = readPalette(args[0]);
    const int bits = palette.size() <= 16 ? 4 : 8;
    PictureFile file(args[1]);
    const TBitmap bitmap = file.decode(0, 0);
    dibcore::DibGuard dib(GraphicToDIBDepth(&bitmap, bits, false, nullptr, nullptr));
    if (!dib.get() || effectframe::bitCount(dib.get()) != bits)
        throw ToolError::failure(QStringLiteral("%1: cannot make a %2-bit picture of it").arg(args[1]).arg(bits));
    GlobalHandle h = dib.release();
    try {
        RemapToPalette(palette, h);
    } catch (const ErrorInvalid& e) {
        dib.reset(h);
        throw ToolError::failure(QStringLiteral("%1: %2").arg(args[1], e.message()));
    }
    dib.reset(h);
    writePicture(args[2], dib.get());
    return 0;
}
