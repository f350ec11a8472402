#pragma once
// The editor's main window: one picture in the image control under the
// image toolbar, a selection rectangle for copy, cut, paste and crop, and
// saving through the toolbar. Settings come from the viewer's store.

#include "editorsettings.h"
#include "selectionrect.h"

#include "imagecontrol/ilmultiimagetoolbar.h"

#include <QMainWindow>
#include <memory>

class PrintService;
class QAbstractButton;
class QAction;
class QLabel;
class QMenu;
class SelectionOverlay;
class TMMOpenDialog;
class TMMSaveDialog;
class TPMultiImage;

class TKvnPictureEdit : public QMainWindow {
    Q_OBJECT
public:
    explicit TKvnPictureEdit(const QString& picturePath = QString(), int page = 0,
                             QWidget* parent = nullptr);
    ~TKvnPictureEdit() override;

    // "Korvane® Picture Editor", and " - " + path when there is one.
    static QString captionFor(const QString& path);

    // Loads file and page into the control; nothing happens unless the
    // file is a picture file.
    void ShowPicture(const QString& file, int page, TPMultiImage* control);
    // Places the window at its saved bounds, step by step with "open_animate".
    void placeAt(const QRect& bounds);
    void moveToSavedBounds();
    // Start-up: shows the window and loads the picture. With a load
    // transition the window reaches its saved bounds before the load, else
    // after it.
    void start(const QString& picturePath, int page);
    // "beispiel.jpg", written at start-up where it was missing.
    QString samplePicturePath() const { return samplePicture_; }

    QString picturePath() const;
    int page() const;
    TPMultiImage* pane() const { return image_; }
    TILMultiImageToolBar* toolbar() const { return toolbar_; }
    // The toolbar's ibShowsel.
    QAbstractButton* selectButton() const;
    QMenu* contextMenu() const { return contextMenu_; }
    QAction* cropAction() const { return crop_; }
    QAction* infoAction() const { return info_; }
    QLabel* statusPanel(int index) const;
    const EditorSettings& settings() const { return settings_; }

    // The selection and the area the last paint drew the picture in.
    SelectionRect& selection() { return selection_; }
    QRect drawnArea() const { return drawn_; }
    bool selectionPresent() const;
    QRect selectedPictureRect() const;

    bool selectionMode() const { return selectionMode_; }
    void setSelectionMode(bool on);
    // The picture changed since it was loaded or saved.
    bool modified() const;
    void setModified(bool on);

    // The context menu's commands.
    void copySelection();
    void cutSelection();
    void pasteSelection();
    void cropToSelection();
    void showAbout();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWindow();
    void buildMenus();
    void setUpToolbar();
    void applySettings();
    void storeSettings();
    void beforeToolbarAction(TILMultiImageToolBarBtn b, bool& process);
    void afterToolbarAction(TILMultiImageToolBarBtn b);
    void showSavedFile(const QString& file);
    // Asks whether to save a modified picture (with countAnnotations also
    // when the annotations changed); false when the action ends.
    bool askToSave(bool countAnnotations);
    bool handleMouse(QEvent* event);
    void refreshEditState();
    void loadPicture(const QString& file, int page, TPMultiImage* control);
    void showAnnotationsOf(const QString& file);
    QSize screenSize() const;

    TPMultiImage* image_ = nullptr;
    TILMultiImageToolBar* toolbar_ = nullptr;
    SelectionOverlay* overlay_ = nullptr;
    std::unique_ptr<TMMOpenDialog> openDialog_;
    std::unique_ptr<TMMSaveDialog> saveDialog_;
    PrintService* print_ = nullptr;
    QList<QLabel*> panels_;
    QMenu* contextMenu_ = nullptr;
    QAction* copy_ = nullptr;
    QAction* paste_ = nullptr;
    QAction* cut_ = nullptr;
    QAction* crop_ = nullptr;
    QAction* info_ = nullptr;

    EditorSettings settings_;
    SelectionRect selection_;
    QRect drawn_;
    bool dragging_ = false;
    bool selectionMode_ = false;
    int annotationCount_ = 0;
    QString shownFile_;
    QString samplePicture_;
    int shownPage_ = 0;
};
