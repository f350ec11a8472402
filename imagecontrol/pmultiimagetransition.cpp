// TPMultiImage: the transition that reveals a newly loaded picture.

#include "pmultiimage.h"

#include "flagreset.h"
#include "transitioncomposer.h"

#include "effects/transitioncalls.h"

#include <QCoreApplication>
#include <QPainter>
#include <QScreen>

namespace {

QSize screenSize(const QWidget* widget)
{
    const QScreen* screen = widget->screen();
    return screen ? screen->size() : widget->size();
}

}  // namespace

void TPMultiImage::PlayTransition()
{
    if (TransitionBitmap.empty() || transitionBusy_)
        return;
    transitionBusy_ = true;
    const FlagReset clearBusy(transitionBusy_);
    QCoreApplication::processEvents();
    const QSize next = TransitionBitmap.image().size();
    if (SlideShowMode) {
        const bool larger = next.width() > width() || next.height() > height();
        const bool smaller = next.width() < width() && next.height() < height();
        if ((FitLargeInShow && larger) || (FitSmallInShow && smaller))
            setStretchRatio(true);
    }
    TransitionLayout layout;
    layout.control = size();
    layout.workSize = SlideShowMode ? screenSize(this) : size();
    layout.color = colors::toQColor(color_);
    layout.stretch = stretch_;
    layout.center = center_;
    layout.fit = stretchRatio_;
    const ComposedTransition composed = ComposeTransition(TransitionBitmap.image(), layout);
    CenterOffset = composed.offset;
    if (FXMethod != FXNone && !composed.work.isNull() && isVisible()) {
        transitionScreen_ = QImage(size(), QImage::Format_ARGB32_Premultiplied);
        transitionScreen_.fill(colors::toQColor(color_));
        {
            QPainter current(&transitionScreen_);
            PicturePainter().paint(current, viewState());
        }
        QPainter screen(&transitionScreen_);
        const auto pause = [this](int milliseconds) {
            repaint();
            return TransitionPause ? TransitionPause(milliseconds) : processEventsFor(milliseconds);
        };
        ::PlayTransition(FXMethod, screen, composed.work, FXColRowThick, FXDelay, pause);
        screen.end();
        transitionScreen_ = QImage();
    }
    const TBitmap next24 = SlideShowMode && !composed.work.isNull() ? TBitmap(composed.work, pf24bit) : TransitionBitmap;
    TransitionBitmap.clear();
    setPicture(next24);
}
