#include "commandline.h"

EditorCommandLine EditorCommandLine::parse(const QStringList& args)
{
    EditorCommandLine line;
    line.path = args.value(1);
    bool ok = false;
    const int page = args.value(2).toInt(&ok, 10);
    line.page = ok && page > 0 ? page : 0;
    return line;
}
