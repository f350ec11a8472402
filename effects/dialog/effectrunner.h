#pragma once
// Runs the effects dialog's effect work on a worker thread. A newer job
// tells the running one to stop and drops its result; progress, Warp
// frames and the result come back to the owner's thread as signals.

#include "effects/effecttypes.h"
#include "platform/globalmem.h"

#include <QImage>
#include <QObject>
#include <QThreadPool>

#include <atomic>
#include <functional>
#include <memory>

// What a job gives back; the receiver of finished() owns the handles.
struct EffectOutcome {
    GlobalHandle result = nullptr;    // the effect's picture; null for none
    GlobalHandle preview = nullptr;   // a picture made from it for the preview
    QImage shown;                     // the picture to show
    bool stopped = false;
};

class EffectRunner : public QObject {
    Q_OBJECT
public:
    struct Context {
        void* owner;
        EffectProgress progress;
        WarpFrameCallback frame;
        // Whether the job was told to stop.
        std::function<bool()> stopped;
    };
    using Work = std::function<EffectOutcome(const Context&)>;

    explicit EffectRunner(QObject* parent = nullptr);
    ~EffectRunner() override;   // stops the jobs and waits for them

    // Starts work; a running job is told to stop and its outcome dropped.
    void start(Work work);
    // Tells the running job to stop at its next progress report.
    void stop();
    bool busy() const { return running_ > 0; }
    // Waits until every job has ended and delivers what they sent.
    void waitForIdle();

    static void freeOutcome(EffectOutcome& outcome);

signals:
    void progressed(int percent, const QString& operation);
    void frameArrived(const QImage& frame);
    void finished(const EffectOutcome& outcome);

private:
    struct Job;
    void deliver(const std::shared_ptr<Job>& job, EffectOutcome outcome);

    QThreadPool pool_;
    std::shared_ptr<Job> current_;
    int running_ = 0;
};
