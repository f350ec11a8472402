#include "annotationlayer.h"

#include <map>

namespace annotation::layers {

namespace {

struct Registry {
    std::mutex lock;
    std::map<void*, std::shared_ptr<Layer>> layers;
};

Registry& registry()
{
    static Registry r;
    return r;
}

}  // namespace

std::shared_ptr<Layer> attach(void* control)
{
    Registry& r = registry();
    std::lock_guard g(r.lock);
    std::shared_ptr<Layer>& layer = r.layers[control];
    if (!layer) {
        layer = std::make_shared<Layer>();
        layer->control = control;
    }
    return layer;
}

std::shared_ptr<Layer> find(void* control)
{
    Registry& r = registry();
    std::lock_guard g(r.lock);
    const auto it = r.layers.find(control);
    return it == r.layers.end() ? nullptr : it->second;
}

bool detach(void* control)
{
    Registry& r = registry();
    std::lock_guard g(r.lock);
    return r.layers.erase(control) > 0;
}

}  // namespace annotation::layers
