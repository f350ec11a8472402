// glimra-tool decode FILE [--page N] [--depth D] [--annotations] -o OUT.png:
// the picture as the codec binding gives it (its annotations burnt in when
// asked), written as PNG.

#include "annotationlines.h"
#include "commandline.h"
#include "picturefile.h"
#include "toolcommands.h"
#include "toolerror.h"

#include <QImageWriter>

int runDecodeCommand(const QStringList& args)
{
    const QString page = QStringLiteral("--page");
    const QString depth = QStringLiteral("--depth");
    const QString output = QStringLiteral("-o");
    QStringList rest = args;
    const bool annotations = rest.removeAll(QStringLiteral("--annotations")) > 0;
    const CommandLine cl(rest, {page, depth, output});
    cl.requirePositionals(1, QStringLiteral("one FILE"));
    const auto out = cl.value(output);
    if (!out || out->isEmpty())
        throw ToolError::usage(QStringLiteral("decode needs -o OUT.png"));
    const int bits = cl.intValue(depth, 24, 0, 24);
    if (bits != 0 && bits != 1 && bits != 4 && bits != 8 && bits != 24)
        throw ToolError::usage(QStringLiteral("option --depth: %1 is not 0, 1, 4, 8 or 24").arg(bits));

    PictureFile file(cl.positionals().first());
    const int pageNumber = cl.intValue(page, 0, 0, 32767);
    TBitmap bitmap = file.decode(pageNumber, bits);
    if (annotations)
        BurnPictureAnnotations(cl.positionals().first(), pageNumber, bitmap);
    QImageWriter writer(*out, "png");
    if (!writer.write(bitmap.image()))
        throw ToolError::failure(QStringLiteral("%1: cannot write the PNG file (%2)").arg(*out, writer.errorString()));
    return 0;
}
