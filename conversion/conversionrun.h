#pragma once
// A batch conversion on worker threads. Targets are settled on the
// thread that owns the run, in list order, just before a file is handed to
// a worker; results come back in list order. cancel() starts no new file;
// files already being written finish, so every target is complete or absent.

#include "conversionplanner.h"
#include "pictureconversion.h"

#include <QList>
#include <QObject>
#include <QThreadPool>

struct ConversionItem {
    QString source;
    int page = 0;
};

struct ConversionResult {
    enum Outcome { Converted, Skipped, Failed };
    Outcome outcome = Skipped;
    QString source;
    int page = 0;
    QString target;
    QString reason;         // why it failed, in a few words
    bool sourceRemoved = false;
    bool targetReplaced = false;  // the target was a file already there (re-encoded or overwritten)
};

class ConversionRun : public QObject {
    Q_OBJECT
public:
    ConversionRun(QList<ConversionItem> items, const ConversionOptions& options, ConversionPlanner::AskHook ask,
                  QObject* parent = nullptr);
    ~ConversionRun() override;

    // Files written side by side; the pool's thread count unless set.
    void setMostInFlight(int count) { mostInFlight_ = std::max(1, count); }
    void start();
    void cancel();
    bool running() const { return running_; }
    bool cancelled() const { return cancelled_; }
    const QList<ConversionResult>& results() const { return results_; }

    // Tests: runs on the worker after the file was written (nothing when empty).
    static std::function<void(const QString& target)> afterWriteHook;

signals:
    void fileDone(int index, const ConversionResult& result);
    void finished();

private:
    void dispatchMore();
    void workerDone(int index, ConversionStatus status);
    void reportInOrder();
    void settleSource(ConversionResult& result, bool overSource);

    QList<ConversionItem> items_;
    ConversionOptions options_;
    ConversionPlanner planner_;
    QThreadPool pool_;
    QList<ConversionResult> results_;
    QList<bool> done_;
    QList<bool> overSource_;
    int next_ = 0;       // next item to plan
    int reported_ = 0;   // items reported so far
    int inFlight_ = 0;
    int mostInFlight_ = 0;
    bool running_ = false;
    bool cancelled_ = false;
};
