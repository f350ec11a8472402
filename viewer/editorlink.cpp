#include "editorlink.h"

#include "platform/editorchannel.h"
#include "platform/paths.h"

#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QStandardPaths>

namespace {

// One request and its answer line; empty when the editor does not answer.
QString ask(QLocalSocket& socket, const QString& line)
{
    socket.write((line + "\n").toUtf8());
    if (!socket.waitForBytesWritten(1000))
        return {};
    while (!socket.canReadLine())
        if (!socket.waitForReadyRead(1000))
            return {};
    return QString::fromUtf8(socket.readLine(4096)).trimmed();
}

}  // namespace

bool EditorLink::raiseEditorShowing(const QString& path)
{
    for (const QString& name : editorchannel::socketPaths()) {
        QLocalSocket socket;
        socket.connectToServer(name);
        if (!socket.waitForConnected(500))
            continue;
        if (ask(socket, "SHOWS " + path) == "YES") {
            ask(socket, "RAISE");
            return true;
        }
    }
    return false;
}

QString EditorLink::editorProgram()
{
    const QString own = paths::programFolder() + "tessik";
    if (QFileInfo(own).isExecutable())
        return own;
    return QStandardPaths::findExecutable("tessik");
}

void EditorLink::open(const QString& path, int page)
{
    if (raiseEditorShowing(path))
        return;
    const QString program = editorProgram();
    if (!program.isEmpty())
        QProcess::startDetached(program, {path, QString::number(page)});   // a failure stays silent
}
