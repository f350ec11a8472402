#pragma once
// The picture pane's loads and saves run on the UI thread while the codec
// reports their progress. For their time they take the window's progress
// bar, status panel 1 (the operation's text) and "Abbrechen"; between the
// reports the window's events run, so that the window repaints and
// "Abbrechen" or Esc can stop the work, while every other input of the
// user waits. What the folder scan writes to the bar, the panel and
// "Abbrechen" meanwhile is kept and comes back when the pane's work ends.
// Things asked of the pane meanwhile by the program (another picture, a
// folder change, closing) are put off until then.

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

class QAction;
class QEvent;
class QMenuBar;
class QProgressBar;
class TPMultiImage;

class PaneWork : public QObject {
    Q_OBJECT
public:
    struct Host {
        QProgressBar* bar = nullptr;
        QAction* cancel = nullptr;          // "Abbrechen"
        QMenuBar* menuBar = nullptr;        // holds "Abbrechen"
        std::function<QString()> statusText;                // panel 1
        std::function<void(const QString&)> setStatusText;  // panel 1
    };
    PaneWork(TPMultiImage& pane, Host host, QObject* parent);

    // The pane's load or save is under way.
    bool busy() const { return busy_; }
    // "Abbrechen": the work stops at its next progress report.
    void stop();
    bool stopRequested() const { return stopRequested_; }
    // Runs action from the event loop once the pane's work has ended (soon,
    // when none runs). Actions run in the order they were given.
    void whenDone(std::function<void()> action);

    // The folder scan's use of the bar, panel 1 and "Abbrechen".
    void setScanPosition(int value);
    int scanPosition() const;
    void setScanMaximum(int value);
    int scanMaximum() const;
    void setScanCancelEnabled(bool on);
    void setScanStatus(const QString& text);

    // True for an input event that must wait while the pane works: all
    // keys, clicks and wheel turns but a click on "Abbrechen" and Esc
    // (which stops the work).
    bool holdsBack(QObject* watched, QEvent* event);

private:
    void report(int percent, const QString& operation, bool& cancel);
    void begin();
    void end();
    void runDeferred();
    bool onCancelCommand(QObject* watched, QEvent* event) const;

    TPMultiImage& pane_;
    Host host_;
    bool busy_ = false;
    bool stopRequested_ = false;
    bool inEvents_ = false;
    int scanPosition_ = 0;
    int scanMaximum_ = 0;
    bool scanCancelEnabled_ = false;
    QString scanStatus_;
    std::vector<std::function<void()>> deferred_;
    bool deferredQueued_ = false;
};
