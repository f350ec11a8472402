// The viewer window's stored settings: read at start, written on closing and
// after the settings dialog; the window's place, its splitters and the grid's
// appearance.

#include "kvnpictureview.h"
#include "ui_kvnpictureview.h"

#include "databaselist.h"
#include "startupsettings.h"
#include "settings/prewdlg.h"

#include "imagecontrol/mmopendialog.h"
#include "imagecontrol/mmsavedialog.h"

#include "platform/colors.h"
#include "platform/settings.h"

#include <QFileInfo>
#include <QScreen>

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

void TKvnPictureView::DatenbankdateienLoeschenClick()
{
    Settings store;
    DatabaseList::deleteAll(store);
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
