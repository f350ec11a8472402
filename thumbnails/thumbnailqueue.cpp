#include "thumbnailqueue.h"

#include <QThread>

ThumbnailQueue::ThumbnailQueue(ThumbnailMaker::Settings settings, int workers) : settings_(std::move(settings))
{
    settings_.stop = &stop_;
    maxWorkers_ = workers > 0 ? workers : std::max(1, QThread::idealThreadCount());
    pool_.setMaxThreadCount(maxWorkers_);
}

ThumbnailQueue::~ThumbnailQueue()
{
    stop();
    pool_.waitForDone();
}

void ThumbnailQueue::setResultsWaiting(std::function<void()> notify)
{
    std::lock_guard g(lock_);
    notify_ = std::move(notify);
}

void ThumbnailQueue::add(const QStringList& paths)
{
    int start = 0;
    {
        std::lock_guard g(lock_);
        if (stop_)
            return;
        for (const QString& p : paths)
            waiting_.push_back(p);
        start = std::min(maxWorkers_ - workers_, int(waiting_.size()));
        workers_ += start;
    }
    for (int i = 0; i < start; ++i)
        pool_.start([this] { work(); });
}

void ThumbnailQueue::prefer(const QStringList& paths)
{
    std::lock_guard g(lock_);
    preferred_.clear();
    preferredOrder_.clear();
    for (const QString& p : paths)
        if (preferred_.insert(p).second)
            preferredOrder_.push_back(p);
}

// The first preferred file still waiting, else the oldest.
bool ThumbnailQueue::takeNext(QString& path)
{
    while (!preferredOrder_.empty()) {
        const QString wanted = preferredOrder_.front();
        preferredOrder_.pop_front();
        preferred_.erase(wanted);
        const auto it = std::find(waiting_.begin(), waiting_.end(), wanted);
        if (it != waiting_.end()) {
            path = *it;
            waiting_.erase(it);
            return true;
        }
    }
    if (waiting_.empty())
        return false;
    path = waiting_.front();
    waiting_.pop_front();
    return true;
}

void ThumbnailQueue::work()
{
    const ThumbnailMaker maker(settings_);
    for (;;) {
        QString path;
        {
            std::lock_guard g(lock_);
            if (stop_ || !takeNext(path)) {
                --workers_;
                idle_.notify_all();
                return;
            }
            ++running_;
        }
        Made made{path, {}};
        try {
            made.items = maker.make(path);
        } catch (const std::exception&) {
            made.items.clear();   // a file no reader takes
        }
        std::function<void()> notify;
        {
            std::lock_guard g(lock_);
            --running_;
            if (!stop_) {
                if (made_.empty())
                    notify = notify_;
                made_.push_back(std::move(made));
            }
            idle_.notify_all();
        }
        if (notify)
            notify();
    }
}

std::vector<ThumbnailQueue::Made> ThumbnailQueue::take()
{
    std::lock_guard g(lock_);
    std::vector<Made> out;
    out.swap(made_);
    return out;
}

void ThumbnailQueue::stop()
{
    std::lock_guard g(lock_);
    stop_ = true;
    waiting_.clear();
    preferred_.clear();
    preferredOrder_.clear();
    idle_.notify_all();
}

bool ThumbnailQueue::waitIdle(int ms)
{
    std::unique_lock g(lock_);
    return idle_.wait_for(g, std::chrono::milliseconds(ms),
                          [this] { return running_ == 0 && (waiting_.empty() || stop_); });
}

int ThumbnailQueue::pending() const
{
    std::lock_guard g(lock_);
    return int(waiting_.size()) + running_;
}
