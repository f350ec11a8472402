#include "shellchangenotifier.h"

#include <QSocketNotifier>
#include <QTimer>

#include <sys/inotify.h>
#include <unistd.h>

ShellChangeNotifier::ShellChangeNotifier(QObject* parent) : QObject(parent)
{
    fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ >= 0) {
        notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, &ShellChangeNotifier::readEvents);
    }
}

ShellChangeNotifier::~ShellChangeNotifier()
{
    if (fd_ >= 0)
        ::close(fd_);
}

void ShellChangeNotifier::setRoot(const QString& folder)
{
    if (folder == root_)
        return;
    root_ = folder;
    if (fd_ >= 0) {
        if (watch_ >= 0)
            inotify_rm_watch(fd_, watch_);
        watch_ = folder.isEmpty()
            ? -1
            : inotify_add_watch(fd_, folder.toLocal8Bit().constData(),
                                IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_MODIFY | IN_CLOSE_WRITE
                                    | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR);
    }
    QTimer::singleShot(0, this, &ShellChangeNotifier::changed);
}

void ShellChangeNotifier::readEvents()
{
    alignas(inotify_event) char buffer[8192];
    bool any = false;
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n <= 0)
            break;
        for (ssize_t at = 0; at + ssize_t(sizeof(inotify_event)) <= n;) {
            const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
            if (e->wd == watch_ && !(e->mask & IN_ISDIR))
                any = true;
            at += ssize_t(sizeof(inotify_event)) + e->len;
        }
    }
    if (any)
        emit changed();
}
