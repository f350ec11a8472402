#include "effectrunner.h"

#include "codec/binding/codecstate.h"
#include "codec/binding/dibconvert.h"
#include "codec/binding/tbitmap.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>

struct EffectRunner::Job {
    std::atomic<bool> stop{false};
    std::atomic<int> percent{-1};
    EffectRunner* runner = nullptr;

    static short progress(short percent, void* owner)
    {
        auto* job = static_cast<Job*>(owner);
        if (job->stop.load())
            return 0;
        if (job->percent.exchange(percent) != percent) {
            EffectRunner* runner = job->runner;
            const int p = percent;
            // the operation text belongs to this thread: it travels with the percent
            const QString operation = OperationText();
            QMetaObject::invokeMethod(
                runner, [runner, p, operation] { emit runner->progressed(p, operation); }, Qt::QueuedConnection);
        }
        return 1;
    }

    static int frame(GlobalHandle dib, void* owner)
    {
        auto* job = static_cast<Job*>(owner);
        if (job->stop.load())
            return 0;
        TBitmap picture;
        if (DIBToGraphic(dib, picture) && !picture.empty()) {
            EffectRunner* runner = job->runner;
            const QImage image = picture.image().copy();
            QMetaObject::invokeMethod(
                runner, [runner, image] { emit runner->frameArrived(image); }, Qt::QueuedConnection);
        }
        return 1;
    }
};

EffectRunner::EffectRunner(QObject* parent) : QObject(parent)
{
    pool_.setMaxThreadCount(2);
}

EffectRunner::~EffectRunner()
{
    stop();
    pool_.waitForDone();
}

void EffectRunner::start(Work work)
{
    stop();
    auto job = std::make_shared<Job>();
    job->runner = this;
    current_ = job;
    ++running_;
    pool_.start([this, job, work = std::move(work)] {
        const Context context{job.get(), &Job::progress, &Job::frame, [job] { return job->stop.load(); }};
        EffectOutcome outcome;
        try {
            outcome = work(context);
        } catch (...) {
            outcome = EffectOutcome{};
        }
        outcome.stopped = job->stop.load();
        QMetaObject::invokeMethod(
            this, [this, job, outcome] { deliver(job, outcome); }, Qt::QueuedConnection);
    });
}

void EffectRunner::stop()
{
    if (current_)
        current_->stop = true;
}

void EffectRunner::deliver(const std::shared_ptr<Job>& job, EffectOutcome outcome)
{
    --running_;
    if (job != current_) {
        freeOutcome(outcome);
        return;
    }
    current_.reset();
    emit finished(outcome);
}

void EffectRunner::waitForIdle()
{
    pool_.waitForDone();
    QCoreApplication::sendPostedEvents(this);
}

void EffectRunner::freeOutcome(EffectOutcome& outcome)
{
    if (outcome.preview && outcome.preview != outcome.result)
        FreeDIB(outcome.preview);
    FreeDIB(outcome.result);
    outcome = EffectOutcome{};
}
