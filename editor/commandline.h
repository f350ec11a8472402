#pragma once
// The editor's command line: the picture file exactly as given (argument
// 1) and the zero-based TIFF page in decimal (argument 2; 0 when missing,
// not a number or negative).

#include <QString>
#include <QStringList>

struct EditorCommandLine {
    QString path;
    int page = 0;

    // args as QCoreApplication::arguments() gives them, program first.
    static EditorCommandLine parse(const QStringList& args);
};
