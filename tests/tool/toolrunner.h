#pragma once
// Runs build/glimra-tool as a process and collects what it did.

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

struct ToolRun {
    bool finished = false;  // false: timed out or never started
    bool crashed = false;   // ended by a signal
    int exitCode = -1;
    QString out;
    QStringList errLines;
};

ToolRun runTool(const QStringList& args, int timeoutMs = 60000,
                const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment());
// Several runs side by side; results in the order of the argument lists.
QList<ToolRun> runTools(const QList<QStringList>& argLists, int timeoutMs = 60000);
QString toolPath();
// The info line's fields by name; empty when the line has another shape.
QMap<QString, QString> infoFields(const QString& line);
