#pragma once
// Mouse editing of a layer's objects: a press on free space makes an object
// of the kind chosen in the "new object" menu (boxes and lines are dragged
// open, freehand strokes follow the mouse, connected lines and polygons get
// a node per click and end with the right button); a press on an object
// selects and moves it, on a handle of the selected object reshapes it
// (annotationnodes.h); the right button shows the object's menu (front,
// back, the shape's nodes, symbol, stamp, picture, properties, delete) or,
// on free space, the kinds to make (a picture is chosen first). A frame
// dragged on free space selects the objects inside it (annotationgroup.h).
// Every change can be undone (annotationhistory.h). Menus and the property
// dialog are shown by the program (AnnoHost).

#include "annotationlayer.h"

namespace annotationediting {

// Mouse messages (the control's codes).
constexpr int kMove = 512, kLeftDown = 513, kLeftUp = 514, kRightDown = 516, kRightUp = 517;

// Menu commands (crde2001.h).
constexpr int kNewObject = annoCmdNewObject;   // + kind
constexpr int kBringToFront = annoCmdBringToFront, kSendToBack = annoCmdSendToBack, kProperties = annoCmdProperties,
              kDelete = annoCmdDelete, kIconic = annoCmdIconic, kUndo = annoCmdUndo, kRedo = annoCmdRedo,
              kEditShape = annoCmdEditShape, kAddNode = annoCmdAddNode, kDeleteNode = annoCmdDeleteNode,
              kChangeStamp = annoCmdChangeStamp, kPicture = annoCmdPicture, kSelectAll = annoCmdSelectAll;

// One mouse message at device position (x, y); true when the layer took it.
bool mouse(annotation::Layer& layer, int message, int x, int y);
// A menu command; true when it was one of the layer's.
bool command(annotation::Layer& layer, int command);
// Ends any drag or node entry and drops the selection.
void stop(annotation::Layer& layer);

}  // namespace annotationediting
