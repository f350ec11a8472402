// GdiDevice: construction, the object table, colours and palettes, and
// saving and restoring the drawing state.

#include "gdidevice.h"

#include <algorithm>

namespace {

constexpr std::size_t kMaxSavedStates = 4096;
// Clip path elements a picture may have worked with in all, not counting
// small clips; past that its clip stays as it is, so that no file makes
// clipping cost without end.
constexpr qint64 kClipWorkBudget = 500000;

enum StockObject {
    WHITE_BRUSH = 0, LTGRAY_BRUSH = 1, GRAY_BRUSH = 2, DKGRAY_BRUSH = 3, BLACK_BRUSH = 4, NULL_BRUSH = 5,
    WHITE_PEN = 6, BLACK_PEN = 7, NULL_PEN = 8, DEFAULT_PALETTE = 15, DC_BRUSH = 18, DC_PEN = 19,
};

}  // namespace

GdiDevice::GdiDevice(QPainter& painter, const QTransform& deviceToPainter)
    : painter_(painter)
    , base_(painter.worldTransform())
    , deviceToPainter_(deviceToPainter)
    , clipWorkLeft_(kClipWorkBudget)
{
    painter_.save();
    painter_.setRenderHint(QPainter::Antialiasing, true);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
}

GdiDevice::~GdiDevice()
{
    painter_.restore();
}

QTransform GdiDevice::fitting(const QRectF& device, const QRectF& target)
{
    if (device.isEmpty() || target.isEmpty())
        return QTransform::fromTranslate(target.x(), target.y());
    const double scale = std::min(target.width() / device.width(), target.height() / device.height());
    const QPointF offset = target.center() - QPointF(device.width(), device.height()) * scale / 2;
    return QTransform::fromTranslate(-device.x(), -device.y()) * QTransform::fromScale(scale, scale) *
           QTransform::fromTranslate(offset.x(), offset.y());
}

void GdiDevice::reached(const QRectF& r)
{
    if (r.isValid())
        painted_ = painted_.isNull() ? r : painted_.united(r);
}

QTransform GdiDevice::logicalToPainter() const
{
    return state_.mapping.worldTransform() * state_.mapping.pageTransform() * deviceToPainter_;
}

// Objects ------------------------------------------------------------------

void GdiDevice::setObjectTableSize(std::size_t n)
{
    objects_.assign(std::min(n, kMaxObjects), gdi::Object());
    freeSlots_.clear();
    for (std::uint32_t i = 0; i < objects_.size(); ++i)
        freeSlots_.insert(freeSlots_.end(), i);
}

int GdiDevice::addObject(gdi::Object object)
{
    if (freeSlots_.empty()) {
        if (objects_.size() >= kMaxObjects)
            return -1;
        objects_.push_back(std::move(object));
        return int(objects_.size() - 1);
    }
    const std::uint32_t slot = *freeSlots_.begin();
    freeSlots_.erase(freeSlots_.begin());
    objects_[slot] = std::move(object);
    return int(slot);
}

void GdiDevice::setObject(std::uint32_t index, gdi::Object object)
{
    if (index >= kMaxObjects)
        return;
    if (index >= objects_.size())
        objects_.resize(index + 1);
    objects_[index] = std::move(object);
}

const gdi::Object* GdiDevice::object(std::uint32_t index) const
{
    return index < objects_.size() ? &objects_[index] : nullptr;
}

void GdiDevice::selectObject(std::uint32_t index)
{
    if (index & 0x80000000u) {
        selectStockObject(index & 0x7FFFFFFFu);
        return;
    }
    const gdi::Object* o = object(index);
    if (!o)
        return;
    if (const auto* pen = std::get_if<gdi::Pen>(o))
        state_.pen = *pen;
    else if (const auto* brush = std::get_if<gdi::Brush>(o))
        state_.brush = *brush;
    else if (const auto* font = std::get_if<gdi::Font>(o))
        state_.font = *font;
    else if (const auto* palette = std::get_if<gdi::Palette>(o))
        state_.palette = palette->colors;
    else if (const auto* region = std::get_if<gdi::Region>(o))
        selectClip(logicalToPainter().map(region->path), RGN_COPY);
}

void GdiDevice::selectStockObject(std::uint32_t id)
{
    auto solid = [](QColor c) {
        gdi::Brush b;
        b.color = c;
        return b;
    };
    auto pen = [](QColor c, std::uint32_t style) {
        gdi::Pen p;
        p.color = c;
        p.style = style;
        return p;
    };
    switch (id) {
    case WHITE_BRUSH: case DC_BRUSH: state_.brush = solid(Qt::white); break;
    case LTGRAY_BRUSH: state_.brush = solid(QColor(0xC0, 0xC0, 0xC0)); break;
    case GRAY_BRUSH: state_.brush = solid(QColor(0x80, 0x80, 0x80)); break;
    case DKGRAY_BRUSH: state_.brush = solid(QColor(0x40, 0x40, 0x40)); break;
    case BLACK_BRUSH: state_.brush = solid(Qt::black); break;
    case NULL_BRUSH: state_.brush.style = gdi::BS_NULL; break;
    case WHITE_PEN: state_.pen = pen(Qt::white, gdi::PS_SOLID); break;
    case BLACK_PEN: case DC_PEN: state_.pen = pen(Qt::black, gdi::PS_SOLID); break;
    case NULL_PEN: state_.pen = pen(Qt::black, gdi::PS_NULL); break;
    case DEFAULT_PALETTE: state_.palette.clear(); break;
    case 10: case 11: case 12: case 13: case 14: case 16: case 17: state_.font = gdi::Font(); break;
    default: break;
    }
}

void GdiDevice::deleteObject(std::uint32_t index)
{
    if (index >= objects_.size() || std::holds_alternative<std::monostate>(objects_[index]))
        return;
    objects_[index] = std::monostate();
    freeSlots_.insert(index);
}

const QList<QRgb>& GdiDevice::defaultPalette()
{
    static const QList<QRgb> colors = {
        qRgb(0, 0, 0),       qRgb(0x80, 0, 0),       qRgb(0, 0x80, 0),       qRgb(0x80, 0x80, 0),
        qRgb(0, 0, 0x80),    qRgb(0x80, 0, 0x80),    qRgb(0, 0x80, 0x80),    qRgb(0xC0, 0xC0, 0xC0),
        qRgb(0xC0, 0xDC, 0xC0), qRgb(0xA6, 0xCA, 0xF0), qRgb(0xFF, 0xFB, 0xF0), qRgb(0xA0, 0xA0, 0xA4),
        qRgb(0x80, 0x80, 0x80), qRgb(0xFF, 0, 0),       qRgb(0, 0xFF, 0),       qRgb(0xFF, 0xFF, 0),
        qRgb(0, 0, 0xFF),    qRgb(0xFF, 0, 0xFF),    qRgb(0, 0xFF, 0xFF),    qRgb(0xFF, 0xFF, 0xFF),
    };
    return colors;
}

const QList<QRgb>& GdiDevice::palette() const
{
    return state_.palette.isEmpty() ? defaultPalette() : state_.palette;
}

QColor GdiDevice::color(std::uint32_t colorRef) const
{
    if ((colorRef >> 24) == 1) {
        const QList<QRgb>& p = palette();
        const std::uint32_t index = colorRef & 0xFFFF;
        return index < std::uint32_t(p.size()) ? QColor(p.at(index)) : QColor(Qt::black);
    }
    return QColor(int(colorRef & 0xFF), int((colorRef >> 8) & 0xFF), int((colorRef >> 16) & 0xFF));
}

// State ---------------------------------------------------------------------

void GdiDevice::saveDC()
{
    if (saved_.size() < kMaxSavedStates)
        saved_.push_back(state_);
}

void GdiDevice::restoreDC(int which)
{
    std::size_t keep = 0;
    if (which < 0) {
        const std::size_t back = std::size_t(-std::int64_t(which));
        if (back > saved_.size())
            return;
        keep = saved_.size() - back;
    } else {
        if (which == 0 || std::size_t(which) > saved_.size())
            return;
        keep = std::size_t(which) - 1;
    }
    state_ = saved_[keep];
    saved_.resize(keep);
    clipChanged();
}
