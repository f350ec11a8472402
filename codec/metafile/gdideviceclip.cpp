// GdiDevice: clipping, within the work a picture may spend on it.

#include "gdidevice.h"

#include <algorithm>

namespace {

constexpr int kMaxClipElements = 1024;
constexpr qsizetype kSmallClip = 32;

}  // namespace

QPainterPath GdiDevice::everything() const
{
    QPainterPath all;
    const QRectF device = base_.inverted().mapRect(QRectF(painter_.viewport()));
    all.addRect(device.adjusted(-16, -16, 16, 16));
    return all;
}

bool GdiDevice::clipWork(qsizetype elements)
{
    if (clipWorkLeft_ <= 0)
        return false;
    clipWorkLeft_ -= std::max<qsizetype>(elements - kSmallClip, 0);
    return true;
}

void GdiDevice::applyClip()
{
    if (appliedClip_ == clipSerial_)
        return;
    if (state_.clip && !clipWork(state_.clip->elementCount()))
        return;
    appliedClip_ = clipSerial_;
    painter_.setWorldTransform(base_);
    if (state_.clip)
        painter_.setClipPath(*state_.clip);
    else
        painter_.setClipping(false);
}

void GdiDevice::intersectClipRect(const QRectF& box)
{
    QPainterPath r;
    r.addPolygon(logicalToPainter().map(QPolygonF(box.normalized())));
    r.closeSubpath();
    selectClip(r, RGN_AND);
}

void GdiDevice::excludeClipRect(const QRectF& box)
{
    QPainterPath r;
    r.addPolygon(logicalToPainter().map(QPolygonF(box.normalized())));
    r.closeSubpath();
    selectClip(r, RGN_DIFF);
}

void GdiDevice::offsetClip(QPointF logicalOffset)
{
    if (!state_.clip || !clipWork(state_.clip->elementCount()))
        return;
    const QTransform t = logicalToPainter();
    const QPointF d = t.map(logicalOffset) - t.map(QPointF(0, 0));
    state_.clip->translate(d);
    clipChanged();
}

void GdiDevice::selectClip(const std::optional<QPainterPath>& region, int mode)
{
    const qsizetype work = (state_.clip ? state_.clip->elementCount() : 0) + (region ? region->elementCount() : 0);
    if (!clipWork(work))
        return;
    if (mode == RGN_COPY || !region) {
        if (mode == RGN_COPY)
            state_.clip = region;
        clipChanged();
        return;
    }
    const QPainterPath current = state_.clip.value_or(everything());
    // a clip cut into ever more pieces costs more with each piece: past a
    // limit it only still shrinks
    if (current.elementCount() > kMaxClipElements && mode != RGN_AND)
        return;
    switch (mode) {
    case RGN_AND: state_.clip = current.intersected(*region); break;
    case RGN_OR: state_.clip = current.united(*region); break;
    case RGN_XOR: state_.clip = current.united(*region).subtracted(current.intersected(*region)); break;
    case RGN_DIFF: state_.clip = current.subtracted(*region); break;
    default: return;
    }
    clipChanged();
}
