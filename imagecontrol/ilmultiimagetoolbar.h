#pragma once
#include <utility>
// The image toolbar: a strip of picture buttons bound to one picture
// control. Each button runs one action on the control (open, save, previous
// and next picture, print, scan, pan, zoom, fit, centre, clipboard, undo,
// annotations, size, colour depth, invert, rotate, effects, TIFF pages) and
// the toolbar keeps the buttons' enabled and pressed states in step with it.
//
// Dialogs of other libraries are reached through hooks the program sets; a
// button whose hook is empty stays disabled.

#include "ilmultiimagetoolbarbtn.h"
#include "mmsavedialog.h"
#include "pmultiimage.h"

#include "thumbnails/piclibthumbnails.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>
#include <atomic>
#include <functional>

class TILMultiImageToolBarButton;

class TILMultiImageToolBar : public QWidget {
    Q_OBJECT
public:
    using EILMultiImageTbClick = std::function<void(QObject* Sender, TILMultiImageToolBarBtn Button, bool& Process)>;
    using EILMultiImageTbClick2 = std::function<void(QObject* Sender, TILMultiImageToolBarBtn Button)>;
    // Loads file and page into the target control (the program's ShowPicture).
    using ShowPictureHook = std::function<void(const QString& file, int page, TPMultiImage& target)>;
    // A dialog that works on the control itself.
    using ImageDialogHook = std::function<void(TPMultiImage& image)>;
    // The colour-depth dialog: true on OK, with the converted picture and
    // the text of the chosen depth ("256 (8 Bit) Farben" ...).
    using ColorDepthHook = std::function<bool(TPMultiImage& image, TBitmap& result, QString& depth)>;
    // Loads an annotation file's page into the control's annotation layer.
    using AnnotationLoadHook = std::function<bool(TPMultiImage& image, const QString& file, int page)>;

    explicit TILMultiImageToolBar(QWidget* parent = nullptr);
    ~TILMultiImageToolBar() override;

    // ---- published properties
    TPMultiImage* MultiImage() const { return image_; }
    void setMultiImage(TPMultiImage* image);
    TMMOpenDialog* MMOpenDialog() const { return openDialog_; }
    void setMMOpenDialog(TMMOpenDialog* dialog) { openDialog_ = dialog; }
    TMMSaveDialog* MMSaveDialog() const { return saveDialog_; }
    void setMMSaveDialog(TMMSaveDialog* dialog) { saveDialog_ = dialog; }
    TPicLibThumbnails* Thumbnails() const { return grid_; }
    void setThumbnails(TPicLibThumbnails* grid);
    TILMultiImageToolBarBtns VisibleButtons() const { return visible_; }
    void setVisibleButtons(TILMultiImageToolBarBtns buttons);
    bool Flat() const { return flat_; }
    void setFlat(bool on);
    QStringList Hints() const { return hints_; }
    void setHints(const QStringList& hints);
    // An aligned toolbar keeps the width its parent gives it; an unaligned
    // one is cut to a whole number of button widths.
    bool Aligned() const { return aligned_; }
    void setAligned(bool on);
    EILMultiImageTbClick BeforeAction;
    EILMultiImageTbClick2 AfterAction;

    // ---- hooks the program sets
    ShowPictureHook ShowPicture;          // empty: the control loads the file itself
    ImageDialogHook PrintDialog;          // print options and printing
    // The picture size dialog, shown modally; it takes its preview's
    // colours, fit mode, centring and the preset size from the control and
    // applies the change itself, with its own undo snapshot. True when the
    // picture changed.
    std::function<bool(TPMultiImage& image)> ResizeDialog;
    ColorDepthHook ColorDepthDialog;
    AnnotationLoadHook LoadAnnotations;   // annotation editing needs it
    // The editor's selection mode: ibShowsel switches it and is down while
    // it is on; the button stays disabled without these.
    std::function<void(bool on)> ShowSelection;
    std::function<bool()> SelectionShown;
    // The viewer's flag that keeps folder scans from starting while saving.
    std::atomic<bool>* ScanActive = nullptr;
    // Gets the message of an exception an action raised ("Parent Window
    // Handle required" ...); empty: a warning box shows it.
    std::function<void(const QString& message)> OnActionError;

    // The German hints of the viewer, one line per button.
    static QStringList ViewerHints();

    // Clicks the button when it is enabled (a toggle changes its state
    // first); false when it is not.
    bool Click(TILMultiImageToolBarBtn button);
    // Recomputes every button's enabled and pressed state from the control.
    void RefreshButtons();
    void LayoutButtons();

    TILMultiImageToolBarButton* button(TILMultiImageToolBarBtn b) const { return buttons_[size_t(b)]; }
    // The file the last successful ibSave wrote; empty before one.
    QString SavedFile() const { return savedFile_; }
    TILMultiImageToolBarBtn focusedButton() const { return focused_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    struct PictureState {
        bool e = false;   // the control is there and enabled
        bool p = false;   // and its picture has a size
        bool ne = false;  // and its picture is not empty
    };
    PictureState pictureState() const;
    void refreshState(TILMultiImageToolBarBtn b, bool enabled, bool pressed = false);
    bool backEnabled() const;
    bool nextEnabled() const;
    bool tiffPicture() const;
    int pageCount() const;
    void applyHints();
    void applyMinimumSize();
    void fitRows(int rows);
    void buttonPressed(TILMultiImageToolBarBtn b);
    void buttonClicked(TILMultiImageToolBarBtn b);
    void runGuarded(TILMultiImageToolBarBtn b);
    void moveFocus(int step);
    void showFocus();

    // the actions; false when one ends early
    bool runAction(TILMultiImageToolBarBtn b);
    bool openPicture();
    bool savePicture();
    bool chooseSaveTarget(QString& file, bool& replacing);
    bool writePicture(const QString& file, bool replacing);
    void removeStaleAnnotations(const QString& file);
    void stepPicture(int step);
    bool scanPicture();
    bool selectScanner();
    bool changeColorDepth();
    bool showEffects();
    void editAnnotations(bool on);
    void showTiffPage(TILMultiImageToolBarBtn b);
    void snapshot();
    void* parentWindow() const;

    std::array<TILMultiImageToolBarButton*, kEditorToolBarButtonCount> buttons_{};
    QList<TILMultiImageToolBarBtn> order_;
    QPointer<TPMultiImage> image_;
    QPointer<TMMOpenDialog> openDialog_;
    QPointer<TMMSaveDialog> saveDialog_;
    QPointer<TPicLibThumbnails> grid_;
    TILMultiImageToolBarBtns visible_;
    bool flat_ = true;
    bool aligned_ = false;
    bool layingOut_ = false;
    int rowHeight_ = 0;   // the height of one row of buttons
    bool wrapped_ = false;
    std::pair<int, int> designHeights_;   // minimum and maximum height before wrapping
    static constexpr int kMinButtonWidth = 20;
    QStringList hints_;
    QString savedFile_;
    TILMultiImageToolBarBtn focused_ = ibOpen;
};
