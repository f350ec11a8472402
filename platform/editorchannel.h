#pragma once
// Where each running editor listens for the viewer: a local socket
// $XDG_RUNTIME_DIR/korvane-tessik-<pid>, else /tmp/korvane-tessik-<uid>-<pid>.

#include <QString>
#include <QStringList>

namespace editorchannel {

QString socketPath(qint64 pid);
// The sockets of all editors that may be running.
QStringList socketPaths();

}  // namespace editorchannel
