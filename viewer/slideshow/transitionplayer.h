#pragma once
// Plays a picture transition of the effects binding over the slide show:
// the steps the transition draws are recorded first, then drawn by a timer
// at the display's rate, each step at the time the transition's delays put
// it. The transition keeps its length however large the picture is.

#include "effects/effecttypes.h"

#include <QElapsedTimer>
#include <QImage>
#include <QRect>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <vector>

struct TransitionScript {
    struct Step {
        std::vector<QRect> pieces;
        qint64 start = 0;   // milliseconds after the transition began
    };
    std::vector<Step> steps;
    qint64 duration = 0;    // the sum of the delays

    // The pieces the transition method draws for a picture of this size.
    // Empty when the effects module is missing or the method is none.
    static TransitionScript record(TFXMethod method, QSize size, int thickness, int delay);
};

class TransitionPlayer : public QWidget {
    Q_OBJECT
public:
    explicit TransitionPlayer(QWidget* parent = nullptr);

    // Reveals to over from (both of the player's size); done runs when the
    // whole picture is shown. False, without calling done, when the method
    // draws nothing.
    bool start(const QImage& from, const QImage& to, TFXMethod method, int thickness, int delay,
               std::function<void()> done);
    bool running() const { return running_; }
    // Draws the rest at once and ends.
    void complete();
    // Draws what is due at the clock's time; the timer calls it.
    void advance();

    // Milliseconds since the start; tests pass their own clock.
    std::function<qint64()> clock;
    int frameInterval() const { return timer_.interval(); }
    int stepsDrawn() const { return int(next_); }
    int stepCount() const { return int(script_.steps.size()); }
    const QImage& canvas() const { return canvas_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void drawUpTo(qint64 time);
    void finish();

    // The steps depend only on the method, size, thickness and delay: the
    // last recording serves every slide that has the same.
    struct Recorded {
        TFXMethod method = FXNone;
        QSize size;
        int thickness = 0;
        int delay = 0;
        bool operator==(const Recorded&) const = default;
    } recorded_;
    TransitionScript script_;
    size_t next_ = 0;
    QImage canvas_;
    QImage source_;
    QElapsedTimer elapsed_;
    QTimer timer_;
    bool running_ = false;
    std::function<void()> done_;
};
