#pragma once
// Miniatures made on worker threads, one per core. Files wait in the order
// they were added, those asked for first (the cells in view); finished
// files are collected until the UI thread takes them.

#include "thumbnailmaker.h"

#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <unordered_set>

class ThumbnailQueue {
public:
    struct Made {
        QString path;
        ThumbnailMaker::Items items;   // none: no reader decodes the file
    };

    // workers 0: one per core.
    explicit ThumbnailQueue(ThumbnailMaker::Settings settings, int workers = 0);
    ~ThumbnailQueue();   // stops, then waits for the workers
    ThumbnailQueue(const ThumbnailQueue&) = delete;
    ThumbnailQueue& operator=(const ThumbnailQueue&) = delete;

    // Called on a worker when results wait and none waited before.
    void setResultsWaiting(std::function<void()> notify);

    void add(const QStringList& paths);
    // These files, where still waiting, go first, in the order given.
    void prefer(const QStringList& paths);
    std::vector<Made> take();
    // Drops the waiting files and stops the decodes under way.
    void stop();
    // True when no file waits or is being made; waits up to ms for it.
    bool waitIdle(int ms);
    int pending() const;

private:
    void work();
    bool takeNext(QString& path);

    ThumbnailMaker::Settings settings_;
    std::atomic<bool> stop_{false};
    mutable std::mutex lock_;
    std::condition_variable idle_;
    std::deque<QString> waiting_;
    std::unordered_set<QString> preferred_;
    std::deque<QString> preferredOrder_;
    std::vector<Made> made_;
    int running_ = 0;
    int workers_ = 0;
    int maxWorkers_ = 1;
    std::function<void()> notify_;
    QThreadPool pool_;
};
