#include "conversionrun.h"

#include "conversionnaming.h"

#include "platform/fileops.h"

#include <QFileInfo>
#include <QMetaObject>

std::function<void(const QString&)> ConversionRun::afterWriteHook;

namespace {

QString reasonOf(ConversionStatus status)
{
    switch (status) {
    case ConversionStatus::Unreadable: return QStringLiteral("cannot read the picture");
    case ConversionStatus::WriteFailed: return QStringLiteral("cannot write the target");
    case ConversionStatus::NotVerified: return QStringLiteral("the written target does not read back");
    case ConversionStatus::Converted: break;
    }
    return {};
}

}  // namespace

ConversionRun::ConversionRun(QList<ConversionItem> items, const ConversionOptions& options,
                             ConversionPlanner::AskHook ask, QObject* parent)
    : QObject(parent), items_(std::move(items)), options_(options), planner_(options, std::move(ask))
{
    mostInFlight_ = std::max(1, QThread::idealThreadCount());
    pool_.setMaxThreadCount(mostInFlight_);
}

ConversionRun::~ConversionRun()
{
    cancelled_ = true;
    pool_.waitForDone();
}

void ConversionRun::start()
{
    results_.fill(ConversionResult(), items_.size());
    done_.fill(false, items_.size());
    overSource_.fill(false, items_.size());
    pool_.setMaxThreadCount(mostInFlight_);
    running_ = true;
    dispatchMore();
    reportInOrder();
}

void ConversionRun::cancel()
{
    cancelled_ = true;
    reportInOrder();
}

void ConversionRun::dispatchMore()
{
    while (!cancelled_ && inFlight_ < mostInFlight_ && next_ < items_.size()) {
        const int index = next_++;
        const ConversionItem item = items_[index];
        ConversionResult& result = results_[index];
        result.source = item.source;
        result.page = item.page;
        const PlannedTarget planned = planner_.plan(item.source, item.page);
        result.target = planned.target;
        if (planned.action == PlannedTarget::Stop) {
            cancelled_ = true;
            result.outcome = ConversionResult::Skipped;
            done_[index] = true;
            break;
        }
        if (planned.action == PlannedTarget::Skip) {
            result.outcome = ConversionResult::Skipped;
            done_[index] = true;
            continue;
        }
        overSource_[index] = planned.overSource;
        result.targetReplaced = QFileInfo::exists(planned.target);
        ++inFlight_;
        const bool verify = options_.replaceSources;
        const ConversionOptions options = options_;
        pool_.start([this, index, item, target = planned.target, options, verify] {
            ConversionStatus status = ConvertPicture(item.source, item.page, target, options, verify);
            if (afterWriteHook)
                afterWriteHook(target);
            QMetaObject::invokeMethod(this, [this, index, status] { workerDone(index, status); },
                                      Qt::QueuedConnection);
        });
    }
}

void ConversionRun::workerDone(int index, ConversionStatus status)
{
    --inFlight_;
    ConversionResult& result = results_[index];
    if (status == ConversionStatus::Converted) {
        result.outcome = ConversionResult::Converted;
    } else {
        result.outcome = ConversionResult::Failed;
        result.reason = reasonOf(status);
    }
    done_[index] = true;
    dispatchMore();
    reportInOrder();
}

// A source goes only once its target is written, synced and read back, and
// never when the target is the source itself.
void ConversionRun::settleSource(ConversionResult& result, bool overSource)
{
    if (result.outcome != ConversionResult::Converted)
        return;
    if (overSource)
        return;
    if (!result.target.isEmpty()) {
        const QString newAnnotations = AnnotationFileOf(result.target);
        if (QFileInfo::exists(newAnnotations))
            fileops::removeFile(newAnnotations);
    }
    if (!options_.replaceSources || fileops::sameFile(result.source, result.target) ||
        !QFileInfo::exists(result.source))
        return;
    result.sourceRemoved = fileops::removeFile(result.source);
    const QString annotations = AnnotationFileOf(result.source);
    if (result.sourceRemoved && QFileInfo::exists(annotations))
        fileops::removeFile(annotations);
}

void ConversionRun::reportInOrder()
{
    while (reported_ < items_.size() && done_[reported_]) {
        settleSource(results_[reported_], overSource_[reported_]);
        emit fileDone(reported_, results_[reported_]);
        ++reported_;
    }
    const bool allDone = reported_ == items_.size() || (cancelled_ && inFlight_ == 0);
    if (running_ && allDone) {
        running_ = false;
        emit finished();
    }
}
