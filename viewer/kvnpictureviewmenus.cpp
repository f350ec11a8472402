// The viewer window's menus: the sort groups, the grid's context menu, the
// commands' connections and their enabling.

#include "kvnpictureview.h"
#include "ui_kvnpictureview.h"

#include "panework.h"

#include <QActionGroup>
#include <QLineEdit>
#include <QMenu>

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
