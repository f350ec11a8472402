// The viewer window's folder scan: started by the folder tree, the folder
// history and the change watcher; stopped, and waited for, before closing.

#include "kvnpictureview.h"
#include "ui_kvnpictureview.h"

#include "panework.h"
#include "shellchangenotifier.h"
#include "timethread.h"

#include "imagecontrol/mmopendialog.h"
#include "imagecontrol/mmsavedialog.h"

#include "platform/fileops.h"
#include "platform/paths.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QTimer>

namespace {

constexpr int kHistoryLimit = 100;

}  // namespace

// The grid holds the items of the folder scanned last, which need not be
// the tree's folder (a new choice whose scan has not loaded yet).
void TKvnPictureView::saveDatabaseOfShownFolder()
{
    const QString folder = state_.LastScannedFolder;
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        ui->PicLibThumbnails1->SaveDatabaseInBackground(TTimeThread::databaseFile(folder));
}

// Asks the running scan to stop, again until it has: a scan that has just
// been started clears the request when its first step runs.
void TKvnPictureView::stopScan()
{
    ui->PicLibThumbnails1->CancelRequested = true;
    if (!stopRepeat_) {
        stopRepeat_ = new QTimer(this);
        stopRepeat_->setInterval(20);
        connect(stopRepeat_, &QTimer::timeout, this, [this] {
            if (state_.ScanThread)
                ui->PicLibThumbnails1->CancelRequested = true;
            else
                stopRepeat_->stop();
        });
    }
    stopRepeat_->start();
}

void TKvnPictureView::waitForScanEnd()
{
    // The scan's steps run on this thread: keep them coming until it ends.
    while (state_.ScanThread) {
        ui->PicLibThumbnails1->CancelRequested = true;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
}

void TKvnPictureView::StartFolderScan()
{
    TPicLibThumbnails* grid = ui->PicLibThumbnails1;
    if (grid->Busy || state_.ScanActive || state_.ScanThread)
        return;
    ScanHost host;
    host.treePath = [this] { return ui->ShellTree1->path(); };
    host.updateFolderHistory = [this] { UpdateFolderHistory(); };
    host.setWatcherRoot = [this](const QString& root) { notifier_->setRoot(root); };
    host.setCancelEnabled = [this](bool on) { paneWork_->setScanCancelEnabled(on); };
    host.isUnsorted = [this] { return ui->actUnsortiert->isChecked(); };
    host.sortThumbnails = [grid] { grid->sortItems(grid->host.compare); };
    host.updateMarkedCount = [this] { UpdateMarkedCount(); };
    host.showMessage = [this](const QString& text) { showStatusMessage(text); };
    auto* thread = new TTimeThread(grid, &state_, host, this);
    state_.ScanThread = thread;
    connect(thread, &QThread::finished, this, [this, thread] {
        if (state_.ScanThread == thread)
            state_.ScanThread = nullptr;
        thread->deleteLater();
        if (stopRepeat_)
            stopRepeat_->stop();   // the request was for this scan, not the next
        if (!state_.ScanThread && ui->ShellTree1->takePendingChoice() && !state_.ScanThread)
            StartFolderScan();
    });
    state_.ScanActive = true;
    thread->start();
}

void TKvnPictureView::ShellChangeNotifier1Change()
{
    const TPicLibThumbnails* grid = ui->PicLibThumbnails1;
    if (paths::sameFolder(ui->ShellTree1->path(), notifier_->root()) && !grid->Busy
        && !state_.NotifySuppressed && !state_.ScanActive) {
        StartFolderScan();
        if (!state_.ScanThread) {
            state_.ScanActive = false;
            state_.NotifySuppressed = false;
            ui->PicLibThumbnails1->Busy = false;
        }
    }
    state_.NotifySuppressed = false;
}

void TKvnPictureView::MiniaturenNeubildenClick()
{
    TPicLibThumbnails* grid = ui->PicLibThumbnails1;
    if (grid->Busy || state_.ScanActive || state_.ScanThread)
        return;
    // the folder's own database, if it is one: never what a link points to
    const QString database = TTimeThread::databaseFile(paths::normalized(ui->ShellTree1->path()));
    if (QFileInfo(database).isFile() && !QFileInfo(database).isSymLink())
        fileops::removeFile(database);
    grid->Clear();
    StartFolderScan();
}

bool TKvnPictureView::folderChangeAllowed() const
{
    return state_.ScanThread == nullptr && !ui->PicLibThumbnails1->Busy && !state_.ScanActive
        && !state_.NotifySuppressed && !pane()->Working();
}

void TKvnPictureView::ShellTree1Change(const QString& path)
{
    if (ui->PicLibThumbnails1->Busy)
        return;
    state_.NotifySuppressed = true;
    UpdateFolderHistory();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    state_.CurrentFolder = path;
    // the open and save dialogs start in the folder the user looks at
    MMOpenDialog1_->InitialDir = path;
    MMSaveDialog1_->InitialDir = path;
    state_.NotifySuppressed = false;
    notifier_->setRoot(path);   // a new root reports once: that starts the scan
}

void TKvnPictureView::UpdateFolderHistory()
{
    const QString path = ui->ShellTree1->path();
    if (path.isEmpty())
        return;
    QComboBox* box = ui->ComboBoxEx1;
    if (box->findText(path, Qt::MatchExactly) < 0) {
        if (box->count() > kHistoryLimit)
            box->removeItem(0);
        box->addItem(QFileIconProvider().icon(QFileInfo(path)), path);
    }
    selectHistoryEntry(path);
}

void TKvnPictureView::selectHistoryEntry(const QString& path)
{
    ui->ComboBoxEx1->setCurrentIndex(path.isEmpty() ? -1 : ui->ComboBoxEx1->findText(path, Qt::MatchExactly));
}

void TKvnPictureView::ComboBoxEx1Select()
{
    const QString text = ui->ComboBoxEx1->currentText();
    if (QFileInfo(text).isDir())
        ui->ShellTree1->setPath(text);
}
