#pragma once
// The annotation layer of one image control: its objects, the callbacks and
// handles the control registered, and a revision that every change raises.
// Layers are kept per control; an entry addresses a layer by the control.

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "annotationobject.h"
#include "crde2001.h"

namespace annotation {

struct Callbacks {
    AnnoDoneCallback done = nullptr;
    AnnoCustomDrawCallback customDraw = nullptr;
    AnnoCustomHardDrawCallback customHardDraw = nullptr;
    AnnoBeforeDrawCallback beforeDraw = nullptr;
    AnnoAfterDrawCallback afterDraw = nullptr;
};

struct Layer {
    std::mutex lock;
    void* control = nullptr;
    void* window = nullptr;   // QPaintDevice* of the control
    void* owner = nullptr;    // QWidget* of the control
    Callbacks callbacks;
    std::string settingsFile;
    std::vector<Object> objects;
    std::uint64_t revision = 0;

    void replace(std::vector<Object> next)
    {
        objects = std::move(next);
        ++revision;
    }
};

namespace layers {

// Registers (or re-registers) the layer of control.
std::shared_ptr<Layer> attach(void* control);
// The layer of control; null when it was never registered or is destroyed.
std::shared_ptr<Layer> find(void* control);
// Drops the layer; false when there was none.
bool detach(void* control);

}  // namespace layers

}  // namespace annotation
