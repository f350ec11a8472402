#include "annotationpictures.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "annotationformat.h"
#include "annotationhistory.h"
#include "annotationpages.h"

namespace annotationpictures {

using annotation::Kind;
using annotation::Layer;
using annotation::Object;

namespace {

Object* selectedOf(Layer& l, Kind kind)
{
    if (l.selected < 0 || l.selected >= int(l.objects.size()))
        return nullptr;
    Object& o = l.objects[std::size_t(l.selected)];
    return o.kind == kind ? &o : nullptr;
}

void dropPicture(Object& o)
{
    o.imageWidth = o.imageHeight = 0;
    o.imagePixels = {};
}

// The box keeps its corner and width; its height follows the picture.
void fitToPicture(Object& o)
{
    if (o.points.size() != 2 || o.imageWidth < 1)
        return;
    const annotation::Rect r = o.bounds();
    const double width = std::max(1, r.right - r.left);
    o.points = {{r.left, r.top}, {r.right, r.top + std::max(1, int(std::lround(width * o.imageHeight / o.imageWidth)))}};
}

// Replaces the selected object by next, as one undo step.
bool change(Layer& l, Object next)
{
    Object& o = l.objects[std::size_t(l.selected)];
    if (!annotationformat::writable(next) || next == o)
        return false;
    std::vector<Object> before = l.objects;
    o = std::move(next);
    annotationhistory::record(l, std::move(before));
    ++l.revision;
    return true;
}

// Asks the program for a picture into o; false when none was chosen or
// the layer refused it.
bool askPicture(Layer& l, Object& o)
{
    const AnnoHost* host = annotationpages::host();
    if (!host || !host->choosePicture)
        return false;
    AnnoPicture picture{};
    const std::string labels = l.settings.dialogLabels();
    const bool chosen = host->choosePicture(l.owner, labels.c_str(), &picture) != 0;
    return take(picture, o) && chosen;
}

}  // namespace

bool take(AnnoPicture& picture, Object& o)
{
    GlobalHandle block = picture.pixels;
    picture.pixels = nullptr;
    const int w = picture.width, h = picture.height;
    const int maxSide = annotationformat::kMaxPictureSide;
    bool ok = block && globalmem::isValid(block) && w >= 1 && h >= 1 && w <= maxSide && h <= maxSide;
    const std::size_t bytes = ok ? std::size_t(w) * std::size_t(h) * 4 : 0;
    ok = ok && globalmem::size(block) >= bytes;
    if (ok) {
        const auto* data = static_cast<const std::uint8_t*>(globalmem::lock(block));
        ok = data != nullptr;
        if (ok) {
            o.imagePixels.assign(data, data + bytes);
            o.imageWidth = w;
            o.imageHeight = h;
        }
        globalmem::unlock(block);
    }
    if (block)
        globalmem::free(block);
    return ok;
}

annotation::Point placedSize(const Object& o)
{
    const int w = std::max(1, o.imageWidth), h = std::max(1, o.imageHeight);
    const double scale = std::min(1.0, double(kPlacedSide) / std::max(w, h));
    return {std::max(1, int(std::lround(w * scale))), std::max(1, int(std::lround(h * scale)))};
}

bool choosePending(Layer& l)
{
    l.pendingPicture = {};
    Object o;
    if (!askPicture(l, o))
        return false;
    l.pendingPicture = std::move(o);
    return true;
}

bool changePicture(Layer& l)
{
    Object* o = selectedOf(l, Kind::Image);
    if (!o)
        return false;
    Object next = *o;
    return askPicture(l, next) && change(l, std::move(next));
}

bool changeStamp(Layer& l)
{
    const AnnoHost* host = annotationpages::host();
    Object* o = selectedOf(l, Kind::RubberStamp);
    if (!o || !host || !host->chooseStamp)
        return false;
    AnnoStamp stamp{};
    const std::string labels = l.settings.dialogLabels();
    const bool chosen = host->chooseStamp(l.owner, labels.c_str(), &stamp) != 0;
    Object next = *o;
    if (stamp.picture.pixels) {
        if (!take(stamp.picture, next) || !chosen)
            return false;
        next.text.clear();
        fitToPicture(next);
    } else {
        if (!chosen)
            return false;
        dropPicture(next);
        next.text.assign(stamp.text, strnlen(stamp.text, sizeof stamp.text));
    }
    return change(l, std::move(next));
}

}  // namespace annotationpictures
