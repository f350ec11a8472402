// The annotation layer's entries (crde2001.h).

#include <QPainter>
#include <QPaintDevice>
#include <algorithm>
#include <exception>

#include "annotationediting.h"
#include "annotationlayer.h"
#include "annotationnodes.h"
#include "annotationpages.h"
#include "annotationpainter.h"
#include "crde2001.h"

using annotation::Layer;

namespace {

constexpr int kPassScreen = 0;
constexpr int kPassBurn = 1;

// Runs work on the control's layer under its lock; 0 without a layer or
// when the work throws.
template <typename Work>
short withLayer(void* control, Work work)
{
    if (!control)
        return 0;
    const std::shared_ptr<Layer> layer = annotation::layers::find(control);
    if (!layer)
        return 0;
    try {
        std::lock_guard g(layer->lock);
        return work(*layer);
    } catch (...) {
        return 0;
    }
}

annotationpaint::Hooks hooksOf(const Layer& layer, int pass)
{
    annotationpaint::Hooks hooks;
    void* control = layer.control;
    if (AnnoBeforeDrawCallback before = layer.callbacks.beforeDraw) {
        hooks.before = [=](const char* name) {
            short canDraw = 1;
            before(control, pass, &canDraw, name);
            return canDraw != 0;
        };
    }
    if (AnnoAfterDrawCallback after = layer.callbacks.afterDraw)
        hooks.after = [=](const char* name) { after(control, name); };
    return hooks;
}

bool validPage(short page)
{
    return page >= 0;
}

}  // namespace

short IsAnnotation(void* control)
{
    return withLayer(control, [](Layer& l) { return short(std::min<std::size_t>(l.objects.size(), 32767)); });
}

short InitAnnotation(void* control, void* window, void* owner, AnnoDoneCallback done, AnnoCustomDrawCallback customDraw,
                     AnnoCustomHardDrawCallback customHardDraw, AnnoBeforeDrawCallback beforeDraw,
                     AnnoAfterDrawCallback afterDraw, const char* settingsFile)
{
    if (!control)
        return 0;
    try {
        const std::shared_ptr<Layer> layer = annotation::layers::attach(control);
        std::lock_guard g(layer->lock);
        layer->window = window;
        layer->owner = owner;
        layer->callbacks = {done, customDraw, customHardDraw, beforeDraw, afterDraw};
        layer->settingsFile = settingsFile ? settingsFile : "";
        layer->settings = annotationsettings::load(layer->settingsFile);
        return 1;
    } catch (...) {
        return 0;
    }
}

short DestroyAnnotation(void* control)
{
    return control && annotation::layers::detach(control) ? 1 : 0;
}

short DrawAnnotation(void* control, double zoom, int x, int y, short centreX, short centreY, int scrollWidth, int)
{
    return withLayer(control, [&](Layer& l) -> short {
        auto* device = static_cast<QPaintDevice*>(l.window);
        if (!device || !(zoom > 0))
            return 0;
        l.view = {zoom, double(x), double(y), double(centreX), double(centreY)};
        if (l.objects.empty())
            return 1;
        QPainter painter(device);
        if (!painter.isActive())
            return 0;
        const int bar = std::max(0, scrollWidth);
        painter.setClipRect(0, 0, device->width() - bar, device->height() - bar);
        annotationpaint::paint(painter, l.objects, l.view, hooksOf(l, kPassScreen));
        if (l.selected >= 0 && l.selected < int(l.objects.size()))
            annotationpaint::paintHandles(painter, annotationnodes::handles(l.objects[std::size_t(l.selected)], l.shapeEditing),
                                          l.view);
        for (const int i : l.group)
            if (i >= 0 && i < int(l.objects.size()))
                annotationpaint::paintHandles(painter, annotationnodes::handles(l.objects[std::size_t(i)], false), l.view);
        if (l.edit.mode == annotation::EditState::Mode::Framing)
            annotationpaint::paintFrame(painter, l.edit.anchor, l.edit.frameEnd, l.view);
        return 1;
    });
}

short DrawAnnotationWholeDC(void* control, double scale, int x, int y, int centreX, int centreY, int, void* dc)
{
    return withLayer(control, [&](Layer& l) -> short {
        auto* painter = static_cast<QPainter*>(dc);
        if (!painter || !painter->isActive() || !(scale > 0))
            return 0;
        annotationpaint::paint(*painter, l.objects, {scale, double(x), double(y), double(centreX), double(centreY)},
                               hooksOf(l, kPassScreen));
        return 1;
    });
}

short HardDrawAnnotation(void* control, GlobalHandle bitmap)
{
    return withLayer(control, [&](Layer& l) -> short {
        return annotationpaint::burn(bitmap, l.objects, hooksOf(l, kPassBurn)) ? 1 : 0;
    });
}

short MouseMon(void* control, int message, int, int position)
{
    const int x = std::int16_t(position & 0xFFFF), y = std::int16_t((position >> 16) & 0xFFFF);
    return withLayer(control, [&](Layer& l) -> short { return annotationediting::mouse(l, message, x, y) ? 1 : 0; });
}

short MenuMsg(void* control, int command)
{
    return withLayer(control, [&](Layer& l) -> short { return annotationediting::command(l, command) ? 1 : 0; });
}

short RubberBandOFF(void* control)
{
    return withLayer(control, [](Layer& l) -> short {
        annotationediting::stop(l);
        return 1;
    });
}

short ClearAnnotation(void* control)
{
    return withLayer(control, [](Layer& l) -> short {
        if (!l.objects.empty())
            l.replace({});
        return 1;
    });
}

short LoadAnnotation(void* control, short page, const char* file)
{
    return withLayer(control, [&](Layer& l) -> short {
        std::vector<annotation::Object> objects;
        if (!validPage(page) || !annotationpages::load(file, page, objects))
            return 0;
        l.replace(std::move(objects));
        return 1;
    });
}

short SaveAnnotation(void* control, short page, const char* file)
{
    return withLayer(control, [&](Layer& l) -> short {
        return validPage(page) && annotationpages::save(file, page, l.objects) ? 1 : 0;
    });
}

short RemoveAnnotation(void* control, short page, const char* file)
{
    return withLayer(control, [&](Layer&) -> short {
        return validPage(page) && annotationpages::remove(file, page) ? 1 : 0;
    });
}

short InsertAnnotation(void* control, short page, const char* file)
{
    return withLayer(control, [&](Layer& l) -> short {
        return validPage(page) && annotationpages::insert(file, page, l.objects) ? 1 : 0;
    });
}

int64_t AnnotationRevision(void* control)
{
    const std::shared_ptr<Layer> layer = control ? annotation::layers::find(control) : nullptr;
    if (!layer)
        return 0;
    std::lock_guard g(layer->lock);
    return int64_t(layer->revision);
}

short AnnotationKindName(void* control, int index, char* name, int size)
{
    return withLayer(control, [&](Layer& l) -> short {
        if (!name || size < 1 || index < 0 || index >= int(l.objects.size()))
            return 0;
        const std::string kind = annotation::kindName(l.objects[std::size_t(index)].kind);
        const std::size_t n = std::min(kind.size(), std::size_t(size - 1));
        kind.copy(name, n);
        name[n] = 0;
        return 1;
    });
}

short SetAnnotationHost(const AnnoHost* host)
{
    if (host && host->size < sizeof(AnnoHost))
        return 0;
    annotationpages::setHost(host);
    return 1;
}
