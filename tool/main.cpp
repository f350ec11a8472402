// glimra-tool: the programs' picture code without a window.

#include "toolcommands.h"
#include "toolerror.h"

#include "platform/localzone.h"

#include <QApplication>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>

namespace {

void quietQtMessages(QtMsgType, const QMessageLogContext&, const QString&)
{
}

void writeError(const QString& message)
{
    QString line = message.simplified();
    if (line.isEmpty())
        line = QStringLiteral("failed");
    QTextStream(stderr) << "glimra-tool: " << line << '\n';
}

QString usageText()
{
    QString text = QStringLiteral("usage: glimra-tool");
    const char* sep = " ";
    for (const ToolCommand& c : toolCommands()) {
        text += QLatin1String(sep) + QLatin1String(c.usage);
        sep = " | ";
    }
    return text;
}

const ToolCommand* findCommand(const QString& name)
{
    for (const ToolCommand& c : toolCommands()) {
        if (name == QLatin1String(c.name))
            return &c;
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv)
{
    localzone::readSystemZoneOnce();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietQtMessages);
    QApplication app(argc, argv);

    QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        writeError(usageText());
        return ToolError::Usage;
    }
    const ToolCommand* command = findCommand(args.takeFirst());
    if (!command) {
        writeError(usageText());
        return ToolError::Usage;
    }
    try {
        return command->run(args);
    } catch (const ToolError& e) {
        writeError(e.kind() == ToolError::Usage ? e.message() + QStringLiteral(" (") +
                                                      QLatin1String(command->usage) + QLatin1Char(')')
                                                : e.message());
        return e.kind();
    } catch (const std::exception& e) {
        writeError(QString::fromUtf8(e.what()));
        return ToolError::Failure;
    } catch (...) {
        writeError(QStringLiteral("unexpected failure"));
        return ToolError::Failure;
    }
}
