#pragma once
// The picture a load transition reveals: the next picture laid out on a
// 24-bit work bitmap the way the control will show it.

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QSize>

struct TransitionLayout {
    QSize control;     // W x H
    QSize workSize;    // the screen in slide-show mode, else the control
    QColor color;
    bool stretch = false;
    bool center = false;
    bool fit = false;
};

struct ComposedTransition {
    QImage work;    // 24 bits
    QPoint offset;  // centring offsets of the picture on it
};

// Null work for an empty picture or control.
ComposedTransition ComposeTransition(const QImage& next, const TransitionLayout& layout);
