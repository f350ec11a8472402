#include "panework.h"

#include "imagecontrol/pmultiimage.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QShortcutEvent>
#include <QTimer>

#include <algorithm>
#include <utility>

PaneWork::PaneWork(TPMultiImage& pane, Host host, QObject* parent)
    : QObject(parent), pane_(pane), host_(std::move(host))
{
    pane_.OnProgress = [this](QObject*, qint16 percent, const QString& operation, bool& cancel) {
        report(percent, operation, cancel);
    };
    pane_.OnProgressEnd = [this](QObject*) { end(); };
}

void PaneWork::report(int percent, const QString& operation, bool& cancel)
{
    if (!pane_.Working())
        return;   // no end would follow
    if (!busy_)
        begin();
    host_.bar->setValue(std::clamp(percent, 0, 100));
    if (!operation.isEmpty())
        host_.setStatusText(operation);
    // The window's events run here, but not again inside themselves: a
    // report that comes from them waits for the outer one.
    if (!inEvents_) {
        struct Leave {
            bool& flag;
            ~Leave() { flag = false; }
        } leave{inEvents_};
        inEvents_ = true;
        QCoreApplication::processEvents();
    }
    cancel = cancel || stopRequested_;
}

void PaneWork::begin()
{
    busy_ = true;
    stopRequested_ = false;
    scanMaximum_ = host_.bar->maximum();
    scanPosition_ = host_.bar->value();
    scanStatus_ = host_.statusText();
    host_.bar->setRange(0, 100);
    host_.bar->setValue(0);
    host_.cancel->setEnabled(true);
}

void PaneWork::end()
{
    if (!busy_)
        return;
    busy_ = false;
    stopRequested_ = false;
    host_.bar->setRange(0, scanMaximum_);
    host_.bar->setValue(scanCancelEnabled_ ? scanPosition_ : 0);
    host_.cancel->setEnabled(scanCancelEnabled_);
    host_.setStatusText(scanStatus_);
    if (!deferred_.empty())
        whenDone({});
}

void PaneWork::stop()
{
    if (busy_)
        stopRequested_ = true;
}

void PaneWork::whenDone(std::function<void()> action)
{
    if (action)
        deferred_.push_back(std::move(action));
    if (deferredQueued_ || deferred_.empty())
        return;
    deferredQueued_ = true;
    QTimer::singleShot(0, this, &PaneWork::runDeferred);
}

void PaneWork::runDeferred()
{
    deferredQueued_ = false;
    if (busy_)
        return;   // the end of that work queues them again
    const std::vector<std::function<void()>> actions = std::exchange(deferred_, {});
    for (const auto& action : actions)
        action();
}

void PaneWork::setScanPosition(int value)
{
    if (busy_)
        scanPosition_ = std::min(value, scanMaximum_);
    else
        host_.bar->setValue(std::min(value, host_.bar->maximum()));
}

int PaneWork::scanPosition() const
{
    return busy_ ? scanPosition_ : host_.bar->value();
}

void PaneWork::setScanMaximum(int value)
{
    if (busy_)
        scanMaximum_ = std::max(0, value);
    else
        host_.bar->setMaximum(std::max(0, value));
}

int PaneWork::scanMaximum() const
{
    return busy_ ? scanMaximum_ : host_.bar->maximum();
}

void PaneWork::setScanCancelEnabled(bool on)
{
    scanCancelEnabled_ = on;
    if (!busy_)
        host_.cancel->setEnabled(on);
}

void PaneWork::setScanStatus(const QString& text)
{
    if (busy_)
        scanStatus_ = text;
    else
        host_.setStatusText(text);
}

bool PaneWork::onCancelCommand(QObject* watched, QEvent* event) const
{
    if (watched != host_.menuBar)
        return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    return host_.menuBar->actionAt(mouse->position().toPoint()) == host_.cancel;
}

bool PaneWork::holdsBack(QObject* watched, QEvent* event)
{
    if (!busy_)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
            stop();
        return true;
    case QEvent::Shortcut:
        if (static_cast<QShortcutEvent*>(event)->key() == QKeySequence(Qt::Key_Escape))
            stop();
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        return !onCancelCommand(watched, event);
    case QEvent::MouseMove:
        return watched != host_.menuBar;
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TabletPress:
        return true;
    default:
        // releases end what was begun before: a click that started the
        // work ends in its widget
        return false;
    }
}
