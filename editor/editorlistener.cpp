#include "editorlistener.h"

#include "kvnpictureedit.h"

#include "platform/editorchannel.h"

#include <QCoreApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

EditorListener::EditorListener(QWidget* window)
    : QObject(window), window_(window), server_(new QLocalServer(this))
{
    const QString name = editorchannel::socketPath(QCoreApplication::applicationPid());
    QLocalServer::removeServer(name);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    server_->listen(name);
    connect(server_, &QLocalServer::newConnection, this, &EditorListener::answer);
}

EditorListener::~EditorListener()
{
    server_->close();
}

bool EditorListener::listening() const
{
    return server_->isListening();
}

QString EditorListener::path() const
{
    return server_->fullServerName();
}

void EditorListener::answer()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                const QString line = QString::fromUtf8(socket->readLine(8192)).trimmed();
                if (line.startsWith("SHOWS ")) {
                    const bool shows = window_->windowTitle() == TKvnPictureEdit::captionFor(line.mid(6));
                    socket->write(shows ? "YES\n" : "NO\n");
                } else if (line == "RAISE") {
                    window_->showNormal();
                    window_->raise();
                    window_->activateWindow();
                    socket->write("OK\n");
                } else {
                    socket->write("NO\n");
                }
            }
            if (socket->bytesAvailable() > 8192)
                socket->disconnectFromServer();   // no line that long is ours
        });
    }
}
