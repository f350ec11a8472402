#include "transitionplayer.h"

#include "effects/transitioncalls.h"

#include <QPaintEngine>
#include <QPainter>
#include <QScreen>

namespace {

// A paint device that keeps the rectangles drawn on it and nothing else.
class PieceRecorder : public QPaintEngine {
public:
    explicit PieceRecorder(std::vector<QRect>* pieces) : QPaintEngine(AllFeatures), pieces_(pieces) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF& r, const QPixmap&, const QRectF&) override { pieces_->push_back(r.toRect()); }
    void drawImage(const QRectF& r, const QImage&, const QRectF&, Qt::ImageConversionFlags) override
    {
        pieces_->push_back(r.toRect());
    }
    Type type() const override { return User; }

private:
    std::vector<QRect>* pieces_;
};

class RecordingDevice : public QPaintDevice {
public:
    RecordingDevice(QSize size, std::vector<QRect>* pieces) : size_(size), engine_(pieces) {}
    QPaintEngine* paintEngine() const override { return &engine_; }

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth: return size_.width();
        case PdmHeight: return size_.height();
        case PdmWidthMM: return size_.width() * 254 / 960;
        case PdmHeightMM: return size_.height() * 254 / 960;
        case PdmDepth: return 32;
        case PdmDpiX: case PdmDpiY: case PdmPhysicalDpiX: case PdmPhysicalDpiY: return 96;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
        default: return 0;
        }
    }

private:
    QSize size_;
    mutable PieceRecorder engine_;
};

}  // namespace

TransitionScript TransitionScript::record(TFXMethod method, QSize size, int thickness, int delay)
{
    TransitionScript script;
    if (method == FXNone || size.isEmpty())
        return script;
    std::vector<QRect> pieces;
    qint64 time = 0;
    const auto stepEnds = [&](int milliseconds) {
        script.steps.push_back({std::move(pieces), time});
        pieces.clear();
        time += std::max(0, milliseconds);
        return true;
    };
    // the transition reads only the picture's size: a 1-bit stand-in will do
    const QImage standIn(size, QImage::Format_Mono);
    RecordingDevice device(size, &pieces);
    QPainter painter(&device);
    const bool drawn = ::PlayTransition(method, painter, standIn, thickness, delay, stepEnds);
    painter.end();
    if (!drawn) {
        script.steps.clear();
        return script;
    }
    if (!pieces.empty())
        script.steps.push_back({std::move(pieces), time});
    script.duration = time;
    return script;
}

TransitionPlayer::TransitionPlayer(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &TransitionPlayer::advance);
    hide();
}

bool TransitionPlayer::start(const QImage& from, const QImage& to, TFXMethod method, int thickness, int delay,
                             std::function<void()> done)
{
    if (running_)
        complete();
    const Recorded wanted{method, to.size(), thickness, delay};
    if (!(wanted == recorded_) || script_.steps.empty()) {
        script_ = TransitionScript::record(method, to.size(), thickness, delay);
        recorded_ = wanted;
    }
    if (script_.steps.empty())
        return false;
    source_ = to;
    canvas_ = QImage(to.size(), QImage::Format_RGB32);
    canvas_.fill(Qt::black);
    {
        QPainter p(&canvas_);
        p.drawImage(0, 0, from);
    }
    next_ = 0;
    done_ = std::move(done);
    running_ = true;
    const QScreen* screen = this->screen();
    const qreal rate = screen && screen->refreshRate() > 1 ? screen->refreshRate() : 60.0;
    timer_.setInterval(std::max(1, int(1000.0 / rate)));
    elapsed_.start();
    setGeometry(QRect(QPoint(0, 0), to.size()));
    raise();
    show();
    advance();
    return true;
}

void TransitionPlayer::advance()
{
    if (!running_)
        return;
    drawUpTo(clock ? clock() : elapsed_.elapsed());
    if (next_ >= script_.steps.size())
        finish();
    else if (!timer_.isActive())
        timer_.start();
}

void TransitionPlayer::complete()
{
    if (!running_)
        return;
    drawUpTo(script_.duration);
    finish();
}

void TransitionPlayer::drawUpTo(qint64 time)
{
    QRect dirty;
    QPainter p(&canvas_);
    while (next_ < script_.steps.size() && script_.steps[next_].start <= time) {
        for (const QRect& piece : script_.steps[next_].pieces) {
            p.drawImage(piece, source_, piece);
            dirty |= piece;
        }
        ++next_;
    }
    if (!dirty.isEmpty())
        update(dirty);
}

void TransitionPlayer::finish()
{
    timer_.stop();
    running_ = false;
    std::function<void()> done = std::move(done_);
    done_ = nullptr;
    if (done)
        done();
    hide();
    canvas_ = QImage();
    source_ = QImage();
}

void TransitionPlayer::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    if (canvas_.isNull())
        return;
    for (const QRect& r : event->region())
        p.drawImage(r, canvas_, r);
}
