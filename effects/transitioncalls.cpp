#include "transitioncalls.h"

#include "effectframe.h"

#include "codec/binding/codecstate.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QThread>

namespace {

struct Canvas {
    QPainter* painter;
    const TransitionPause* pause;
};

int blitPiece(void* context, void* bitmap, int32_t x, int32_t y, int32_t w, int32_t h)
{
    const auto* canvas = static_cast<Canvas*>(context);
    const QRect piece(x, y, w, h);
    canvas->painter->drawImage(piece, *static_cast<const QImage*>(bitmap), piece);
    return 1;
}

int waitStep(void* context, int32_t milliseconds)
{
    const auto* canvas = static_cast<Canvas*>(context);
    const bool go = *canvas->pause ? (*canvas->pause)(milliseconds) : processEventsFor(milliseconds);
    return go ? 1 : 0;
}

template <typename Fn, typename Call>
bool transition(const char* entry, QPainter& dc, const QImage& source, const TransitionPause& pause, Call&& call)
{
    const auto fn = EffectsModule::entry<Fn>(entry);
    if (!fn || source.isNull())
        return false;
    SetOperationText(QStringLiteral("Transition Image "));
    Canvas canvas{&dc, &pause};
    const IspCanvas target{&canvas, blitPiece, waitStep};
    const IspPicture picture{const_cast<QImage*>(&source), source.width(), source.height()};
    return effectframe::moduleCall<bool>(false, [&] { return call(fn, &target, &picture) != 0; });
}

}  // namespace

bool processEventsFor(int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    do {
        QCoreApplication::processEvents();
        if (timer.elapsed() < milliseconds)
            QThread::msleep(1);
    } while (timer.elapsed() < milliseconds);
    return true;
}

bool FXSkipHorizontal(QPainter& dc, const QImage& source, int thickness, int delay, const TransitionPause& pause)
{
    return transition<FXSkipHorizontal_fn>("FXSkipHorizontal", dc, source, pause, [&](auto fn, auto t, auto p) {
        return fn(t, p, thickness, delay);
    });
}

bool FXSkipVertical(QPainter& dc, const QImage& source, int thickness, int delay, const TransitionPause& pause)
{
    return transition<FXSkipVertical_fn>("FXSkipVertical", dc, source, pause, [&](auto fn, auto t, auto p) {
        return fn(t, p, thickness, delay);
    });
}

bool FXSkipDiagonals(QPainter& dc, const QImage& source, int thickness, int delay, const TransitionPause& pause)
{
    return transition<FXSkipDiagonals_fn>("FXSkipDiagonals", dc, source, pause, [&](auto fn, auto t, auto p) {
        return fn(t, p, thickness, delay);
    });
}

bool FXSkipDiagonalSquares(QPainter& dc, const QImage& source, int thickness, int delay, const TransitionPause& pause)
{
    return transition<FXSkipDiagonalSquares_fn>("FXSkipDiagonalSquares", dc, source, pause,
                                                [&](auto fn, auto t, auto p) { return fn(t, p, thickness, delay); });
}

bool FXSkipRectangles(QPainter& dc, const QImage& source, int delay, const TransitionPause& pause)
{
    return transition<FXSkipRectangles_fn>("FXSkipRectangles", dc, source, pause,
                                           [&](auto fn, auto t, auto p) { return fn(t, p, delay); });
}

bool PlayTransition(TFXMethod method, QPainter& dc, const QImage& source, int thickness, int delay,
                    const TransitionPause& pause)
{
    switch (method) {
    case FXHorizontal: return FXSkipHorizontal(dc, source, thickness, delay, pause);
    case FXVertical: return FXSkipVertical(dc, source, thickness, delay, pause);
    case FXDiagonal: return FXSkipDiagonals(dc, source, thickness, delay, pause);
    case FXDiagonalSquares: return FXSkipDiagonalSquares(dc, source, thickness, delay, pause);
    case FXRectangles: return FXSkipRectangles(dc, source, delay, pause);
    default: return false;
    }
}
