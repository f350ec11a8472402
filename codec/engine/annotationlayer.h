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
#include "annotationpainter.h"
#include "annotationsettings.h"
#include "crde2001.h"

namespace annotation {

struct Callbacks {
    AnnoDoneCallback done = nullptr;
    AnnoCustomDrawCallback customDraw = nullptr;
    AnnoCustomHardDrawCallback customHardDraw = nullptr;
    AnnoBeforeDrawCallback beforeDraw = nullptr;
    AnnoAfterDrawCallback afterDraw = nullptr;
};

// Where mouse editing stands.
struct EditState {
    enum class Mode { Idle, Moving, Handle, Creating, Nodes, Framing };
    Mode mode = Mode::Idle;
    int pendingKind = -1;   // kind made by the next press on free space
    Point anchor;           // picture point where the drag began
    Object before;          // the object as it was then
    int handle = -1;
    std::vector<Object> objectsBefore;   // the layer before the drag or the new object
    Point frameEnd;                      // the corner of the selection frame opposite anchor
};

// The layer's earlier and undone states since it was loaded or cleared.
struct History {
    std::vector<std::vector<Object>> undo;
    std::vector<std::vector<Object>> redo;
};

struct Layer {
    std::recursive_mutex lock;   // the program's menus and dialogs paint from inside a call
    void* control = nullptr;
    void* window = nullptr;   // QPaintDevice* of the control
    void* owner = nullptr;    // QWidget* of the control
    Callbacks callbacks;
    std::string settingsFile;
    annotationsettings::Settings settings;
    std::vector<Object> objects;
    std::uint64_t revision = 0;
    annotationpaint::View view;   // of the last drawing on the window
    int selected = -1;
    std::vector<int> group;      // objects selected together (two or more; selected is then -1)
    bool shapeEditing = false;   // the selected object shows its nodes
    Point menuAt;                // where the last context menu was asked for
    Object pendingPicture;       // the picture of the next new "Image" object
    EditState edit;
    History history;

    void replace(std::vector<Object> next)
    {
        objects = std::move(next);
        selected = -1;
        group.clear();
        shapeEditing = false;
        edit = {};
        history = {};
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
