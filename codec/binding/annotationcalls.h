#pragma once
// The codec module's annotation layer entries (one layer per control,
// addressed by the control's pointer). Each call resolves its entry and
// throws ErrorInvalid with the procaddress error when the module lacks it.

#include "codec/engine/crde2001.h"
#include "platform/globalmem.h"

#include <QString>
#include <QStringList>

class QImage;
class QPainter;
class QPaintDevice;
class QWidget;
class TBitmap;

namespace annotationcalls {

struct LayerEvents {
    int (*done)(void* control) = nullptr;
    int (*customDraw)(void* control, void* dc, const char* name, int x, int y, int xx, int yy) = nullptr;
    int (*customHardDraw)(void* control, void* bitmap, const char* name, int x, int y, int xx, int yy) = nullptr;
    int (*beforeDraw)(void* control, int pass, short* canDraw, const char* name) = nullptr;
    int (*afterDraw)(void* control, const char* name) = nullptr;
};

bool Init(void* control, QPaintDevice* window, QWidget* owner, const LayerEvents& events, const QString& settingsFile);
void Destroy(void* control);
int Count(void* control);
void Clear(void* control);
bool Load(void* control, int page, const QString& file);
bool Save(void* control, int page, const QString& file);
bool Insert(void* control, int page, const QString& file);
bool Remove(void* control, int page, const QString& file);
// Draws onto the control's window (its own painter ended first).
void Draw(void* control, double zoom, int x, int y, int centreX, int centreY, int scrollWidth);
// Draws onto painter: picture point p lands on (p - (x, y)) x scale + centre.
void DrawWholeDC(void* control, double scale, int x, int y, int centreX, int centreY, QPainter& painter);
bool HardDraw(void* control, GlobalHandle dib);
void MouseMon(void* control, int message, int position);
// A command of the layer (annoCmd...); false when it did nothing.
bool MenuMsg(void* control, int command);
void RubberBandOff(void* control);
qint64 Revision(void* control);
// The kind names of the layer's objects, in drawing order.
QStringList KindNames(void* control);

// Burns the layer's objects into the bitmap (at its own depth); false when
// the bitmap is empty or cannot be converted.
bool Burn(void* control, TBitmap& bitmap);
bool Burn(void* control, QImage& image);

// The services the module's annotation layer uses: the program's own-file
// writer, and the context menus and property dialog of mouse editing once
// a program installs them (SetEditing).
AnnoHost& HostTable();
using ShowMenu = int (*)(void* owner, int x, int y, const AnnoMenuItem* items, int count);
using EditProperties = int (*)(void* owner, const char* title, const char* labels, AnnoProperties* properties);
void SetEditing(ShowMenu showMenu, EditProperties editProperties);
using ChooseStamp = int (*)(void* owner, const char* labels, AnnoStamp* stamp);
using ChoosePicture = int (*)(void* owner, const char* labels, AnnoPicture* picture);
void SetChoosers(ChooseStamp chooseStamp, ChoosePicture choosePicture);
// Whether a program installed mouse editing.
bool EditingInstalled();

// A layer of its own for one file and page, for pictures shown or printed
// without a control (slide shows, printing, the command-line tool).
class Scratch {
public:
    Scratch();
    ~Scratch();
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    void* key() { return this; }
    bool load(const QString& file, int page) { return Load(this, page, file); }
    int count() { return Count(this); }
};

}  // namespace annotationcalls
