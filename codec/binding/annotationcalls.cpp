#include "annotationcalls.h"

#include "codecmodule.h"
#include "dibconvert.h"
#include "engine/crde2001.h"
#include "errorinvalid.h"
#include "tbitmap.h"

#include "platform/ownfilewriter.h"

#include <QFile>
#include <QImage>
#include <QPaintDevice>
#include <QWidget>

namespace annotationcalls {

namespace {

template <typename Fn>
Fn entry(const char* name)
{
    return CodecModule::resolveAnnotation(name).as<Fn>();
}

QByteArray nameOf(const QString& file)
{
    return QFile::encodeName(file);
}

// Annotation files are written through the program's own-file writer: a
// temporary file and a rename, never through a symbolic link.
int writeOwnFile(const char* path, const void* data, int64_t size)
{
    if (!path || size < 0 || (size > 0 && !data))
        return 0;
    try {
        OwnFileWriter writer(QFile::decodeName(path));
        return writer.open() && writer.write(QByteArray::fromRawData(static_cast<const char*>(data), qsizetype(size))) &&
               writer.commit();
    } catch (...) {
        return 0;
    }
}

}  // namespace

AnnoHost& HostTable()
{
    static AnnoHost host{sizeof(AnnoHost), writeOwnFile, nullptr, nullptr, nullptr, nullptr};
    return host;
}

void SetEditing(ShowMenu showMenu, EditProperties editProperties)
{
    HostTable().showMenu = showMenu;
    HostTable().editProperties = editProperties;
}

void SetChoosers(ChooseStamp chooseStamp, ChoosePicture choosePicture)
{
    HostTable().chooseStamp = chooseStamp;
    HostTable().choosePicture = choosePicture;
}

bool EditingInstalled()
{
    return HostTable().showMenu && HostTable().editProperties;
}

bool Init(void* control, QPaintDevice* window, QWidget* owner, const LayerEvents& e, const QString& settingsFile)
{
    const QByteArray settings = nameOf(settingsFile);
    return entry<InitAnnotation_fn>("InitAnnotation")(control, window, owner, e.done, e.customDraw, e.customHardDraw,
                                                      e.beforeDraw, e.afterDraw, settings.constData()) > 0;
}

void Destroy(void* control)
{
    entry<DestroyAnnotation_fn>("DestroyAnnotation")(control);
}

int Count(void* control)
{
    const CodecModule::Entry e = CodecModule::resolve("IsAnnotation");
    if (!e)
        throw ErrorInvalid(CodecModule::procAddressErrorText("ILIsAnnotation", CodecModule::moduleName()));
    return e.as<IsAnnotation_fn>()(control);
}

void Clear(void* control)
{
    entry<ClearAnnotation_fn>("ClearAnnotation")(control);
}

bool Load(void* control, int page, const QString& file)
{
    const QByteArray name = nameOf(file);
    return entry<LoadAnnotation_fn>("LoadAnnotation")(control, short(page), name.constData()) > 0;
}

bool Save(void* control, int page, const QString& file)
{
    const QByteArray name = nameOf(file);
    return entry<SaveAnnotation_fn>("SaveAnnotation")(control, short(page), name.constData()) > 0;
}

bool Insert(void* control, int page, const QString& file)
{
    const QByteArray name = nameOf(file);
    return entry<InsertAnnotation_fn>("InsertAnnotation")(control, short(page), name.constData()) > 0;
}

bool Remove(void* control, int page, const QString& file)
{
    const QByteArray name = nameOf(file);
    return entry<RemoveAnnotation_fn>("RemoveAnnotation")(control, short(page), name.constData()) > 0;
}

void Draw(void* control, double zoom, int x, int y, int centreX, int centreY, int scrollWidth)
{
    entry<DrawAnnotation_fn>("DrawAnnotation")(control, zoom, x, y, short(centreX), short(centreY), scrollWidth, 0);
}

void DrawWholeDC(void* control, double scale, int x, int y, int centreX, int centreY, QPainter& painter)
{
    entry<DrawAnnotationWholeDC_fn>("DrawAnnotationWholeDC")(control, scale, x, y, centreX, centreY, 0, &painter);
}

bool HardDraw(void* control, GlobalHandle dib)
{
    return entry<HardDrawAnnotation_fn>("HardDrawAnnotation")(control, dib) > 0;
}

void MouseMon(void* control, int message, int position)
{
    entry<MouseMon_fn>("MouseMon")(control, message, 0, position);
}

bool MenuMsg(void* control, int command)
{
    return entry<MenuMsg_fn>("MenuMsg")(control, command) > 0;
}

void RubberBandOff(void* control)
{
    entry<RubberBandOFF_fn>("RubberBandOFF")(control);
}

qint64 Revision(void* control)
{
    const CodecModule::Entry e = CodecModule::resolve("AnnotationRevision");
    return e ? e.as<AnnotationRevision_fn>()(control) : 0;
}

QStringList KindNames(void* control)
{
    const auto kindName = entry<AnnotationKindName_fn>("AnnotationKindName");
    QStringList names;
    char name[64];
    for (int i = 0; kindName(control, i, name, int(sizeof name)) > 0; ++i)
        names << QString::fromUtf8(name);
    return names;
}

bool Burn(void* control, TBitmap& bitmap)
{
    if (bitmap.empty())
        return false;
    GlobalHandle dib = GraphicToDIB(&bitmap);
    const bool ok = dib && HardDraw(control, dib) && DIBToGraphic(dib, bitmap);
    FreeDIB(dib);
    return ok;
}

bool Burn(void* control, QImage& image)
{
    if (image.isNull())
        return false;
    TBitmap bitmap(image.convertToFormat(QImage::Format_RGB32), pf24bit);
    if (!Burn(control, bitmap))
        return false;
    image = bitmap.image().convertToFormat(image.format());
    return true;
}

Scratch::Scratch()
{
    Init(this, nullptr, nullptr, {}, QString());
}

Scratch::~Scratch()
{
    try {
        Destroy(this);
    } catch (...) {
    }
}

}  // namespace annotationcalls
