// glimra-tool info FILE [--page N] [--annotations]: one line describing the
// picture, then one line per page with annotations.

#include "annotationlines.h"
#include "commandline.h"
#include "picturefile.h"
#include "toolcommands.h"

#include <QTextStream>

namespace {

QString noBlanks(QString text)
{
    return text.replace(QLatin1Char(' '), QLatin1Char('_'));
}

}  // namespace

int runInfoCommand(const QStringList& args)
{
    QStringList rest = args;
    const bool annotations = rest.removeAll(QStringLiteral("--annotations")) > 0;
    const CommandLine cl(rest, {QStringLiteral("--page")});
    cl.requirePositionals(1, QStringLiteral("one FILE"));
    const int page = cl.intValue(QStringLiteral("--page"), 0, 0, 32767);

    PictureFile file(cl.positionals().first());
    const PictureFileInfo info = file.info(page);
    QTextStream out(stdout);
    out << "type=" << noBlanks(info.type) << " width=" << info.width << " height=" << info.height
        << " bits=" << info.bits << " planes=" << info.planes << " colors=" << info.colors
        << " size=" << file.fileSize() << " compression=" << noBlanks(info.compression)
        << " pages=" << file.pageCount() << '\n';
    if (annotations) {
        for (const QString& line : AnnotationLines(cl.positionals().first(), std::max(1, file.pageCount())))
            out << line << '\n';
    }
    return 0;
}
