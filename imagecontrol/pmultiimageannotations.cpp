// TPMultiImage: the link to the codec module's annotation layer. The layer
// is addressed by the control; a module without the layer leaves the
// control without annotations (count 0, nothing drawn).

#include "pmultiimage.h"

#include "annotationfile.h"
#include "zoomview.h"

#include "codec/binding/annotationcalls.h"
#include "codec/binding/codecwrappers.h"
#include "codec/binding/errorinvalid.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

TPMultiImage* controlOf(void* control)
{
    return static_cast<TPMultiImage*>(control);
}

int annoDone(void* control)
{
    TPMultiImage* c = controlOf(control);
    if (!c)
        return 0;
    if (c->OnAnnoDone)
        c->OnAnnoDone(c);
    return 1;
}

int annoCustomDraw(void* control, void* dc, const char* name, int x, int y, int xx, int yy)
{
    TPMultiImage* c = controlOf(control);
    if (!c)
        return 0;
    if (c->OnCustomAnnotationDraw)
        c->OnCustomAnnotationDraw(c, static_cast<QPainter*>(dc), QString::fromUtf8(name), x, y, xx, yy);
    return 1;
}

int annoCustomHardDraw(void* control, void* bitmap, const char* name, int x, int y, int xx, int yy)
{
    TPMultiImage* c = controlOf(control);
    if (!c)
        return 0;
    if (c->OnCustomAnnotationHardDraw)
        c->OnCustomAnnotationHardDraw(c, static_cast<GlobalHandle>(bitmap), QString::fromUtf8(name), x, y, xx, yy);
    return 1;
}

int annoBeforeDraw(void* control, int pass, short* flag, const char* name)
{
    TPMultiImage* c = controlOf(control);
    if (!c)
        return 0;
    if (c->OnBeforeAnnotationDraw && flag) {
        bool canDraw = *flag == 1;
        c->OnBeforeAnnotationDraw(c, pass, canDraw, QString::fromUtf8(name));
        *flag = canDraw ? 1 : 0;
    }
    return 1;
}

int annoAfterDraw(void* control, const char* name)
{
    TPMultiImage* c = controlOf(control);
    if (!c)
        return 0;
    if (c->OnAfterAnnotationDraw)
        c->OnAfterAnnotationDraw(c, QString::fromUtf8(name));
    return 1;
}

// The position of a mouse message: x in the low, y in the high 16 bits.
int packedPosition(QPoint at)
{
    return int((std::uint32_t(std::uint16_t(at.y())) << 16) | std::uint16_t(at.x()));
}

}  // namespace

void TPMultiImage::attachAnnotations()
{
    annotationcalls::LayerEvents events;
    events.done = annoDone;
    events.customDraw = annoCustomDraw;
    events.customHardDraw = annoCustomHardDraw;
    events.beforeDraw = annoBeforeDraw;
    events.afterDraw = annoAfterDraw;
    try {
        annoAttached_ = annotationcalls::Init(this, this, this, events, AnnotationSettingsFile());
    } catch (const ErrorInvalid&) {
        annoAttached_ = false;
    }
    markAnnotationsSaved();
}

void TPMultiImage::detachAnnotations()
{
    if (!annoAttached_)
        return;
    try {
        autoSaveAnnotations();
        annotationcalls::Destroy(this);
    } catch (...) {
    }
    annoAttached_ = false;
}

void TPMultiImage::markAnnotationsSaved()
{
    annoSavedFile_ = AnnotationFileName();
    annoSavedPage_ = tiffPage_;
    annoSavedRevision_ = annoAttached_ ? annotationcalls::Revision(this) : 0;
}

bool TPMultiImage::AnnotationsChanged() const
{
    return annoAttached_ && annotationcalls::Revision(const_cast<TPMultiImage*>(this)) != annoSavedRevision_;
}

// The shown picture's annotations go back to the file and page they came
// from, and only when they changed since.
void TPMultiImage::autoSaveAnnotations()
{
    if (AutoSaveAnno && AnnotationsChanged() && annotationcalls::Save(this, annoSavedPage_, annoSavedFile_))
        annoSavedRevision_ = annotationcalls::Revision(this);
}

// The layer is cleared only once the new picture took the shown one's
// place, so that a picture that stays after a failed load keeps its
// annotations; until then they are not drawn.
void TPMultiImage::annotationsBeforeNewPicture()
{
    if (!annoAttached_)
        return;
    autoSaveAnnotations();
    annoClearPending_ = true;
}

void TPMultiImage::dropReplacedAnnotations()
{
    if (!annoClearPending_)
        return;
    annoClearPending_ = false;
    annotationcalls::Clear(this);
    markAnnotationsSaved();
}

void TPMultiImage::annotationsAfterNewPicture() noexcept
{
    if (!annoClearPending_)
        return;
    try {
        if (loadFailed_)
            annoClearPending_ = false;
        else
            dropReplacedAnnotations();
    } catch (...) {
        annoClearPending_ = false;
    }
    update();
}

void TPMultiImage::annotationsAfterLoad()
{
    if (!annoAttached_ || loadFailed_)
        return;   // the shown picture and its annotations stay
    dropReplacedAnnotations();
    markAnnotationsSaved();
    if (AutoLoadAnno)
        LoadAnnotations(tiffPage_, annoSavedFile_);
    markAnnotationsSaved();
}

QString TPMultiImage::AnnotationFileName() const
{
    if (!AnnoFileName.isEmpty())
        return AnnoFileName;
    if (imageName_.isEmpty())
        return QStringLiteral("default.ant");
    return PictureAnnotationFile(imageName_);
}

int TPMultiImage::AnnotationCount() const
{
    return annoAttached_ ? annotationcalls::Count(const_cast<TPMultiImage*>(this)) : 0;
}

void TPMultiImage::ClearAnnotations()
{
    if (annoAttached_)
        annotationcalls::Clear(this);
    update();
}

void TPMultiImage::LoadAnnotations(int page, const QString& file)
{
    if (annoAttached_ && QFileInfo(file).isFile()) {
        annotationcalls::Load(this, page, file);
        if (file == annoSavedFile_ && page == annoSavedPage_)
            markAnnotationsSaved();
    }
    update();
}

void TPMultiImage::SaveAnnotations(int page, const QString& file)
{
    if (annoAttached_ && annotationcalls::Save(this, page, file) && file == annoSavedFile_ && page == annoSavedPage_)
        markAnnotationsSaved();
}

void TPMultiImage::InsertAnnotations(int page, const QString& file)
{
    const QString name = file.isEmpty() ? AnnotationFileName() : file;
    if (annoAttached_ && QFileInfo(name).isFile())
        annotationcalls::Insert(this, page, name);
}

void TPMultiImage::RemoveAnnotations(int page, const QString& file)
{
    const QString name = file.isEmpty() ? AnnotationFileName() : file;
    if (annoAttached_ && QFileInfo(name).isFile())
        annotationcalls::Remove(this, page, name);
}

void TPMultiImage::DrawAnnotationsOn(QPainter& painter, double scale, QPoint origin, QPoint offset)
{
    if (annoAttached_)
        annotationcalls::DrawWholeDC(this, scale, origin.x(), origin.y(), offset.x(), offset.y(), painter);
}

bool TPMultiImage::BurnAnnotations(TBitmap& bitmap) const
{
    return annoAttached_ && annotationcalls::Burn(const_cast<TPMultiImage*>(this), bitmap);
}

void TPMultiImage::setEditAnnotat(bool on)
{
    if (editAnnotat_ && !on && annoAttached_)
        annotationcalls::RubberBandOff(this);
    editAnnotat_ = on;
    update();
    notifyToolbar();
}

// After the picture: the view's zoom, the picture pixel at the view's
// corner and where the picture's corner lies on the control.
void TPMultiImage::paintAnnotations(const QRect& area, bool zoomed)
{
    if (!annoAttached_ || annoClearPending_ || picture_.empty())
        return;
    const QSize pic = picture_.image().size();
    double zoom = 1.0;
    QPoint origin;
    if (zoomed) {
        zoom = ZoomFactor;
        if (zoomview::exceeds(size(), pic, ZoomFactor))
            origin = ViewOrigin;
    } else if (stretch_ && pic.width() > 0) {
        zoom = double(area.width()) / pic.width();
    }
    try {
        annotationcalls::Draw(this, zoom, origin.x(), origin.y(), area.x(), area.y(), barsNeeded() ? scrollbarWidth_ : 0);
    } catch (...) {
    }
}

bool TPMultiImage::annotationMouse(QMouseEvent* event, int message)
{
    if (!editAnnotat_)
        return false;
    const bool metafile = imageInfo.type == QLatin1String("WMF") || imageInfo.type == QLatin1String("EMF");
    if (annoAttached_ && !(message == kMouseMove && metafile)) {
        annotationcalls::MouseMon(this, message, packedPosition(event->position().toPoint()));
        update();
    }
    return true;
}

bool TPMultiImage::annotationCommand(int command)
{
    if (!editAnnotat_ || !annoAttached_)
        return false;
    const bool done = annotationcalls::MenuMsg(this, command);
    update();
    return done;
}

bool TPMultiImage::DeleteSelectedAnnotation()
{
    return annotationCommand(annoCmdDelete);
}

bool TPMultiImage::UndoAnnotations()
{
    return annotationCommand(annoCmdUndo);
}

bool TPMultiImage::RedoAnnotations()
{
    return annotationCommand(annoCmdRedo);
}

// Entf, Ctrl+Z, Ctrl+Umschalt+Z and Ctrl+A act on the annotations in
// editing mode.
bool TPMultiImage::annotationKey(QKeyEvent* event)
{
    if (!editAnnotat_ || !annoAttached_)
        return false;
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier)
        DeleteSelectedAnnotation();
    else if (event->matches(QKeySequence::Undo))
        UndoAnnotations();
    else if (event->matches(QKeySequence::Redo))
        RedoAnnotations();
    else if (event->matches(QKeySequence::SelectAll))
        annotationCommand(annoCmdSelectAll);
    else
        return false;
    event->accept();
    return true;
}
