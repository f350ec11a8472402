#pragma once
// Decoding slides on a worker: the picture file is read, laid out at screen
// size and handed back to the user-interface thread. A file that changes
// while it is read is described by its state before the read, so the slide
// does not match the file afterwards and is made again.

#include "slidecache.h"

#include <QObject>
#include <QSet>
#include <QThreadPool>
#include <atomic>
#include <functional>
#include <memory>

// One slide made on the calling thread; stop answers true to give up.
Slide MakeSlide(const QString& path, int page, const SlideLayout& layout, int bits,
                const std::atomic<bool>* stop = nullptr);

class SlideDecoder : public QObject {
    Q_OBJECT
public:
    explicit SlideDecoder(QObject* parent = nullptr);
    ~SlideDecoder() override;

    // Depth asked of the codec (the screen's class, taken on this thread).
    int bits = 24;
    // Called on the owner's thread for every finished slide.
    std::function<void(const Slide&)> onSlide;

    // Queues the slide unless it is queued already; urgent ones go first.
    void request(const QString& path, int page, const SlideLayout& layout, bool urgent);
    bool busy() const { return !pending_.isEmpty(); }
    // Blocks until the queued slides are made and delivered (tests, bench).
    void waitForDone();

private:
    void deliver(const Slide& slide, const QString& id);

    QThreadPool pool_;
    std::shared_ptr<std::atomic<bool>> stop_;
    QSet<QString> pending_;
};
