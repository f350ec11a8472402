#include "annotationediting.h"

#include <cmath>
#include <cstring>
#include <string>

#include "annotationgroup.h"
#include "annotationhistory.h"
#include "annotationhittest.h"
#include "annotationnodes.h"
#include "annotationpages.h"
#include "annotationpictures.h"

namespace annotationediting {

using annotation::Kind;
using annotation::Layer;
using annotation::Object;
using annotation::Point;
using Mode = annotation::EditState::Mode;

namespace {

Point pictureOf(const Layer& l, int x, int y)
{
    const annotationpaint::View& v = l.view;
    const double s = v.scale > 0 ? v.scale : 1.0;
    return {std::int32_t(std::lround((x - v.offsetX) / s + v.originX)),
            std::int32_t(std::lround((y - v.offsetY) / s + v.originY))};
}

int tolerance(const Layer& l)
{
    return std::max(2, int(std::lround(4.0 / (l.view.scale > 0 ? l.view.scale : 1.0))));
}

void changed(Layer& l)
{
    ++l.revision;
}

void done(Layer& l)
{
    if (l.callbacks.done)
        l.callbacks.done(l.control);
}

Object* selectedObject(Layer& l)
{
    return l.selected >= 0 && l.selected < int(l.objects.size()) ? &l.objects[std::size_t(l.selected)] : nullptr;
}

bool isNodeKind(Kind k)
{
    return k == Kind::PolyLine || k == Kind::Polygon;
}

void startObject(Layer& l, Point p)
{
    const Kind kind = Kind(l.edit.pendingKind);
    Object o = l.settings.of(kind).defaults;
    l.edit.objectsBefore = l.objects;
    l.group.clear();
    if (kind == Kind::Image) {
        o.imageWidth = l.pendingPicture.imageWidth;
        o.imageHeight = l.pendingPicture.imageHeight;
        o.imagePixels = l.pendingPicture.imagePixels;
        l.pendingPicture = {};
    }
    o.points = kind == Kind::Freehand ? std::vector<Point>{p} : std::vector<Point>{p, p};
    l.objects.push_back(std::move(o));
    l.selected = int(l.objects.size()) - 1;
    l.edit.mode = isNodeKind(kind) ? Mode::Nodes : Mode::Creating;
    l.edit.pendingKind = -1;
    changed(l);
}

// A box clicked without dragging gets a size of its own.
void settleCreated(Layer& l, Point p)
{
    Object* o = selectedObject(l);
    if (!o)
        return;
    if (annotation::isBoxKind(o->kind) || o->kind == Kind::Line || o->kind == Kind::Pointer) {
        const Point a = o->points[0];
        if (std::abs(a.x - p.x) < 3 && std::abs(a.y - p.y) < 3) {
            const bool textual = o->kind == Kind::Notes || o->kind == Kind::Label || o->kind == Kind::RubberStamp;
            Point size{textual ? 160 : 60, textual ? 80 : 40};
            if (o->kind == Kind::Image && o->imageWidth > 0)
                size = annotationpictures::placedSize(*o);
            o->points[1] = {a.x + size.x, a.y + size.y};
        }
    }
    l.edit.mode = Mode::Idle;
    annotationhistory::record(l, std::move(l.edit.objectsBefore));
    changed(l);
    done(l);
}

void finishNodes(Layer& l)
{
    Object* o = selectedObject(l);
    l.edit.mode = Mode::Idle;
    if (!o)
        return;
    // the node following the mouse goes
    if (o->points.size() > 1)
        o->points.pop_back();
    if (o->points.size() < std::size_t(annotation::minimumPoints(o->kind))) {
        l.objects.erase(l.objects.begin() + l.selected);
        l.selected = -1;
    }
    annotationhistory::record(l, std::move(l.edit.objectsBefore));
    changed(l);
    done(l);
}

void press(Layer& l, Point p)
{
    if (l.edit.mode == Mode::Nodes) {
        // the node following the mouse stays here, a new one follows on
        if (Object* o = selectedObject(l)) {
            o->points.back() = p;
            o->points.push_back(p);
        }
        changed(l);
        return;
    }
    const int tol = tolerance(l);
    const int hit = annotationhit::objectAt(l.objects, p, tol);
    if (hit >= 0 && annotationgroup::contains(l, hit)) {
        l.edit = {Mode::Moving, l.edit.pendingKind, p, {}, -1, l.objects, p};   // the whole group
        return;
    }
    l.group.clear();
    if (Object* o = selectedObject(l)) {
        const int handle = annotationnodes::handleAt(*o, l.shapeEditing, p, tol);
        if (handle >= 0) {
            l.edit = {Mode::Handle, l.edit.pendingKind, p, *o, handle, l.objects, p};
            return;
        }
    }
    if (hit >= 0) {
        if (hit != l.selected)
            l.shapeEditing = false;
        l.selected = hit;
        l.edit = {Mode::Moving, l.edit.pendingKind, p, l.objects[std::size_t(hit)], -1, l.objects, p};
        return;
    }
    if (l.edit.pendingKind >= 0 && l.edit.pendingKind < annotation::kKindCount) {
        startObject(l, p);
        return;
    }
    l.selected = -1;
    l.shapeEditing = false;
    l.edit = {Mode::Framing, l.edit.pendingKind, p, {}, -1, {}, p};
}

void drag(Layer& l, Point p)
{
    if (l.edit.mode == Mode::Framing) {
        l.edit.frameEnd = p;
        return;
    }
    if (l.edit.mode == Mode::Moving && !l.group.empty()) {
        annotationgroup::move(l, l.edit.objectsBefore, p.x - l.edit.anchor.x, p.y - l.edit.anchor.y);
        changed(l);
        return;
    }
    Object* o = selectedObject(l);
    if (!o)
        return;
    switch (l.edit.mode) {
    case Mode::Moving: {
        const std::int32_t dx = p.x - l.edit.anchor.x, dy = p.y - l.edit.anchor.y;
        for (std::size_t i = 0; i < o->points.size(); ++i)
            o->points[i] = {l.edit.before.points[i].x + dx, l.edit.before.points[i].y + dy};
        break;
    }
    case Mode::Handle:
        annotationnodes::dragHandle(*o, l.edit.before, l.shapeEditing, l.edit.handle, p);
        break;
    case Mode::Creating:
        if (o->kind == Kind::Freehand) {
            if (!(o->points.back() == p))
                o->points.push_back(p);
        } else {
            o->points[1] = p;
        }
        break;
    case Mode::Nodes:
        o->points.back() = p;
        break;
    case Mode::Idle:
    case Mode::Framing:
        return;
    }
    changed(l);
}

void release(Layer& l, Point p)
{
    switch (l.edit.mode) {
    case Mode::Creating:
        settleCreated(l, p);
        break;
    case Mode::Moving:
    case Mode::Handle:
        l.edit.mode = Mode::Idle;
        annotationhistory::record(l, std::move(l.edit.objectsBefore));
        break;
    case Mode::Framing:
        l.edit.mode = Mode::Idle;
        annotationgroup::select(l, annotationgroup::inside(l.objects, l.edit.anchor, l.edit.frameEnd));
        break;
    default:
        break;
    }
}

// Ends a drag or an object being made, keeping what was done so far.
void settle(Layer& l)
{
    if (l.edit.mode == Mode::Nodes) {
        finishNodes(l);
    } else if (l.edit.mode == Mode::Creating) {
        const Object* o = selectedObject(l);
        settleCreated(l, o && !o->points.empty() ? o->points.back() : Point{});
    } else if (l.edit.mode != Mode::Idle) {
        release(l, l.edit.frameEnd);
    }
    l.edit.mode = Mode::Idle;
}

struct MenuBuilder {
    std::vector<std::string> texts;
    std::vector<AnnoMenuItem> items;
    void add(int command, int flags, std::string text)
    {
        texts.push_back(std::move(text));
        items.push_back({command, flags, nullptr});
    }
    int show(const AnnoHost* host, void* owner, int x, int y)
    {
        for (std::size_t i = 0; i < items.size(); ++i)
            items[i].text = texts[i].c_str();
        return host->showMenu(owner, x, y, items.data(), int(items.size()));
    }
};

void contextMenu(Layer& l, Point p, int x, int y)
{
    const AnnoHost* host = annotationpages::host();
    if (!host || !host->showMenu)
        return;
    l.settings = annotationsettings::load(l.settingsFile);   // the program may have changed it
    MenuBuilder menu;
    const int tol = tolerance(l);
    int hit = annotationhit::objectAt(l.objects, p, tol);
    if (const Object* shape = l.shapeEditing ? selectedObject(l) : nullptr;
        shape && (annotationnodes::canRemoveNode(*shape, p, tol) || annotationnodes::handleAt(*shape, true, p, tol) >= 0 ||
                  annotationnodes::canAddNode(*shape, p, tol)))
        hit = l.selected;   // the nodes of the shape being edited come first
    l.menuAt = p;
    l.group.clear();
    if (hit >= 0) {
        if (hit != l.selected)
            l.shapeEditing = false;
        l.selected = hit;
        const Object& o = l.objects[std::size_t(hit)];
        const annotationsettings::KindSettings& k = l.settings.of(o.kind);
        if (!k.menuEnabled)
            return;
        menu.add(0, annoMenuDisabled | annoMenuHeading, k.name);
        menu.add(0, annoMenuSeparator, {});
        menu.add(kBringToFront, 0, l.settings.menu("BringToFront"));
        menu.add(kSendToBack, 0, l.settings.menu("SendToBack"));
        if (annotationnodes::hasNodes(o.kind)) {
            menu.add(kEditShape, l.shapeEditing ? annoMenuChecked : 0, l.settings.menu("EditShape"));
            if (l.shapeEditing) {
                menu.add(kAddNode, annotationnodes::canAddNode(o, p, tol) ? 0 : annoMenuDisabled,
                         l.settings.menu("AddNode"));
                menu.add(kDeleteNode, annotationnodes::canRemoveNode(o, p, tol) ? 0 : annoMenuDisabled,
                         l.settings.menu("DeleteNode"));
            }
        }
        if (o.kind == Kind::Notes)
            menu.add(kIconic, o.iconic ? annoMenuChecked : 0, l.settings.menu("ViewIconic"));
        if (o.kind == Kind::RubberStamp)
            menu.add(kChangeStamp, 0, l.settings.menu("ChangeStamp"));
        if (o.kind == Kind::Image)
            menu.add(kPicture, 0, l.settings.menu("Picture"));
        if (o.kind != Kind::Image)
            menu.add(kProperties, 0, k.propertiesText);
        menu.add(0, annoMenuSeparator, {});
        menu.add(kDelete, 0, k.deleteText);
    } else {
        l.selected = -1;
        l.shapeEditing = false;
        menu.add(0, annoMenuDisabled | annoMenuHeading, l.settings.menu("New"));
        menu.add(0, annoMenuSeparator, {});
        for (int kind = 0; kind < annotation::kKindCount; ++kind) {
            menu.add(kNewObject + kind, l.edit.pendingKind == kind ? annoMenuChecked : 0,
                     l.settings.kinds[kind].name);
        }
    }
    if (const int chosen = menu.show(host, l.owner, x, y))
        command(l, chosen);
}

void copyText(char* to, std::size_t size, const std::string& from)
{
    std::size_t n = std::min(size - 1, from.size());
    while (n > 0 && n < from.size() && (static_cast<unsigned char>(from[n]) & 0xC0) == 0x80)
        --n;   // no half character at the cut
    std::memcpy(to, from.data(), n);
    to[n] = 0;
}

bool editProperties(Layer& l)
{
    const AnnoHost* host = annotationpages::host();
    Object* o = selectedObject(l);
    if (!host || !host->editProperties || !o)
        return false;
    AnnoProperties p{};
    p.kind = int(o->kind);
    p.penWidth = o->penWidth;
    p.penStyle = o->penStyle;
    p.foreColor = o->foreColor;
    p.backColor = o->backColor;
    p.opaque = o->opaque ? 1 : 0;
    p.hatch = o->hatch;
    copyText(p.fontName, sizeof p.fontName, o->fontName);
    p.fontHeight = o->fontHeight;
    p.fontColor = o->fontColor;
    p.fontBackColor = o->fontBackColor;
    copyText(p.text, sizeof p.text, o->text);
    const std::string title = l.settings.of(o->kind).name;
    if (!host->editProperties(l.owner, title.c_str(), l.settings.dialogLabels().c_str(), &p))
        return false;
    Object next = *o;
    next.penWidth = std::clamp(p.penWidth, 1, 20);
    next.penStyle = std::clamp(p.penStyle, 0, 5);
    next.foreColor = p.foreColor & 0xFFFFFF;
    next.backColor = p.backColor & 0xFFFFFF;
    next.opaque = p.opaque != 0;
    next.hatch = std::clamp(p.hatch, 0, annotation::kHatchSolid);
    next.fontName.assign(p.fontName, strnlen(p.fontName, sizeof p.fontName));
    next.fontHeight = std::clamp(p.fontHeight, 1, 210);
    next.fontColor = p.fontColor & 0xFFFFFF;
    next.fontBackColor = p.fontBackColor & 0xFFFFFF;
    next.text.assign(p.text, strnlen(p.text, sizeof p.text));
    if (!annotationformat::writable(next))
        return false;   // text the file could not hold
    std::vector<Object> before = l.objects;
    *o = std::move(next);
    annotationhistory::record(l, std::move(before));
    changed(l);
    return true;
}

}  // namespace

bool mouse(Layer& l, int message, int x, int y)
{
    const Point p = pictureOf(l, x, y);
    switch (message) {
    case kLeftDown:
        press(l, p);
        return true;
    case kMove:
        drag(l, p);
        return true;
    case kLeftUp:
        release(l, p);
        return true;
    case kRightDown:
        if (l.edit.mode == Mode::Nodes)
            finishNodes(l);
        else if (l.edit.mode == Mode::Idle)
            contextMenu(l, p, x, y);
        return true;
    case kRightUp:
        return true;
    default:
        return false;
    }
}

bool command(Layer& l, int id)
{
    if (id >= kNewObject && id < kNewObject + annotation::kKindCount) {
        l.edit.pendingKind = id - kNewObject;
        if (l.edit.pendingKind == int(Kind::Image) && !annotationpictures::choosePending(l)) {
            l.edit.pendingKind = -1;   // no picture, no object
            return false;
        }
        return true;
    }
    if (id == kUndo || id == kRedo) {
        settle(l);
        return id == kUndo ? annotationhistory::undo(l) : annotationhistory::redo(l);
    }
    if (id == kSelectAll) {
        settle(l);
        std::vector<int> all(l.objects.size());
        for (std::size_t i = 0; i < all.size(); ++i)
            all[i] = int(i);
        annotationgroup::select(l, std::move(all));
        return !l.objects.empty();
    }
    if (id == kDelete) {
        settle(l);
        if (annotationgroup::remove(l))
            return true;
    }
    Object* o = selectedObject(l);
    if (!o)
        return false;
    const std::size_t at = std::size_t(l.selected);
    std::vector<Object> before = l.objects;
    switch (id) {
    case kBringToFront: {
        Object moved = std::move(*o);
        l.objects.erase(l.objects.begin() + long(at));
        l.objects.push_back(std::move(moved));
        l.selected = int(l.objects.size()) - 1;
        break;
    }
    case kSendToBack: {
        Object moved = std::move(*o);
        l.objects.erase(l.objects.begin() + long(at));
        l.objects.insert(l.objects.begin(), std::move(moved));
        l.selected = 0;
        break;
    }
    case kIconic:
        o->iconic = !o->iconic;
        break;
    case kChangeStamp:
        return annotationpictures::changeStamp(l);
    case kPicture:
        return annotationpictures::changePicture(l);
    case kEditShape:
        l.shapeEditing = !l.shapeEditing && annotationnodes::hasNodes(o->kind);
        return true;
    case kAddNode:
        if (!l.shapeEditing || !annotationnodes::addNode(*o, l.menuAt, tolerance(l)))
            return false;
        break;
    case kDeleteNode:
        if (!l.shapeEditing || !annotationnodes::removeNode(*o, l.menuAt, tolerance(l)))
            return false;
        break;
    case kProperties:
        return editProperties(l);
    case kDelete:
        l.objects.erase(l.objects.begin() + long(at));
        l.selected = -1;
        break;
    default:
        return false;
    }
    annotationhistory::record(l, std::move(before));
    changed(l);
    return true;
}

void stop(Layer& l)
{
    settle(l);
    l.edit = {};
    l.selected = -1;
    l.shapeEditing = false;
}

}  // namespace annotationediting
