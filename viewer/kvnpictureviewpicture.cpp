// The viewer window's picture pane: showing a chosen picture, the pane's
// toolbar, and the status bar that tells about the picture.

#include "kvnpictureview.h"
#include "ui_kvnpictureview.h"

#include "changedpicture.h"
#include "elidinglabel.h"
#include "panework.h"
#include "specialpictures.h"
#include "statuspathpanel.h"
#include "conversion/colordepth/changecoldlg.h"
#include "conversion/sizing/picsizedlg.h"

#include "annotations/annosettings.h"
#include "annotations/annotationediting.h"
#include "effects/dialog/effectsdialog.h"
#include "effects/undoring.h"
#include "imagecontrol/annotationfile.h"
#include "imagecontrol/ilmultiimagetoolbarbutton.h"
#include "imagecontrol/mmopendialog.h"
#include "imagecontrol/mmsavedialog.h"
#include "printing/printservice.h"
#include "thumbnails/ispicturefile.h"

#include "platform/colors.h"
#include "platform/hourglass.h"
#include "platform/messagebox.h"
#include "platform/paths.h"

#include <QApplication>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QStatusBar>

namespace {

void warnNotAPicture(QWidget* owner, const QString& file)
{
    MessageBox::warning(owner, QStringLiteral("Nicht unterstütztes Bildformat"),
                        "Die Datei \"" + paths::fileName(file) + "\" ist keine unterstützte Bilddatei.");
}

}  // namespace

QString TKvnPictureView::pictureInformationText(const QString& file, int page) const
{
    return specialpictures::pictureInformationText(pane()->imageInfo, file, page);
}

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
