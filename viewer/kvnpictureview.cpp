#include "kvnpictureview.h"
#include "ui_kvnpictureview.h"

#include "comparethumbnails.h"
#include "databaselist.h"
#include "editorlink.h"
#include "elidinglabel.h"
#include "changedpicture.h"
#include "specialpictures.h"
#include "samplepicture.h"
#include "fileoperations.h"
#include "panework.h"
#include "conversion/pictureconvertdlg.h"
#include "conversion/colordepth/changecoldlg.h"
#include "conversion/sizing/picsizedlg.h"
#include "shellchangenotifier.h"
#include "timethread.h"
#include "shelltree.h"
#include "startupsettings.h"
#include "statuspathpanel.h"
#include "slideshow/diapropdlg.h"
#include "slideshow/diashowdlg.h"
#include "slideshow/gridslideitems.h"
#include "settings/aboutbox3.h"
#include "settings/hlpdlg.h"
#include "settings/prewdlg.h"
#include "settings/propertiesdlg.h"
#include "settings/whgrdlg.h"

#include "annotations/annosettings.h"
#include "annotations/annotationediting.h"
#include "codec/binding/display.h"
#include "codec/metafile/metafileconvert.h"
#include "codec/metafile/tmetafile.h"
#include "imagecontrol/annotationfile.h"
#include "imagecontrol/ilmultiimagetoolbar.h"
#include "imagecontrol/ilmultiimagetoolbarbutton.h"
#include "imagecontrol/mmopendialog.h"
#include "imagecontrol/mmsavedialog.h"
#include "imagecontrol/picturedecoder.h"
#include "imagecontrol/pmultiimage.h"
#include "imagecontrol/viewerdesign.h"
#include "printing/printservice.h"
#include "effects/dialog/effectsdialog.h"
#include "effects/undoring.h"
#include "thumbnails/depthtext.h"
#include "thumbnails/ispicturefile.h"
#include "thumbnails/piclibthumbnails.h"

#include "platform/colors.h"
#include "platform/fileops.h"
#include "platform/hourglass.h"
#include "platform/messagebox.h"
#include "platform/jpeggraphic.h"
#include "platform/paths.h"
#include "platform/settings.h"

#include <QActionGroup>
#include <QApplication>
#include <QWheelEvent>
#include <QCloseEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QToolTip>
#include <QDir>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>

namespace {

TKvnPictureView* theMainWindow = nullptr;

constexpr int kHistoryLimit = 100;

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

void TKvnPictureView::setUpThumbnails()
{
    TPicLibThumbnails* grid = ui->PicLibThumbnails1;
    grid->setGridLineWidth(5);
    grid->setThumbnailHeight(100);
    grid->AntiAliasedColorThumbNail = true;
    ThumbnailHost& h = grid->host;
    QProgressBar* bar = ui->ProgressBar1;
    // the pane's loads and saves borrow the bar, panel 1 and "Abbrechen"
    PaneWork::Host work;
    work.bar = bar;
    work.cancel = ui->actAbbrechen;
    work.menuBar = menuBar();
    work.statusText = [this] { return panels_[1]->text(); };
    work.setStatusText = [this](const QString& t) { panels_[1]->setText(t); };
    paneWork_ = new PaneWork(*pane(), work, this);
    h.setProgressPosition = [this](int v) { paneWork_->setScanPosition(v); };
    h.progressPosition = [this] { return paneWork_->scanPosition(); };
    h.setProgressMaximum = [this](int v) { paneWork_->setScanMaximum(v); };
    h.progressMaximum = [this] { return paneWork_->scanMaximum(); };
    h.setStatusText = [this](const QString& t) { paneWork_->setScanStatus(t); };
    grid->OnThumbDblClick = [this](int, int, int index, const QString& file, int page) {
        if (ui->PicLibThumbnails1->itemCount() > 0 && !file.isEmpty() && QFileInfo::exists(file))
            OpenSlideShow(index, page);
    };
    h.setCancelEnabled = [this](bool on) { paneWork_->setScanCancelEnabled(on); };
    h.setArrangeEnabled = [this](bool on) { ui->menuSymboleAnordnen->setEnabled(on); };
    h.setSettingsEnabled = [this](bool on) { ui->actEinstellungen->setEnabled(on); };
    h.isUnsorted = [this] { return ui->actUnsortiert->isChecked(); };
    h.compare = [this](const Th& a, const Th& b) {
        return CompareThumbnails(a, b, state_.SortOrder, state_.SortDescending);
    };
    h.sortThumbnails = [this] { SortThumbnails(); };
    h.updateMarkedCount = [this] { UpdateMarkedCount(); };
    h.currentFolder = [this] { return state_.CurrentFolder; };
    h.samplePicturePath = [this] { return state_.SamplePicturePath; };
    h.thumbnailsEnabled = [this] { return state_.ThumbnailsEnabled; };
    h.decodeByContent = [](const QString& path, TBitmap& picture) { return DecodeByContent(path, picture); };
    connect(notifier_, &ShellChangeNotifier::changed, this, &TKvnPictureView::ShellChangeNotifier1Change);
}

void TKvnPictureView::setUpFileOperations()
{
    FileOperations::Host host;
    host.treePath = [this] { return ui->ShellTree1->path(); };
    host.startFolderScan = [this] { StartFolderScan(); };
    host.sortThumbnails = [this] { SortThumbnails(); };
    host.updateMarkedCount = [this] { UpdateMarkedCount(); };
    host.releaseShownPicture = [this] {
        if (!pane()->Picture().empty())
            PushUndo(pane()->Picture());
        pane()->setPicture(TBitmap());
        pane()->setImageName(QString());
    };
    fileOps_ = new FileOperations(this, ui->PicLibThumbnails1, &state_, host);
    connect(ui->actLoeschen, &QAction::triggered, fileOps_, &FileOperations::Delete);
    connect(ui->actKopieren, &QAction::triggered, fileOps_, &FileOperations::Copy);
    connect(ui->actBewegen, &QAction::triggered, fileOps_, &FileOperations::Move);
    connect(ui->actMarkieren, &QAction::triggered, this, &TKvnPictureView::toggleSelectedMark);
    connect(ui->actAuswahlInvertieren, &QAction::triggered, this, [this] {
        TPicLibThumbnails* grid = ui->PicLibThumbnails1;
        for (int i = 0; i < grid->itemCount(); ++i)
            grid->SetChecked(i, !grid->GetChecked(i));
        UpdateMarkedCount();
    });
    connect(ui->actMiniaturbilderDrucken, &QAction::triggered, this, &TKvnPictureView::PrintThumbnails);
    connect(ui->actZumBearbeitenOeffnen, &QAction::triggered, this, &TKvnPictureView::OpenInEditor);
    connect(ui->actBildNeuLaden, &QAction::triggered, this, [this] {
        const TPicLibThumbnails* g = ui->PicLibThumbnails1;
        PicLibThumbnails1SelectThumb(g->Col(), g->Page(), g->Filename(), g->CurrentSelected, g->Row());
    });
    TPicLibThumbnails* grid = ui->PicLibThumbnails1;
    grid->OnKeyDown = [this](QKeyEvent* e) { return gridKeyDown(e); };
    grid->OnMouseUp = [this](QMouseEvent* e) { gridMouseUp(e); };
    grid->OnMouseMove = [this](const QPoint& p) { gridMouseMove(p); };
    grid->OnSelectThumb = [this](QObject*, int col, int row, int index, const QString& file, int page) {
        PicLibThumbnails1SelectThumb(col, page, file, index, row);
        UpdateMarkedCount();
    };
    grid->viewport()->setAcceptDrops(true);
    grid->viewport()->installEventFilter(this);
}

bool TKvnPictureView::eventFilter(QObject* watched, QEvent* event)
{
    if (paneWork_ && paneWork_->holdsBack(watched, event))
        return true;
    if (event->type() == QEvent::KeyPress && windowKeyPress(watched, static_cast<QKeyEvent*>(event)))
        return true;
    if (watched == pane() && paneEvent(event))
        return true;
    if (watched == ui->PicLibThumbnails1->viewport()) {
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto* drag = static_cast<QDropEvent*>(event);
            if (drag->mimeData()->hasUrls()) {
                drag->acceptProposedAction();
                return true;
            }
        } else if (event->type() == QEvent::Drop) {
            auto* drop = static_cast<QDropEvent*>(event);
            QStringList files;
            for (const QUrl& url : drop->mimeData()->urls())
                if (url.isLocalFile())
                    files << url.toLocalFile();
            drop->acceptProposedAction();
            fileOps_->Drop(files);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TKvnPictureView::PrintThumbnails()
{
    TPicLibThumbnails* grid = ui->PicLibThumbnails1;
    bool marked = false;
    for (int i = 0; i < grid->itemCount() && !marked; ++i)
        marked = grid->GetChecked(i);
    QList<ContactSheetItem> items;
    for (int i = 0; i < grid->itemCount(); ++i) {
        const Th& th = grid->item(i);
        if (!marked || grid->GetChecked(i))
            items << ContactSheetItem{th.FileName, th.PageIndex, th.PageCount, QSize(th.Width, th.Height),
                                      grid->Miniature(i).image()};
    }
    if (!items.isEmpty())
        print_->PrintContactSheet(items);
}

void TKvnPictureView::toggleSelectedMark()
{
    TPicLibThumbnails* grid = ui->PicLibThumbnails1;
    const int i = grid->CurrentSelected;
    if (i >= 0 && i < grid->itemCount())
        grid->SetChecked(i, !grid->GetChecked(i));
    UpdateMarkedCount();
}

void TKvnPictureView::setAllMarks(bool value)
{
    TPicLibThumbnails* grid = ui->PicLibThumbnails1;
    for (int i = 0; i < grid->itemCount(); ++i)
        grid->SetChecked(i, value);
}

bool TKvnPictureView::gridKeyDown(QKeyEvent* e)
{
    TPicLibThumbnails* grid = ui->PicLibThumbnails1;
    const bool selected = grid->CurrentSelected >= 0 && grid->CurrentSelected < grid->itemCount();
    bool handled = true;
    if (e->key() == Qt::Key_Delete)
        fileOps_->Delete();
    else if (e->key() == Qt::Key_Escape) {
        setAllMarks(false);
        grid->CancelRequested = true;
    } else if (e->key() == Qt::Key_A && (e->modifiers() & Qt::ControlModifier))
        setAllMarks(true);
    else if (e->key() == Qt::Key_Space && selected)
        grid->SetChecked(grid->CurrentSelected, !grid->GetChecked(grid->CurrentSelected));
    else if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && selected)
        OpenInEditor();
    else
        handled = false;
    UpdateMarkedCount();
    return handled;
}

void TKvnPictureView::gridMouseUp(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton || !(e->modifiers() & Qt::ControlModifier))
        return;
    TPicLibThumbnails* grid = ui->PicLibThumbnails1;
    int row = -1, col = -1;
    grid->MouseToCell(int(e->position().x()), int(e->position().y()), row, col);
    if (row >= 0 && col >= 0 && row * grid->ColCount() + col < grid->itemCount())
        toggleSelectedMark();
    grid->viewport()->update();
}

QString TKvnPictureView::thumbnailHint(int index) const
{
    const TPicLibThumbnails* grid = ui->PicLibThumbnails1;
    if (index < 0 || index >= grid->itemCount())
        return {};
    const Th& t = grid->item(index);
    QString hint = paths::fileName(t.FileName) + "\r\n" + QString::number(t.Width) + " x " + QString::number(t.Height)
        + " " + DepthText(t) + "\r\n" + t.Compression + "\r\n" + QString::number(t.FileSize) + " Byte";
    if (t.FileDate.isValid())
        hint += "\r\n" + QLocale::system().toString(t.FileDate, QLocale::ShortFormat);
    return hint;
}

void TKvnPictureView::gridMouseMove(const QPoint& pos)
{
    TPicLibThumbnails* grid = ui->PicLibThumbnails1;
    if (grid->itemCount() == 0) {
        grid->viewport()->setToolTip(QString());
        return;
    }
    grid->setFocus();
    int row = -1, col = -1;
    grid->MouseToCell(pos.x(), pos.y(), row, col);
    const int index = row >= 0 && col >= 0 ? row * grid->ColCount() + col : -1;
    grid->viewport()->setToolTip(QString(thumbnailHint(index)).replace("\r\n", "\n"));
}

void TKvnPictureView::PicLibThumbnails1SelectThumb(int, int page, const QString& file, int, int)
{
    const TPicLibThumbnails* grid = ui->PicLibThumbnails1;
    if (grid->itemCount() == 0 || file.isEmpty() || !QFileInfo::exists(file))
        return;
    const bool other = pane()->ImageName() != file || pane()->TiffPage() != page;
    if (!other)
        return;
    ShowPicture(file, page, pane());
    state_.ScanActive = false;
    state_.NotifySuppressed = false;
    ui->PicLibThumbnails1->Busy = false;
    ui->PicLibThumbnails1->Resizing = false;
}

QString TKvnPictureView::pictureInformationText(const QString& file, int page) const
{
    return specialpictures::pictureInformationText(pane()->imageInfo, file, page);
}

namespace {

void warnNotAPicture(QWidget* owner, const QString& file)
{
    MessageBox::warning(owner, QStringLiteral("Nicht unterstütztes Bildformat"),
                        "Die Datei \"" + paths::fileName(file) + "\" ist keine unterstützte Bilddatei.");
}

}  // namespace

QString TKvnPictureView::metafileInformationText(const QString& format, const TBitmap& picture) const
{
    return specialpictures::metafileInformationText(format, picture);
}

QString TKvnPictureView::iconInformationText(const QString& file, const TBitmap& picture) const
{
    return specialpictures::iconInformationText(file, picture);
}

void TKvnPictureView::ShowPicture(const QString& file, int page, TPMultiImage* c)
{
    if (c == pane() && pane()->Working()) {
        deferPicture(file, page);
        return;
    }
    if (!IsPictureFile(file)) {
        if (c == pane())
            warnNotAPicture(this, file);   // the user chose it: say why nothing changes
        return;
    }
    if (c == pane() && !mayReplaceShownPicture())
        return;
    HourglassCursor busy;
    const bool isPane = c == pane();
    // the shown picture goes on the undo ring once another has taken its place
    const TBitmap shownPicture = isPane ? c->Picture() : TBitmap();
    const qint16 shownPage = c->TiffPage();
    const QString shownInformation = statusText(3);
    c->setTiffPage(qint16(page));
    c->ImageReadRes = lAutoMatic;
    c->ImageWriteRes = sAutoMatic;
    const QString ext = paths::lowerExtension(file);
    QString information;
    if (ext == ".wmf" || ext == ".emf") {
        c->setImageName(file);
        if (const TBitmap bitmap = specialpictures::metafilePicture(file); !bitmap.empty())
            c->setPicture(bitmap);
        c->DefSaveFilename = file;
        information = metafileInformationText(ext == ".wmf" ? "Windows Metafile" : "Enhanced Metafile", c->Picture());
    } else if (ext == ".ico") {
        c->setImageName(file);
        TBitmap icon;
        if (!specialpictures::iconPicture(file, colors::toQColor(c->Color()), icon))
            return;   // 256-pixel entries are not shown here
        c->setPicture(icon);
        information = iconInformationText(file, c->Picture());
    } else {
        c->setImageName(file);
        if (c->LoadFailed() && c->Stopped()) {
            // stopped by the user: the shown picture stays as it was
            c->setTiffPage(shownPage);
            if (isPane)
                keepShownPicture(shownInformation);
            return;
        }
        if (c->LoadFailed()) {
            // the shown picture stays with its name, page, save name and
            // information; an empty pane keeps the control's error text
            c->setTiffPage(shownPage);
            if (isPane && !shownPicture.empty())
                showStatusMessage(shownInformation);
            if (isPane || c->Picture().empty())
                warnNotAPicture(this, file);
            return;
        }
        c->DefSaveFilename = file;
        MMSaveDialog1_->FileName = file;
        MMSaveDialog1_->TiffSelectedPage = qint16(page);
        information = pictureInformationText(file, page);
    }
    if (!shownPicture.empty())
        PushUndo(shownPicture);
    if (isPane) {
        SelectSaveFilter(paths::extension(file));
        MMSaveDialog1_->FileName = file;
        showStatusMessage(information);
    }
    c->setShowScrollbars(true);
    c->setJPegSaveQuality(255);
    c->ImageWriteRes = sAutoMatic;
    c->ReduceDither = IL_BAYER;
    if (!c->Picture().empty()) {
        if (isPane) {
            state_.SelectedPicture = file;
            // the picture's annotations, loaded by the pane, are shown for editing
            TILMultiImageToolBar* bar = ui->ILMultiImageToolBar1;
            if (c->AutoLoadAnno && QFileInfo::exists(PictureAnnotationFile(file)) && bar->button(ibAnnotEdit)->isEnabled() &&
                !bar->button(ibAnnotEdit)->isChecked())
                bar->Click(ibAnnotEdit);
            pathPanel_->setIcon(QFileIconProvider().icon(QFileInfo(file)));
            pathPanel_->setText(file);
        }
    } else {
        warnNotAPicture(this, file);
    }
    c->setModified(false);   // the metafile and icon paths set it
    if (isPane)
        UpdateMarkedCount();
}

// Asked while the pane loads or saves (by the program, such as a scan
// choosing its remembered picture; the user's input waits): the picture of
// that work stays, and the grid's choice follows it once the work has ended.
void TKvnPictureView::deferPicture(const QString&, int)
{
    paneWork_->whenDone([this] { selectShownItem(); });
}

void TKvnPictureView::selectShownItem()
{
    TPicLibThumbnails* grid = ui->PicLibThumbnails1;
    grid->CurrentSelected = grid->IndexOfFile(pane()->ImageName(), pane()->TiffPage());
    grid->viewport()->update();
    UpdateMarkedCount();
}

// A stopped load: the pane's picture, its information and the grid's
// choice of it stay as they were.
void TKvnPictureView::keepShownPicture(const QString& information)
{
    showStatusMessage(information);
    selectShownItem();
}

// Asks before a changed picture in the pane is replaced; when it stays, the
// grid selects it again.
bool TKvnPictureView::mayReplaceShownPicture()
{
    const auto answer = changedpicture::ask(this, *ui->ILMultiImageToolBar1);
    if (answer == changedpicture::Answer::Replace)
        return true;
    if (answer == changedpicture::Answer::NotSaved)
        showStatusMessage(changedpicture::notSavedText());
    TPicLibThumbnails* grid = ui->PicLibThumbnails1;
    if (grid->IndexOfFile(pane()->ImageName(), pane()->TiffPage()) < 0) {
        grid->CurrentSelected = -1;
        grid->viewport()->update();
    }
    return false;
}

void TKvnPictureView::SelectSaveFilter(const QString& extension)
{
    if (const int index = TMMOpenDialog::filterIndexOfExtension(extension.mid(1)); index > 0)
        MMSaveDialog1_->FilterIndex = index;
}

void TKvnPictureView::OpenInEditor()
{
    const TPicLibThumbnails* grid = ui->PicLibThumbnails1;
    const int i = grid->CurrentSelected;
    if (i < 0 || i >= grid->itemCount())
        return;
    const Th& item = grid->item(i);
    if (item.FileName.isEmpty() || !QFileInfo::exists(item.FileName))
        return;
    EditorLink::open(item.FileName, item.PageIndex);
}

void TKvnPictureView::setUpKeys()
{
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(f1, &QShortcut::activated, this, &TKvnPictureView::ShowHelp);
    auto* f5 = new QShortcut(QKeySequence(Qt::Key_F5), this);
    connect(f5, &QShortcut::activated, this, &TKvnPictureView::StartFolderScan);
    // Esc cancels long work anywhere in the window; in the grid it also
    // clears the marks, which the shortcut would otherwise take from it.
    auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(esc, &QShortcut::activated, this, [this] {
        TPicLibThumbnails* grid = ui->PicLibThumbnails1;
        if (grid->hasFocus()) {
            setAllMarks(false);
            UpdateMarkedCount();
        }
        grid->CancelRequested = true;
    });
}

void TKvnPictureView::setUpToolbar()
{
    TILMultiImageToolBar* bar = ui->ILMultiImageToolBar1;
    bar->setAligned(true);
    bar->setHints(TILMultiImageToolBar::ViewerHints());
    bar->setMMOpenDialog(MMOpenDialog1_.get());
    bar->setMMSaveDialog(MMSaveDialog1_.get());
    bar->setThumbnails(ui->PicLibThumbnails1);
    bar->ScanActive = &state_.ScanActive;
    bar->ShowPicture = [this](const QString& file, int page, TPMultiImage& target) {
        ShowPicture(file, page, &target);
    };
    bar->OnActionError = [this](const QString& message) { showStatusMessage(message); };
    bar->AfterAction = [this](QObject*, TILMultiImageToolBarBtn b) {
        // a pasted picture has no file: its own information replaces the file's
        if (b == ibPaste && !pane()->Picture().empty()) {
            clearShownPath();
            showStatusMessage(specialpictures::pastedInformationText(pane()->Picture()));
        }
    };
    bar->BeforeAction = [this](QObject*, TILMultiImageToolBarBtn b, bool& process) {
        if (b == ibScan)
            process = mayReplaceShownPicture();
    };
    print_ = new PrintService(this);
    bar->PrintDialog = [this](TPMultiImage& image) { print_->PrintPicture(image); };
    annotationediting::Attach(*bar);
    TAnnoSettings().ApplyViewerForm();
    pane()->EffectsDialog = [this](TPMultiImage&, GlobalHandle& master) { return RunEffectsDialog(this, master); };
    bar->ResizeDialog = [this](TPMultiImage& image) { return RunPicSizeDialog(this, print_->printer(), image); };
    bar->ColorDepthDialog = MakeColorDepthHook(this, [this] { return state_.SamplePicturePath; });
    bar->setMultiImage(pane());
    pane()->installEventFilter(this);
    pane()->setMouseTracking(true);
    // the window sees keys before its controls
    qApp->installEventFilter(this);
}

bool TKvnPictureView::HandleToolbarKeys(int key, Qt::KeyboardModifiers shift)
{
    if (state_.ScanActive)
        return false;
    const bool keypad = shift & Qt::KeypadModifier;
    const bool alt = shift & Qt::AltModifier;
    std::optional<TILMultiImageToolBarBtn> button;
    if (key == Qt::Key_F3)
        button = ibOpen;
    else if (key == Qt::Key_F2)
        button = ibSave;
    else if ((key == Qt::Key_D || (key == Qt::Key_4 && keypad) || (key == Qt::Key_Left && keypad)) && alt)
        button = ibPrint;
    else if (key == Qt::Key_Left || key == Qt::Key_Up)
        button = ibback;
    else if (key == Qt::Key_Right || key == Qt::Key_Down)
        button = ibnext;
    else if (key == Qt::Key_Plus && keypad)
        button = ibZoomIn;
    else if (key == Qt::Key_Minus && keypad)
        button = ibZoomOut;
    else if (key == Qt::Key_Asterisk && keypad)
        button = ibResetZoom;
    return button && toolbar()->Click(*button);
}

bool TKvnPictureView::windowKeyPress(QObject* watched, QKeyEvent* event)
{
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this)
        return false;
    // a key a control passed on to its parents still belongs to that control
    if (QWidget* focus = QApplication::focusWidget(); focus && focus->window() == this)
        widget = focus;
    // the folder tree and the path list keep their arrow keys
    const bool arrow = event->key() == Qt::Key_Left || event->key() == Qt::Key_Right ||
                       event->key() == Qt::Key_Up || event->key() == Qt::Key_Down;
    const bool alt = event->modifiers() & Qt::AltModifier;
    // Entf on the picture deletes the grid's selected picture, as in the grid
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier
        && (widget == pane() || pane()->isAncestorOf(widget)) && !annotationEditing()) {
        fileOps_->Delete();
        return true;
    }
    if (arrow && !alt &&
        (ui->ShellTree1->isAncestorOf(widget) || widget == ui->ShellTree1 || ui->ComboBoxEx1->isAncestorOf(widget) ||
         widget == ui->ComboBoxEx1))
        return false;
    return HandleToolbarKeys(event->key(), event->modifiers());
}

bool TKvnPictureView::annotationEditing() const
{
    const TILMultiImageToolBarButton* annot = toolbar()->button(ibAnnotEdit);
    return annot->isEnabled() && annot->isChecked();
}

bool TKvnPictureView::paneEvent(QEvent* event)
{
    TILMultiImageToolBar* bar = toolbar();
    if (event->type() == QEvent::Wheel) {
        const int delta = static_cast<QWheelEvent*>(event)->angleDelta().y();
        if (delta < 0)
            bar->Click(ibnext);
        else if (delta > 0)
            bar->Click(ibback);
        return true;
    }
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter) {
        if (!annotationEditing() && !(pane()->hasFocus() && !bar->hasFocus()))
            pane()->setFocus(Qt::MouseFocusReason);
    }
    return false;
}

void TKvnPictureView::buildStatusBar()
{
    const int widths[4] = {50, 200, 300, 50};
    for (int i = 0; i < 4; ++i) {
        if (i == 2) {
            pathPanel_ = new StatusPathPanel(this);
            pathPanel_->setMinimumWidth(widths[i]);
            pathPanel_->setMaximumWidth(widths[i]);
            statusBar()->addWidget(pathPanel_);
            continue;
        }
        panels_[i] = new ElidingLabel(this);
        panels_[i]->setMinimumWidth(widths[i]);
        if (i < 3)
            panels_[i]->setMaximumWidth(widths[i]);
        // the last panel takes the rest of the bar: its messages are long
        statusBar()->addWidget(panels_[i], i == 3 ? 1 : 0);
    }
}

void TKvnPictureView::buildSortGroups()
{
    sortGroup_ = new QActionGroup(this);
    sortGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (QAction* a : {ui->actNachDateinamen, ui->actNachErweiterung, ui->actNachGroesse,
                       ui->actNachDatum, ui->actNachBildgroesse, ui->actUnsortiert})
        sortGroup_->addAction(a);
    directionGroup_ = new QActionGroup(this);
    directionGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    directionGroup_->addAction(ui->actVorwaerts);
    directionGroup_->addAction(ui->actRueckwaerts);
}

void TKvnPictureView::buildContextMenu()
{
    popupMenu_ = new QMenu(this);
    QAction* diashow = new QAction(QStringLiteral("Diashow"), this);
    diashow->setObjectName("actDiashowKontext");
    connect(diashow, &QAction::triggered, this, [this] {
        const TPicLibThumbnails* grid = ui->PicLibThumbnails1;
        const int i = grid->CurrentSelected;
        const bool selected = i >= 0 && i < grid->itemCount();
        OpenSlideShow(selected ? i : -1, selected ? grid->item(i).PageIndex : 0);
    });
    const QList<QList<QAction*>> groups = {
        {ui->actMarkieren, ui->actAuswahlInvertieren},
        {ui->actUmwandeln, ui->actZumBearbeitenOeffnen},
        {ui->actKopieren, ui->actBewegen, ui->actLoeschen},
        {ui->actBildNeuLaden, diashow},
        {ui->actAktualisieren, ui->actMiniaturenNeubilden, ui->actMiniaturbilderDrucken},
        {ui->actAlsHintergrund, ui->actEigenschaften},
    };
    for (int g = 0; g < groups.size(); ++g) {
        if (g > 0)
            popupMenu_->addSeparator();
        popupMenu_->addActions(groups[g]);
    }
    connect(ui->PicLibThumbnails1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { popupMenu_->popup(ui->PicLibThumbnails1->mapToGlobal(pos)); });
}

void TKvnPictureView::connectCommands()
{
    connect(ui->actProgrammBeenden, &QAction::triggered, this, &QWidget::close);
    connect(ui->actDiashowStarten, &QAction::triggered, this, [this] { OpenSlideShow(-1, 0); });
    connect(ui->actDiashowEigenschaften, &QAction::triggered, this, &TKvnPictureView::SlideShowProperties);
    connect(ui->actDatenbankdateienLoeschen, &QAction::triggered, this,
            &TKvnPictureView::DatenbankdateienLoeschenClick);
    for (QAction* a : sortGroup_->actions() + directionGroup_->actions())
        connect(a, &QAction::triggered, this, &TKvnPictureView::SortThumbnails);
    connect(ui->ShellTree1, &ShellTree::folderChanged, this, &TKvnPictureView::ShellTree1Change);
    // the pane's load or save, while one runs, else the scan
    connect(ui->actAbbrechen, &QAction::triggered, this, [this] {
        if (paneWork_->busy())
            paneWork_->stop();
        else
            ui->PicLibThumbnails1->CancelRequested = true;
    });
    connect(ui->actAktualisieren, &QAction::triggered, this, &TKvnPictureView::StartFolderScan);
    connect(ui->actMiniaturenNeubilden, &QAction::triggered, this, &TKvnPictureView::MiniaturenNeubildenClick);
    connect(ui->actEinstellungen, &QAction::triggered, this, &TKvnPictureView::Einstellungen);
    connect(ui->actEigenschaften, &QAction::triggered, this, &TKvnPictureView::ShowProperties);
    connect(ui->actAlsHintergrund, &QAction::triggered, this, &TKvnPictureView::SetAsWallpaper);
    connect(ui->actUmwandeln, &QAction::triggered, this, &TKvnPictureView::Umwandeln);
    connect(ui->actInfo, &QAction::triggered, this, &TKvnPictureView::ShowAbout);
    for (QMenu* menu : {ui->menuBearbeiten, ui->menuSymboleAnordnen, popupMenu_})
        connect(menu, &QMenu::aboutToShow, this, &TKvnPictureView::UpdateCommandStates);
    connect(ui->ComboBoxEx1, &QComboBox::activated, this, &TKvnPictureView::ComboBoxEx1Select);
    // a typed path that is no history entry yet: the box itself does nothing with it
    connect(ui->ComboBoxEx1->lineEdit(), &QLineEdit::returnPressed, this, &TKvnPictureView::ComboBoxEx1Select);
}

void TKvnPictureView::disableUnbuiltCommands()
{
    // Commands whose work is not built yet stay disabled.
    for (QAction* a : {ui->actAbbrechen})
        a->setEnabled(false);
}

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

void TKvnPictureView::PruneDatabaseList()
{
    Settings store;
    DatabaseList::prune(store);
}

void TKvnPictureView::LoadSettings()
{
    StartupSettings s;
    {
        Settings store;
        s = StartupSettings::read(store);
    }
    TPMultiImage* p = pane();
    p->FXDelay = s.Delay;
    p->FXColRowThick = s.Thick;
    p->FXMethod = TFXMethod(s.FXMethod);
    p->setColor(s.ViewColor);
    p->setStretchRatio(s.StretchRatio);
    p->setCenter(s.Center);
    p->AllowRubberBand = s.AllowRubberBand;
    p->setEditAnnotat(s.EditAnnotat);
    p->AutoLoadAnno = s.AutoLoadAnno;
    state_.appearance = s.thumbs;
    reopenLastFolder_ = s.lastfolder;
    state_.CopyFolder = s.Copyfolder;
    state_.MoveFolder = s.Movefolder;
    state_.SelectedPicture = s.sel_bild;

    TMMSaveDialog& save = *MMSaveDialog1_;
    TMMOpenDialog& open = *MMOpenDialog1_;
    applyFileDialogOptions(s.dialog, save);
    applyFileDialogOptions(s.dialog, open);
    p->TiffAppend = save.TIFFAppended;
    if (save.TIFFCompres >= 0 && save.TIFFCompres <= 5)
        p->TifSaveCompress = TTiffCompression(save.TIFFCompres);
    p->PNGInterLaced = save.PNGInterLaced;
    p->setJPegSaveQuality(save.JPEGQualiy);
    p->setJPegSaveSmooth(save.JPEGSmooth);
    open.JPEGQualiy = p->JPegSaveQuality();
    open.JPEGSmooth = p->JPegSaveSmooth();

    state_.SortOrder = s.Arranging;
    state_.SortDescending = s.Arranging_Direction;
    checkSortItems();
    state_.ThumbnailsEnabled = s.SaveDiaDB;

    applyGridAppearance();

    // the window was placed before it was shown (placeWindow)
    applyPendingSplitters();

    if (reopenLastFolder_ && !s.BaseFolder.isEmpty() && QFileInfo(s.BaseFolder).isDir()) {
        state_.ScanActive = false;
        state_.NotifySuppressed = false;
        ui->ShellTree1->setPath(s.BaseFolder);
        state_.CurrentFolder = ui->ShellTree1->path();
        state_.ScanActive = false;
    }
}

// Places the window before it is first shown, so that the window system
// takes the position as the frame's, as pos() reports it when saved. A
// stored geometry off the screen gives the design size with the whole
// window, title bar included, at the screen's top-left corner.
void TKvnPictureView::placeWindow(const StartupSettings& s)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (s.geometryAcceptable(screen ? screen->size() : QSize())) {
        resize(s.f_w, s.f_h);
        move(s.f_x, s.f_y);
        pendingSplitters_ = {s.sp_v, s.sp_b};
    } else if (screen) {
        move(screen->availableGeometry().topLeft());
    }
}

// The grid's selected picture; while a scan has not reselected yet, the one
// it is going to reselect.
QString TKvnPictureView::rememberedPicture() const
{
    const TPicLibThumbnails* grid = ui->PicLibThumbnails1;
    if (grid->CurrentSelected >= 0 && grid->CurrentSelected < grid->itemCount())
        return grid->item(grid->CurrentSelected).FileName;
    return state_.SelectedPicture;
}

void TKvnPictureView::SaveSettings()
{
    StartupSettings s;
    const TPMultiImage* p = pane();
    s.Delay = p->FXDelay;
    s.Thick = p->FXColRowThick;
    s.FXMethod = p->FXMethod;
    s.ViewColor = p->Color();
    s.BaseFolder = ui->ShellTree1->path();
    s.thumbs = state_.appearance;
    s.lastfolder = reopenLastFolder_;
    s.Copyfolder = state_.CopyFolder;
    s.Movefolder = state_.MoveFolder;
    s.StretchRatio = p->StretchRatio();
    s.Center = p->Center();
    s.AllowRubberBand = p->AllowRubberBand;
    s.EditAnnotat = p->EditAnnotat();
    s.f_w = width();
    s.f_h = height();
    s.f_x = pos().x();
    s.f_y = pos().y();
    s.sp_v = ui->TwoPaneSplit2->sizes().value(0);
    s.sp_b = ui->TwoPaneSplit1->sizes().value(0);
    s.sel_bild = rememberedPicture();
    s.dialog = fileDialogOptionsOf(*MMSaveDialog1_);
    s.Arranging = state_.SortOrder;
    s.Arranging_Direction = state_.SortDescending;
    s.AutoLoadAnno = p->AutoLoadAnno;
    s.SaveDiaDB = state_.ThumbnailsEnabled;
    Settings store;
    s.write(store);
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

void TKvnPictureView::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    applyPendingSplitters();
}

void TKvnPictureView::applyPendingSplitters()
{
    if (!pendingSplitters_)
        return;
    const auto [treeHeight, leftWidth] = *pendingSplitters_;
    pendingSplitters_.reset();
    if (layout())
        layout()->activate();
    ui->TwoPaneSplit2->setSizes({treeHeight, qMax(1, ui->TwoPaneSplit2->height() - treeHeight)});
    ui->TwoPaneSplit1->setSizes({leftWidth, qMax(1, ui->TwoPaneSplit1->width() - leftWidth)});
}

void TKvnPictureView::clearShownPath()
{
    pathPanel_->setIcon(QIcon());
    pathPanel_->setText(QString());
}

void TKvnPictureView::showStatusMessage(const QString& text)
{
    panels_[3]->setText(text);
    panels_[3]->setToolTip(text);
}

QString TKvnPictureView::statusText(int panel) const
{
    if (panel == 2)
        return pathPanel_->text();
    return (panel >= 0 && panel < 4 && panels_[panel]) ? panels_[panel]->text() : QString();
}


void TKvnPictureView::applyGridAppearance()
{
    const ThumbnailAppearance& a = state_.appearance;
    TPicLibThumbnails* grid = ui->PicLibThumbnails1;
    grid->setColor(colors::toQColor(a.diacolor));
    grid->ColorSelected = colors::toQColor(a.diarahmen);
    grid->ColorChecked = colors::toQColor(a.diasel);
    grid->FillColor = colors::toQColor(a.fillcolor);
    grid->setThumbnailWidth(a.diax);
    grid->setThumbnailHeight(a.diay);
    grid->FrameWidth = a.rahmenw;
    grid->ColorUnChecked = colors::toQColor(a.diafillcolor);
    grid->ColorUnSelected = colors::toQColor(a.diarahmencolor);
    grid->FontColor = colors::toQColor(a.ThumbFontColor);
    grid->viewport()->update();
}

void TKvnPictureView::checkSortItems()
{
    const QList<QAction*> keys = sortGroup_->actions();
    for (int i = 0; i < keys.size(); ++i)
        keys[i]->setChecked(i == state_.SortOrder);
    ui->actVorwaerts->setChecked(state_.SortDescending == 0);
    ui->actRueckwaerts->setChecked(state_.SortDescending == 1);
}

void TKvnPictureView::SortThumbnails()
{
    if (state_.NotifySuppressed)
        return;
    const QList<QAction*> keys = sortGroup_->actions();
    state_.SortOrder = 0;
    for (int i = 0; i < keys.size(); ++i)
        if (keys[i]->isChecked())
            state_.SortOrder = i;
    state_.SortDescending = ui->actRueckwaerts->isChecked() ? 1 : 0;
    if (state_.SortOrder != 5)
        ui->PicLibThumbnails1->sortItems(ui->PicLibThumbnails1->host.compare);
    ui->PicLibThumbnails1->viewport()->update();
}

void TKvnPictureView::UpdateMarkedCount()
{
    const TPicLibThumbnails* grid = ui->PicLibThumbnails1;
    int marked = 0;
    for (int i = 0; i < grid->itemCount(); ++i)
        marked += grid->GetChecked(i) ? 1 : 0;
    panels_[1]->setText(QString::number(grid->itemCount()) + " Bilder   " + QString::number(marked) + " ausgewählt");
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

void TKvnPictureView::UpdateCommandStates()
{
    const TPicLibThumbnails* grid = ui->PicLibThumbnails1;
    const bool selected = grid->CurrentSelected >= 0 && grid->CurrentSelected < grid->itemCount();
    bool marked = false;
    for (int i = 0; i < grid->itemCount() && !marked; ++i)
        marked = grid->GetChecked(i);
    ui->actMarkieren->setEnabled(selected);
    ui->actBildNeuLaden->setEnabled(selected);
    ui->actZumBearbeitenOeffnen->setEnabled(selected);
    for (QAction* a : {ui->actKopieren, ui->actBewegen, ui->actLoeschen, ui->actUmwandeln})
        a->setEnabled(!grid->Busy && (selected || marked));
    ui->actAktualisieren->setEnabled(!state_.ScanActive);
    ui->actMiniaturenNeubilden->setEnabled(!grid->Busy && !state_.ScanActive && !state_.ScanThread);
    ui->actMiniaturbilderDrucken->setEnabled(grid->itemCount() > 0);
    ui->actEigenschaften->setEnabled(selected);
    ui->actAlsHintergrund->setEnabled(selected && !pane()->Picture().empty());
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

void TKvnPictureView::DatenbankdateienLoeschenClick()
{
    Settings store;
    DatabaseList::deleteAll(store);
}

void TKvnPictureView::OpenSlideShow(int index, int page)
{
    if (slideShow_)
        slideShow_->close();
    auto* show = new TDiashowDlg(GridSlideItems(ui->PicLibThumbnails1), this);
    show->setAttribute(Qt::WA_DeleteOnClose);
    if (index >= 0)
        show->setStartItem(index, page);
    slideShow_ = show;
    show->open();
}

void TKvnPictureView::Einstellungen()
{
    state_.SettingsResult = 0;
    {
        TprewDlg dialog({&state_, pane(), ui->PicLibThumbnails1, &reopenLastFolder_}, this);
        TprewDlg::run(dialog);
    }
    if (state_.SettingsResult == 1 || state_.SettingsResult == 2)
        ApplySettingsResult();
}

void TKvnPictureView::ApplySettingsResult()
{
    const bool newSize = state_.SettingsResult == 2;
    TPicLibThumbnails* grid = ui->PicLibThumbnails1;
    if (newSize) {
        DatenbankdateienLoeschenClick();
        grid->setThumbnailWidth(state_.appearance.diax);
        grid->setThumbnailHeight(state_.appearance.diay);
        grid->Clear();
    }
    applyGridAppearance();
    SaveSettings();
    if (newSize)
        StartFolderScan();
    else
        grid->viewport()->update();
}

void TKvnPictureView::ShowProperties()
{
    const TPicLibThumbnails* grid = ui->PicLibThumbnails1;
    const int i = grid->CurrentSelected;
    if (i < 0 || i >= grid->itemCount())
        return;
    TPropertiesDlg dialog(grid->item(i).FileName, grid->item(i), this);
    dialog.exec();
}

void TKvnPictureView::Umwandeln()
{
    TPicLibThumbnails* grid = ui->PicLibThumbnails1;
    QStringList files, pages;
    for (int i : fileOps_->operands()) {
        files << grid->item(i).FileName;
        pages << QString::number(grid->item(i).PageIndex);
    }
    if (files.isEmpty())
        return;
    TPictureConvertDlg::Host host;
    host.askOverwrite = [this](const QString& source, const QString& target, QString& renameTo) {
        const int answer = fileOps_->AskOverwrite(source, target);
        if (answer == ConversionPlanner::Rename)
            renameTo = state_.RenameTarget;
        return answer;
    };
    host.confirmCreateFolder = [this](const QString& folder) {
        return QMessageBox::question(this, QStringLiteral("Einen Neuen Ordner erstellen"),
                                     QStringLiteral("Der Ordner \"%1\" existiert nicht.\r\n Möchten Sie den Ordner "
                                                    "erstellen?")
                                         .arg(folder),
                                     QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    };
    host.shownFolder = [this] { return ui->ShellTree1->path(); };
    host.addFile = [grid](const QString& file) { grid->AddFile(file); };
    host.startFolderScan = [this] { StartFolderScan(); };
    host.setScanActive = [this](bool active) { state_.ScanActive = active; };
    TPictureConvertDlg dialog(host, this);
    dialog.setSources(files, pages);
    dialog.exec();
    UpdateMarkedCount();
}

void TKvnPictureView::SetAsWallpaper()
{
    const TPicLibThumbnails* grid = ui->PicLibThumbnails1;
    const int i = grid->CurrentSelected;
    if (i < 0 || i >= grid->itemCount() || pane()->Picture().empty())
        return;
    TWHGRDlg dialog({[this](const QString& incoming, const QString& existing) {
                         return fileOps_->AskOverwrite(incoming, existing);
                     },
                     [this] { return state_.RenameTarget; }},
                    this);
    dialog.setPicture(pane()->Picture().image());
    dialog.setFileName(QFileInfo(grid->item(i).FileName).completeBaseName());
    dialog.exec();
}

void TKvnPictureView::ShowHelp()
{
    if (!help_) {
        auto* help = new THlpDlg(THlpDlg::defaultHelpFile(), this);
        if (!help->loadError().isEmpty())
            showStatusMessage(help->loadError());
        help_ = help;
    }
    help_->show();
    help_->raise();
}

void TKvnPictureView::ShowAbout()
{
    TAboutBox3 about(this);
    about.exec();
}

void TKvnPictureView::SlideShowProperties()
{
    TDiaPropDlg dialog(state_.SamplePicturePath, this);
    dialog.exec();
}
