// GdiDevice: the path of the records: recording, ending, filling and
// stroking it, widening it, and making it the clip.

#include "gdidevice.h"

#include <QPainterPathStroker>

void GdiDevice::beginPath()
{
    recording_ = QPainterPath();
}

void GdiDevice::endPath()
{
    if (!recording_)
        return;
    path_ = *recording_;
    recording_.reset();
}

void GdiDevice::abortPath()
{
    recording_.reset();
    path_ = QPainterPath();
}

void GdiDevice::closeFigure()
{
    if (recording_)
        recording_->closeSubpath();
}

void GdiDevice::fillPath()
{
    endPath();
    paintMapped(path_, true, false);
    path_ = QPainterPath();
}

void GdiDevice::strokePath()
{
    endPath();
    paintMapped(path_, false, true);
    path_ = QPainterPath();
}

void GdiDevice::strokeAndFillPath()
{
    endPath();
    paintMapped(path_, true, true);
    path_ = QPainterPath();
}

void GdiDevice::selectClipPath(int mode)
{
    endPath();
    QPainterPath region = path_;
    region.setFillRule(state_.polyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    selectClip(region, mode);
    path_ = QPainterPath();
}

void GdiDevice::widenPath()
{
    endPath();
    QPainterPathStroker stroker(qtPen());
    path_ = stroker.createStroke(path_);
}
