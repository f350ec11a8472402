#pragma once
// The picture control: shows one picture, loads files by extension through
// the codec binding, paints in the display modes (natural size, stretched,
// fitted, zoomed with scroll bars), pans with the grab hand, shows scrolling
// messages and credits, and edits the picture (rotate, invert, clipboard,
// undo). Every window that shows a picture uses it.

#include "imageinfo.h"
#include "messagebanner.h"
#include "picturepainter.h"
#include "rubberband.h"

#include "codec/binding/messagefiles.h"
#include "codec/binding/piclibtypes.h"
#include "codec/binding/tbitmap.h"
#include "effects/effecttypes.h"
#include "platform/colors.h"
#include "platform/globalmem.h"

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QWidget>
#include <functional>
#include <optional>

class QMouseEvent;
class QPainter;
class QScrollBar;

enum TBorderStyle { bsNone, bsSingle };

using TNotifyEvent = std::function<void(QObject* Sender)>;

class TPMultiImage : public QWidget {
    Q_OBJECT
public:
    // The effects dialog, set by the program: it gets the picture as a DIB
    // (owned by the caller) and answers whether it was applied, replacing
    // the handle with the changed picture when it was.
    using EffectsDialogHook = std::function<bool(TPMultiImage& image, GlobalHandle& masterDib)>;

    explicit TPMultiImage(QWidget* parent = nullptr);
    ~TPMultiImage() override;

    static constexpr double kVersion = 2.0;
    double Version() const { return kVersion; }

    // ---- the picture and its file
    QString ImageName() const { return imageName_; }
    // Loads the file. When a picture file cannot be read, the shown picture
    // stays, and so do its name and page: LoadFailed() then answers true.
    // Asked again while a load runs (from the events its progress lets
    // run), that load stops and the newest name is loaded once it has.
    void setImageName(const QString& name);
    bool LoadFailed() const { return loadFailed_; }
    const TBitmap& Picture() const { return picture_; }
    void setPicture(const TBitmap& picture);
    // The picture changed since it was loaded or saved: every change of the
    // picture but a load sets the mark; a load and a successful save clear
    // it. A load that fails keeps the shown picture and its mark.
    bool Modified() const { return modified_; }
    void setModified(bool on) { modified_ = on; }
    bool ReadImageInfo(const QString& fileName);
    ImageInfo imageInfo;
    qint16 TiffPage() const { return tiffPage_; }
    void setTiffPage(qint16 page);
    qint16 PreviousTiffPage() const { return previousTiffPage_; }
    TLoadResolution ImageReadRes = lAutoMatic;
    bool ImageDither = false;
    TPCDMode PCDMode = pcd_BASE4;
    // Depth asked of the codec for ImageReadRes: 0, 1, 4, 8 or 24.
    int LoadDepth() const;

    // ---- display
    bool Stretch() const { return stretch_; }
    void setStretch(bool on);
    bool StretchRatio() const { return stretchRatio_; }
    void setStretchRatio(bool on);
    bool Center() const { return center_; }
    void setCenter(bool on);
    bool AutoSize() const { return autoSize_; }
    void setAutoSize(bool on);
    bool Scrolling() const { return scrolling_; }
    void setScrolling(bool on);
    bool ShowScrollbars() const { return showScrollbars_; }
    void setShowScrollbars(bool on);
    int ScrollbarWidth() const { return scrollbarWidth_; }
    void setScrollbarWidth(int width);
    bool TileWindow() const { return tileWindow_; }
    void setTileWindow(bool on);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void setBorderStyle(TBorderStyle style);
    qint32 Color() const { return color_; }
    void setColor(qint32 stored);
    TBlitMode BlitMode() const { return blitMode_; }
    void setBlitMode(TBlitMode mode);
    int ZoomBy = 10;
    int GrabHandCursor = 5;

    // ---- text overlay
    QString Text() const { return text_; }
    void setText(const QString& text);
    int TextLeft() const { return textLeft_; }
    void setTextLeft(int x);
    int TextTop() const { return textTop_; }
    void setTextTop(int y);
    int TextRotate() const { return textRotate_; }
    void setTextRotate(int degrees);
    bool TextShadow() const { return textShadow_; }
    void setTextShadow(bool on);
    qint32 TextShadowColor() const { return textShadowColor_; }
    void setTextShadowColor(qint32 stored);
    bool TextTransParent() const { return textTransparent_; }
    void setTextTransParent(bool on);
    QFont Font() const { return font(); }
    void setFont(const QFont& f);
    qint32 FontColor() const { return fontColor_; }
    void setFontColor(qint32 stored);

    // ---- load transition
    TFXMethod FXMethod = FXNone;
    int FXDelay = 25;
    int FXColRowThick = 4;
    // The pause between transition steps; empty: let events run for the
    // delay (tests pass one that returns at once).
    std::function<bool(int milliseconds)> TransitionPause;

    // ---- annotations: the codec module's annotation layer, one per control
    // (pmultiimageannotations.cpp)
    bool AutoLoadAnno = false;
    // Saves the annotations, when they changed, to the file and page they
    // were loaded for before another picture replaces them and on
    // destruction.
    bool AutoSaveAnno = false;
    QString AnnoFileName;
    bool EditAnnotat() const { return editAnnotat_; }
    void setEditAnnotat(bool on);
    // AnnoFileName, else the picture's annotation file (annotationfile.h),
    // else "default.ant".
    QString AnnotationFileName() const;
    int AnnotationCount() const;
    // Whether the layer changed since it was loaded, cleared or saved to its
    // file and page.
    bool AnnotationsChanged() const;
    void ClearAnnotations();
    // Load: only when the file exists. Insert and remove: an empty name
    // stands for AnnotationFileName; nothing happens without the file.
    void LoadAnnotations(int page, const QString& file);
    void SaveAnnotations(int page, const QString& file);
    void InsertAnnotations(int page, const QString& file);
    void RemoveAnnotations(int page, const QString& file);
    // Draws the annotations onto painter: picture point p lands on
    // (p - origin) x scale + offset.
    void DrawAnnotationsOn(QPainter& painter, double scale, QPoint origin, QPoint offset);
    // Burns them into bitmap at scale 1; false without annotations' layer or
    // for a bitmap that cannot be converted.
    bool BurnAnnotations(TBitmap& bitmap) const;
    // In editing mode: removes the selected annotation objects; undoes and
    // redoes the changes made since the annotations were loaded or cleared.
    // False when there was nothing to do. The keys: Entf, Ctrl+Z and
    // Ctrl+Umschalt+Z (Ctrl+A selects every object).
    bool DeleteSelectedAnnotation();
    bool UndoAnnotations();
    bool RedoAnnotations();
    static constexpr int kMouseMove = 512, kLeftDown = 513, kLeftUp = 514, kRightDown = 516, kRightUp = 517;

    // ---- editing, rubber band and saving
    bool ILUndo = true;
    qint32 RotateBackColor = colors::kButtonFace;
    TSortDither ReduceDither = IL_BAYER;
    BWCopyFlags B_W_CopyFlags = {C_DEL};
    bool AllowRubberBand = false;
    Qt::MouseButton RubberBandBtn = Qt::LeftButton;
    QString DefSaveFilename;
    TSaveResolution ImageWriteRes = sAutoMatic;
    TTiffCompression TifSaveCompress = sNONE;
    bool TiffAppend = false;
    int JPegSaveQuality() const { return jpegQuality_; }
    void setJPegSaveQuality(int quality);
    int JPegSaveSmooth() const { return jpegSmooth_; }
    void setJPegSaveSmooth(int smoothing);
    bool PNGInterLaced = false;
    bool P_Begin_End_Doc = true;

    // ---- events
    TNotifyEvent OnPictureChanged;
    TNotifyEvent OnPaint;
    TNotifyEvent OnFinishedLoadSave;
    TILMesProgress OnProgress;
    TlibError OnIlibError;
    TPaintArea OnPaintArea;
    TRubberband OnRubberband;
    TNotifyEvent OnAnnoDone;
    std::function<void(QObject* Sender, int AObjectAsLong, bool Selecting)> OnAnnoClick;
    std::function<void(QObject* Sender, QPainter* dc, const QString& CustomName, int x, int y, int xx, int yy)>
        OnCustomAnnotationDraw;
    std::function<void(QObject* Sender, GlobalHandle bitmap, const QString& CustomName, int x, int y, int xx, int yy)>
        OnCustomAnnotationHardDraw;
    std::function<void(QObject* Sender, int PassCode, bool& CanDraw, const QString& AnnoName)> OnBeforeAnnotationDraw;
    std::function<void(QObject* Sender, const QString& AnnoName)> OnAfterAnnotationDraw;
    // Asks the attached toolbar to refresh its buttons.
    std::function<void()> OnButtonUpdate;
    EffectsDialogHook EffectsDialog;

    // ---- public state
    double ZoomFactor = 1.0;
    QPoint ViewOrigin;
    double SavedZoomFactor = 1.0;
    QPoint SavedViewOrigin;
    QPoint CenterOffset;
    bool ResetView = false;
    bool SlideShowMode = false;
    bool FitLargeInShow = false;
    bool FitSmallInShow = false;
    bool AnnotationsInShow = false;
    bool PrintAnnotations = false;
    bool SaveAnnotationsOnSave = false;
    bool EmbedAnnotations = false;
    bool EffectApplied = false;
    QString MessageText;
    QFont MessageFont;
    qint32 MessageFontColor = 255;
    qint32 MessageColor = 128;
    int MessageSpeed = 0;

    // ---- view operations
    void ZoomIn(double factor);
    void ZoomOut(double factor);
    void ResetZoom();
    void ComputeFitZoom();
    void UpdateScrollBars();
    void PictureChanged();
    void PlayTransition();
    // The bitmap the next transition reveals.
    TBitmap TransitionBitmap;
    bool Opaque() const;
    QScrollBar* horizontalBar() const { return hBar_; }
    QScrollBar* verticalBar() const { return vBar_; }
    QWidget* cornerPanel() const { return corner_; }

    // ---- moving text
    void StartMessage();
    void MessageTick();
    void EndMessageMode();
    MessageBanner::Mode messageMode() const { return banner_.mode(); }
    QRect messageStrip() const { return banner_.stripRect(); }

    // ---- scanning and editing
    bool ScanImage(void* parentWindow);
    void UndoImage();
    void RotateImage(int left, int top, double angle, int right, int bottom);
    void InvertImage();
    // False when no effects dialog is set.
    bool ShowEffectsDialog();
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();

    // The codec progress callback; sender is the control.
    static int CodecProgressOf(int percent, void* sender);

    // ---- work that reports progress: loads, scans, saves, rotation, inversion
    // Marks such work under way; the outermost one that reported progress
    // through OnProgress ends with OnProgressEnd, however it ends.
    class ProgressWork {
    public:
        explicit ProgressWork(TPMultiImage& control);
        ~ProgressWork();
        ProgressWork(const ProgressWork&) = delete;
        ProgressWork& operator=(const ProgressWork&) = delete;

    private:
        TPMultiImage& control_;
    };
    bool Working() const { return workDepth_ > 0; }
    // A load is under way (a part of the work).
    bool Loading() const { return loading_; }
    // The last load, scan or save was stopped by OnProgress's answer (a
    // stopped load keeps the shown picture, as a failed one does).
    bool Stopped() const { return stopped_; }
    // After the work that reported progress has ended; must not throw.
    TNotifyEvent OnProgressEnd;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // loading
    void loadName(const QString& name);
    void loadImageName();
    bool loadMessageFile(const QString& file, const QString& ext);
    bool loadThumbnailFile(const QString& file, const QString& ext);
    bool loadResource(const QString& file);
    void loadPictureFile(const QString& file, const QString& ext);
    void installBitmap(const TBitmap& bitmap, bool jpeg);
    void finishBitmapLoad();
    void reportProgress(int percent);
    int progressAnswer(int percent);
    void reportError(const QString& fallback);
    void takeSnapshot();
    void awaitPicture(const QString& file, const QString& ext);
    void applyMessageStyle(const MessageStyle& before, const MessageStyle& style);
    void startBanner(bool credits, const QStringList& lines);

    // view
    PictureView viewState() const;
    bool barsNeeded() const;
    void placeBars(bool needed);
    void barMoved(Qt::Orientation orientation, int position);
    void changeView();
    void resetView();
    // Another picture takes the place of the shown one: it gets a fresh view.
    void replacePicture(const TBitmap& picture);
    void notifyToolbar();
    void panTo(QPoint mouse);
    void paintOverlay(QPainter& p);

    // annotations
    void attachAnnotations();
    void detachAnnotations();
    void markAnnotationsSaved();
    void autoSaveAnnotations();
    void annotationsBeforeNewPicture();
    // After a load: the shown picture's annotations go once another picture
    // (or none) took its place; a failed load keeps them.
    void annotationsAfterNewPicture() noexcept;
    void dropReplacedAnnotations();
    void annotationsAfterLoad();
    void paintAnnotations(const QRect& area, bool zoomed);
    // Hands a mouse event to the layer in editing mode; false otherwise.
    bool annotationMouse(QMouseEvent* event, int message);
    bool annotationKey(QKeyEvent* event);
    bool annotationCommand(int command);

    QString imageName_;
    bool loadFailed_ = false;
    bool loading_ = false;
    std::optional<QString> nextName_;   // asked for while a load ran
    int workDepth_ = 0;
    bool workReported_ = false;
    bool stopped_ = false;
    bool stopAsked_ = false;   // the running load is to stop for the next name
    bool modified_ = false;
    bool awaitingPicture_ = false;  // a metafile or icon the caller is to put in
    TBitmap picture_;
    qint16 tiffPage_ = 0;
    qint16 previousTiffPage_ = 1;

    bool stretch_ = false;
    bool stretchRatio_ = false;
    bool center_ = false;
    bool autoSize_ = false;
    bool scrolling_ = true;
    bool showScrollbars_ = true;
    int scrollbarWidth_ = 12;
    bool tileWindow_ = false;
    TBorderStyle borderStyle_ = bsNone;
    qint32 color_ = colors::kButtonFace;
    TBlitMode blitMode_ = sLight;

    QString text_;
    int textLeft_ = 0;
    int textTop_ = 0;
    int textRotate_ = 0;
    bool textShadow_ = false;
    qint32 textShadowColor_ = 0;
    bool textTransparent_ = true;
    qint32 fontColor_ = 0;

    bool editAnnotat_ = false;
    bool annoAttached_ = false;
    QString annoSavedFile_;
    int annoSavedPage_ = 0;
    qint64 annoSavedRevision_ = 0;
    bool annoClearPending_ = false;
    int jpegQuality_ = 25;
    int jpegSmooth_ = 0;

    QScrollBar* hBar_ = nullptr;
    QScrollBar* vBar_ = nullptr;
    QWidget* corner_ = nullptr;
    bool placingBars_ = false;

    PicturePainter painter_;
    MessageBanner banner_;
    qint32 colorBeforeMessage_ = colors::kButtonFace;
    RubberBand band_;

    bool panning_ = false;
    QPoint lastMouse_;
    QCursor cursorBeforePan_;

    bool transitionBusy_ = false;
    QImage transitionScreen_;
};
