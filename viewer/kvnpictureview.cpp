// The viewer's main window: its parts made and wired to each other, start-up
// and closing.

#include "kvnpictureview.h"
#include "ui_kvnpictureview.h"

#include "panework.h"
#include "samplepicture.h"
#include "shellchangenotifier.h"
#include "startupsettings.h"

#include "imagecontrol/mmopendialog.h"
#include "imagecontrol/mmsavedialog.h"
#include "imagecontrol/viewerdesign.h"

#include "platform/paths.h"
#include "platform/settings.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QTimer>

namespace {

TKvnPictureView* theMainWindow = nullptr;

}  // namespace

TKvnPictureView* mainWindow()
{
    return theMainWindow;
}

TKvnPictureView::TKvnPictureView(QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::TKvnPictureView>())
{
    ui->setupUi(this);
    theMainWindow = this;
    setAttribute(Qt::WA_DeleteOnClose, false);
    notifier_ = new ShellChangeNotifier(this);
    MMOpenDialog1_ = std::make_unique<TMMOpenDialog>(this);
    MMSaveDialog1_ = std::make_unique<TMMSaveDialog>(this);
    buildStatusBar();
    buildSortGroups();
    buildContextMenu();
    connectCommands();
    disableUnbuiltCommands();
    applyViewerDesign(*pane());
    pane()->OnIlibError = [this](QObject*, qint16, const QString& text, const char*) { showStatusMessage(text); };
    pane()->OnPictureChanged = [this](QObject*) {
        if (pane()->Picture().empty()) {
            showStatusMessage(QString());
            clearShownPath();
        }
    };
    setUpThumbnails();
    setUpFileOperations();
    setUpKeys();
    setUpToolbar();
    ui->TwoPaneSplit1->setStretchFactor(1, 1);
    ui->TwoPaneSplit2->setStretchFactor(1, 1);
    ui->ShellTree1->canChange = [this](const QString&) { return folderChangeAllowed(); };
    // a folder chosen during a scan stops the scan and is taken once it has
    ui->ShellTree1->deferRefused = [this](const QString&) {
        if (pane()->Working()) {
            // a folder chosen while the pane loads: the load stops first
            if (pane()->Loading())
                paneWork_->stop();
            paneWork_->whenDone([this] { ui->ShellTree1->takePendingChoice(); });
            return true;
        }
        if (!state_.ScanThread)
            return false;
        stopScan();
        return true;
    };
    resize(892, 590);   // the design size
    applyGridAppearance();
}

TKvnPictureView::~TKvnPictureView()
{
    waitForScanEnd();
    if (theMainWindow == this)
        theMainWindow = nullptr;
}

ShellTree* TKvnPictureView::folderTree() const { return ui->ShellTree1; }
QComboBox* TKvnPictureView::folderHistory() const { return ui->ComboBoxEx1; }
QSplitter* TKvnPictureView::leftRightSplitter() const { return ui->TwoPaneSplit1; }
QSplitter* TKvnPictureView::treeGridSplitter() const { return ui->TwoPaneSplit2; }
TPicLibThumbnails* TKvnPictureView::thumbnails() const { return ui->PicLibThumbnails1; }
TPMultiImage* TKvnPictureView::pane() const { return ui->PMultiImage2; }
TILMultiImageToolBar* TKvnPictureView::toolbar() const { return ui->ILMultiImageToolBar1; }

void TKvnPictureView::start()
{
    state_.NotifySuppressed = true;
    state_.ScanActive = false;
    state_.ScanThread = nullptr;
    writeSamplePicture();
    {
        Settings store;
        placeWindow(StartupSettings::read(store));
    }
    show();
    applyPendingSplitters();
    repaint();
    PruneDatabaseList();
    pane()->setJPegSaveQuality(255);   // out of range: stored as 25
    pane()->ImageReadRes = lAutoMatic;
    pane()->ImageWriteRes = sAutoMatic;
    pane()->ReduceDither = IL_BAYER;
    LoadSettings();
    selectHistoryEntry(ui->ShellTree1->path());
    const QString problem = Settings::problem();
    if (!problem.isEmpty())
        showStatusMessage(problem);
    QTimer::singleShot(0, ui->ShellTree1, &ShellTree::revealCurrent);
    UpdateCommandStates();
    // Start-up is over: the user's first folder choice is accepted.
    state_.NotifySuppressed = false;
}

void TKvnPictureView::OpenFromCommandLine(const QString& argument)
{
    const QFileInfo info(argument);
    if (argument.isEmpty() || !info.exists())
        return;
    const QString folder = paths::normalized(info.isDir() ? info.absoluteFilePath() : info.absolutePath());
    state_.SelectedPicture = info.isDir() ? QString() : paths::normalized(info.absoluteFilePath());
    if (ui->ShellTree1->path() == folder && !state_.ScanThread) {
        StartFolderScan();   // the reopened folder: the scan reselects the file
        return;
    }
    ui->ShellTree1->setPath(folder);
}

void TKvnPictureView::writeSamplePicture()
{
    state_.SamplePicturePath = samplepicture::ensure();
}

void TKvnPictureView::closeEvent(QCloseEvent* event)
{
    if (pane()->Working()) {
        // the pane's load or save stops first; the window closes after it
        paneWork_->stop();
        paneWork_->whenDone([this] { close(); });
        event->ignore();
        return;
    }
    // asked once: a close that waits for the scan comes back here
    const bool closing = closeRetry_ && closeRetry_->isActive();
    if (!closing && !mayReplaceShownPicture()) {
        event->ignore();
        return;
    }
    TPicLibThumbnails* grid = ui->PicLibThumbnails1;
    // a database save under way is waited for, not cut short
    if (!grid->Saving())
        grid->CancelRequested = true;
    if (!state_.ScanThread && !grid->Busy && !closingSaveStarted_) {
        SaveSettings();
        state_.ScanActive = true;
        closingSaveStarted_ = true;
        saveDatabaseOfShownFolder();
    }
    if (state_.ScanThread || grid->Busy) {
        // The scan's steps, or a database load or save, may run on this
        // thread beneath this event: waiting here would never end. They stop
        // at the cancel request (a save ends), and the window closes once
        // they have.
        event->ignore();
        if (!closeRetry_) {
            closeRetry_ = new QTimer(this);
            closeRetry_->setInterval(20);
            connect(closeRetry_, &QTimer::timeout, this, [this] {
                if (!ui->PicLibThumbnails1->Saving())
                    ui->PicLibThumbnails1->CancelRequested = true;
                if (!state_.ScanThread && !ui->PicLibThumbnails1->Busy) {
                    close();   // asks nothing while this timer runs
                    if (!isVisible())
                        closeRetry_->stop();
                }
            });
        }
        closeRetry_->start();
        return;
    }
    grid->CancelRequested = true;
    event->accept();
}

void TKvnPictureView::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    applyPendingSplitters();
}
