#include "toolrunner.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>

#include <memory>
#include <vector>

QString toolPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/glimra-tool");
}

namespace {

void start(QProcess& p, const QStringList& args, const QProcessEnvironment& env)
{
    p.setProcessEnvironment(env);
    p.start(toolPath(), args);
}

ToolRun collect(QProcess& p, QDeadlineTimer deadline)
{
    ToolRun run;
    if (!p.waitForStarted(10000))
        return run;
    if (!p.waitForFinished(int(std::max<qint64>(deadline.remainingTime(), 1)))) {
        p.kill();
        p.waitForFinished(5000);
        return run;
    }
    run.finished = true;
    run.crashed = p.exitStatus() == QProcess::CrashExit;
    run.exitCode = p.exitCode();
    run.out = QString::fromUtf8(p.readAllStandardOutput());
    const QString err = QString::fromUtf8(p.readAllStandardError());
    run.errLines = err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return run;
}

}  // namespace

ToolRun runTool(const QStringList& args, int timeoutMs, const QProcessEnvironment& env)
{
    QProcess p;
    start(p, args, env);
    return collect(p, QDeadlineTimer(timeoutMs));
}

QList<ToolRun> runTools(const QList<QStringList>& argLists, int timeoutMs)
{
    std::vector<std::unique_ptr<QProcess>> processes;
    for (const QStringList& args : argLists) {
        processes.push_back(std::make_unique<QProcess>());
        start(*processes.back(), args, QProcessEnvironment::systemEnvironment());
    }
    const QDeadlineTimer deadline(timeoutMs);
    QList<ToolRun> runs;
    for (auto& p : processes)
        runs.append(collect(*p, deadline));
    return runs;
}

QMap<QString, QString> infoFields(const QString& line)
{
    static const QRegularExpression shape(QStringLiteral(
        "^type=(\\S*) width=(-?\\d+) height=(-?\\d+) bits=(\\d+) planes=(\\d+) colors=(\\d+) size=(\\d+) "
        "compression=(\\S*) pages=(\\d+)\\n$"));
    const QRegularExpressionMatch m = shape.match(line);
    QMap<QString, QString> fields;
    if (!m.hasMatch())
        return fields;
    const char* names[] = {"type", "width", "height", "bits", "planes", "colors", "size", "compression", "pages"};
    for (int i = 0; i < 9; ++i)
        fields.insert(QLatin1String(names[i]), m.captured(i + 1));
    return fields;
}
