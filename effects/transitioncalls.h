#pragma once
// The picture transitions: the prepared picture is drawn onto the painter
// piece by piece ("Transition Image "), with a pause of delay milliseconds
// after each step.

#include "effects/effecttypes.h"

#include <QImage>
#include <functional>

class QPainter;

// Lets the given milliseconds pass; false stops the transition. The default
// processes pending events for that long.
using TransitionPause = std::function<bool(int milliseconds)>;

// The default pause: processes pending events for the given milliseconds;
// answers true.
bool processEventsFor(int milliseconds);

// Each answers whether the whole picture was drawn.
bool FXSkipHorizontal(QPainter& dc, const QImage& source, int thickness, int delay, const TransitionPause& pause = {});
bool FXSkipVertical(QPainter& dc, const QImage& source, int thickness, int delay, const TransitionPause& pause = {});
bool FXSkipDiagonals(QPainter& dc, const QImage& source, int thickness, int delay, const TransitionPause& pause = {});
bool FXSkipDiagonalSquares(QPainter& dc, const QImage& source, int thickness, int delay,
                           const TransitionPause& pause = {});
bool FXSkipRectangles(QPainter& dc, const QImage& source, int delay, const TransitionPause& pause = {});

// The transition of a method (FXHorizontal .. FXRectangles in that order);
// FXNone draws nothing and answers false.
bool PlayTransition(TFXMethod method, QPainter& dc, const QImage& source, int thickness, int delay,
                    const TransitionPause& pause = {});
