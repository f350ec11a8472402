// The viewer window's grid: its host, its file operations, marks, hints and
// the choice of a picture.

#include "kvnpictureview.h"
#include "ui_kvnpictureview.h"

#include "comparethumbnails.h"
#include "editorlink.h"
#include "elidinglabel.h"
#include "fileoperations.h"
#include "panework.h"
#include "shellchangenotifier.h"

#include "effects/undoring.h"
#include "imagecontrol/picturedecoder.h"
#include "printing/printservice.h"
#include "thumbnails/depthtext.h"

#include "platform/paths.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>

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

void TKvnPictureView::UpdateMarkedCount()
{
    const TPicLibThumbnails* grid = ui->PicLibThumbnails1;
    int marked = 0;
    for (int i = 0; i < grid->itemCount(); ++i)
        marked += grid->GetChecked(i) ? 1 : 0;
    panels_[1]->setText(QString::number(grid->itemCount()) + " Bilder   " + QString::number(marked) + " ausgewählt");
}
