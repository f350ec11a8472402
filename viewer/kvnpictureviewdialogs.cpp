// The viewer window's dialogs: slide show, properties, conversion, wallpaper,
// help and about.

#include "kvnpictureview.h"
#include "ui_kvnpictureview.h"

#include "fileoperations.h"
#include "conversion/pictureconvertdlg.h"
#include "settings/aboutbox3.h"
#include "settings/hlpdlg.h"
#include "settings/propertiesdlg.h"
#include "settings/whgrdlg.h"
#include "slideshow/diapropdlg.h"
#include "slideshow/diashowdlg.h"
#include "slideshow/gridslideitems.h"

#include <QFileInfo>
#include <QMessageBox>

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
    dialog.PictureFolder = ui->ShellTree1->path();
    dialog.exec();
}
