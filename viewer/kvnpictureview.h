#pragma once
// The viewer's main window.

#include "fileoptions.h"
#include "viewerstate.h"

#include <QDialog>
#include <QMainWindow>
#include <QPointer>
#include <memory>
#include <optional>
#include <utility>

namespace Ui {
class TKvnPictureView;
}
class QActionGroup;
class QTimer;
class QLabel;
class ElidingLabel;
class QMenu;
class StatusPathPanel;
class ShellTree;
class QComboBox;
class QSplitter;
class FileOperations;
class PaneWork;
class ShellChangeNotifier;
class TPicLibThumbnails;
class TPMultiImage;
class TBitmap;
class TMMOpenDialog;
class TILMultiImageToolBar;
class TMMSaveDialog;
class PrintService;
struct StartupSettings;

class TKvnPictureView : public QMainWindow {
    Q_OBJECT
public:
    explicit TKvnPictureView(QWidget* parent = nullptr);
    ~TKvnPictureView() override;

    // Start-up after creation: sample picture, show, prune, settings.
    void start();
    // A folder named on the command line is opened; a file opens its folder
    // and is selected once the folder is read. Anything else is ignored.
    void OpenFromCommandLine(const QString& argument);

    void LoadSettings();
    void SaveSettings();
    static void PruneDatabaseList();
    void SortThumbnails();
    void UpdateFolderHistory();
    void UpdateMarkedCount();
    void StartFolderScan();
    // Enables the commands by the grid's and the scan's state.
    void UpdateCommandStates();
    void OpenInEditor();
    // Loads file and page into an image control and, for the picture pane,
    // the status bar.
    void ShowPicture(const QString& file, int page, TPMultiImage* control);
    void PicLibThumbnails1SelectThumb(int col, int page, const QString& file, int index, int row);
    // The text of status panel 3 for the shown picture.
    QString pictureInformationText(const QString& file, int page) const;
    QString metafileInformationText(const QString& format, const TBitmap& picture) const;
    QString iconInformationText(const QString& file, const TBitmap& picture) const;
    FileOperations* fileOperations() const { return fileOps_; }
    // The slide show, from a grid item and page (index -1: from the start).
    void OpenSlideShow(int index, int page);
    QDialog* slideShow() const { return slideShow_; }
    // "Diashow..." / "Eigenschaften": the slide show options, modal.
    void SlideShowProperties();
    // Printing of the picture pane and of contact sheets of the grid.
    PrintService* printService() const { return print_; }
    // "Miniaturbilder drucken": the marked items, all when none is marked.
    void PrintThumbnails();
    // "Einstellungen": the settings dialog and, when accepted, its follow-up.
    void Einstellungen();
    // After an accepted settings dialog (SettingsResult 1 or 2).
    void ApplySettingsResult();
    // "Eigenschaften" and "Als Hintergrund einsetzen" for the selected item.
    void ShowProperties();
    void SetAsWallpaper();
    void Umwandeln();
    // F1: the help window, made first when there is none; not modal.
    void ShowHelp();
    QDialog* helpWindow() const { return help_; }
    // "Info": the about box, modal.
    void ShowAbout();
    // The hint of the grid item at index (empty for none).
    QString thumbnailHint(int index) const;

    // Status panel 3: picture information, errors and exception messages.
    void showStatusMessage(const QString& text);
    QString statusText(int panel) const;

    ViewerState& state() { return state_; }
    TPMultiImage* pane() const;
    TMMOpenDialog* openDialog() const { return MMOpenDialog1_.get(); }
    TMMSaveDialog* saveDialog() const { return MMSaveDialog1_.get(); }
    TILMultiImageToolBar* toolbar() const;
    // Clicks the toolbar button a window key stands for (F2, F3, arrows,
    // Alt+D, keypad); true when a button was clicked.
    bool HandleToolbarKeys(int key, Qt::KeyboardModifiers shift);
    // The save dialog's filter for a file extension (".JPG" ... ".ICO" in
    // any case); other extensions leave it.
    void SelectSaveFilter(const QString& extension);

    ShellTree* folderTree() const;
    QComboBox* folderHistory() const;
    QSplitter* leftRightSplitter() const;
    QSplitter* treeGridSplitter() const;
    QMenu* gridContextMenu() const { return popupMenu_; }
    TPicLibThumbnails* thumbnails() const;
    ShellChangeNotifier* changeNotifier() const { return notifier_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildStatusBar();
    // Status panel 2 without icon and path: the pane shows no file.
    void clearShownPath();
    void buildSortGroups();
    void buildContextMenu();
    void connectCommands();
    void disableUnbuiltCommands();
    void writeSamplePicture();
    bool mayReplaceShownPicture();
    void deferPicture(const QString& file, int page);
    void keepShownPicture(const QString& information);
    void selectShownItem();
    void applyPendingSplitters();
    void placeWindow(const StartupSettings& settings);
    void applyGridAppearance();
    void selectHistoryEntry(const QString& path);
    void checkSortItems();
    bool folderChangeAllowed() const;
    void ShellTree1Change(const QString& path);
    void ComboBoxEx1Select();
    void DatenbankdateienLoeschenClick();
    void MiniaturenNeubildenClick();
    void ShellChangeNotifier1Change();
    void setUpThumbnails();
    void setUpKeys();
    void setUpToolbar();
    bool paneEvent(QEvent* event);
    bool annotationEditing() const;
    bool windowKeyPress(QObject* watched, QKeyEvent* event);
    void waitForScanEnd();
    void stopScan();
    void saveDatabaseOfShownFolder();
    QString rememberedPicture() const;
    void setUpFileOperations();
    bool gridKeyDown(QKeyEvent* event);
    void gridMouseUp(QMouseEvent* event);
    void gridMouseMove(const QPoint& pos);
    void toggleSelectedMark();
    void setAllMarks(bool value);
    bool eventFilter(QObject* watched, QEvent* event) override;

    std::unique_ptr<Ui::TKvnPictureView> ui;
    ViewerState state_;
    std::unique_ptr<TMMOpenDialog> MMOpenDialog1_;
    std::unique_ptr<TMMSaveDialog> MMSaveDialog1_;
    bool reopenLastFolder_ = true;
    ElidingLabel* panels_[4] = {};
    StatusPathPanel* pathPanel_ = nullptr;
    QActionGroup* sortGroup_ = nullptr;
    QActionGroup* directionGroup_ = nullptr;
    QMenu* popupMenu_ = nullptr;
    QTimer* closeRetry_ = nullptr;   // closes the window once the scan has stopped
    QTimer* stopRepeat_ = nullptr;   // repeats a stop request until the scan has stopped
    bool closingSaveStarted_ = false;   // the database save of closing has begun
    ShellChangeNotifier* notifier_ = nullptr;
    FileOperations* fileOps_ = nullptr;
    PaneWork* paneWork_ = nullptr;
    QPointer<QDialog> slideShow_;
    QPointer<QDialog> help_;
    PrintService* print_ = nullptr;
    std::optional<std::pair<int, int>> pendingSplitters_;   // tree height, left pane width
};

// The one main window of the program, for the dialogs and the folder scan.
TKvnPictureView* mainWindow();
