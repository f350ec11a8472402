#include "diapropdlg.h"
#include "ui_diapropdlg.h"

#include "slidelistfile.h"
#include "slideopendialog.h"

#include "viewer/settings/transitionpreview.h"

#include "imagecontrol/mmsavedialog.h"
#include "imagecontrol/pmultiimage.h"
#include "platform/messagebox.h"
#include "platform/paths.h"
#include "platform/settings.h"
#include "thumbnails/ispicturefile.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QMenu>
#include <QScreen>

namespace {

const QString kHint = QStringLiteral(
    "Korvane® Bildbetrachter. Diashow beenden: <ESC>, anhalten: <H>, fortsrtzen: <V>,  manueller Bildwechsel: "
    "Pfeiltasten oder Mausrad");

}  // namespace

TDiaPropDlg::TDiaPropDlg(const QString& samplePicture, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TDiaPropDlg>()), sample_(samplePicture)
{
    ui->setupUi(this);
    connectTrack(ui->tbVerzoegerung, ui->edVerzoegerung);
    connectTrack(ui->tbGroesse, ui->edGroesse);
    connectTrack(ui->tbBildWechseln, ui->edBildWechseln);
    TPMultiImage* p = ui->Preview;
    p->setScrolling(false);
    p->setShowScrollbars(false);
    p->setCenter(true);
    p->setStretchRatio(true);
    showInPreview(sample_);
    fillMonitors();

    menu_ = new QMenu(this);
    addAction_ = menu_->addAction(QStringLiteral("Bild hinzufügen"), this, &TDiaPropDlg::addPictures);
    removeAction_ = menu_->addAction(QStringLiteral("Bild entfernen"), this, &TDiaPropDlg::removeEntry);
    openAction_ = menu_->addAction(QStringLiteral("Liste öffnen"), this, &TDiaPropDlg::openListFile);
    saveAction_ = menu_->addAction(QStringLiteral("Liste speichern"), this, &TDiaPropDlg::saveListFile);
    connect(menu_, &QMenu::aboutToShow, this, &TDiaPropDlg::updateMenu);
    connect(ui->lvEintraege, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { menu_->popup(ui->lvEintraege->viewport()->mapToGlobal(pos)); });
    connect(ui->lvEintraege, &QTreeWidget::itemSelectionChanged, this, &TDiaPropDlg::entrySelected);
    connect(ui->lvEintraege, &SlideEntryList::filesDropped, this, [this](const QStringList& files) {
        for (const QString& f : files)
            AddEntry(f, f == files.constLast());
    });
    connect(ui->cbListen, &QComboBox::activated, this, &TDiaPropDlg::chooseListFile);
    connect(ui->cbHintergrund, &ColourBox::colourChosen, ui->Preview, &TPMultiImage::setColor);
    connect(ui->btVorschau, &QPushButton::clicked, this, &TDiaPropDlg::runPreview);
    connect(ui->btOK, &QPushButton::clicked, this, [this] {
        writeOptions();
        accept();
    });
    connect(ui->btAbbrechen, &QPushButton::clicked, this, &QDialog::reject);
    connect(&bannerTimer_, &QTimer::timeout, ui->Banner, &TPMultiImage::MessageTick);
    readOptions();
    startBanner();
}

TDiaPropDlg::~TDiaPropDlg() = default;

SlideEntryList* TDiaPropDlg::entries() const { return ui->lvEintraege; }
QComboBox* TDiaPropDlg::listFiles() const { return ui->cbListen; }
TPMultiImage* TDiaPropDlg::preview() const { return ui->Preview; }
TPMultiImage* TDiaPropDlg::banner() const { return ui->Banner; }
QString TDiaPropDlg::noteText() const { return ui->lbHinweis->text(); }

// ---- options ------------------------------------------------------------------------

void TDiaPropDlg::readOptions()
{
    DiaShowOptions o;
    o.read(Settings());
    ui->cbHintergrund->setValue(o.background);
    // out-of-range values are shown, and later written, clamped
    for (auto [slider, field, value] : {std::tuple{ui->tbVerzoegerung, ui->edVerzoegerung, o.delay},
                                        std::tuple{ui->tbGroesse, ui->edGroesse, o.thick},
                                        std::tuple{ui->tbBildWechseln, ui->edBildWechseln, o.seconds}}) {
        slider->setValue(std::clamp(value, slider->minimum(), slider->maximum()));
        field->setText(QString::number(slider->value()));
    }
    ui->rbKeine->setChecked(o.fxNone);
    ui->rbHorizontal->setChecked(o.fxHorizontal);
    ui->rbQuadrat->setChecked(o.fxSquare);
    ui->rbSenkrecht->setChecked(o.fxVertical);
    ui->rbRechteck->setChecked(o.fxRectangle);
    ui->rbDiagonal->setChecked(o.fxDiagonal);
    ui->cbZufaellig->setChecked(o.random);
    ui->cbGroessere->setChecked(o.fitBig);
    ui->cbKleinere->setChecked(o.enlargeSmall);
    ui->cbManuell->setChecked(o.manual);
    ui->cbNotizen->setChecked(o.loadAnnotations);
    ui->cbRichtung->setChecked(o.backward);
    ui->rbAusgewaehlt->setChecked(o.useSelected);
    ui->rbAlle->setChecked(o.useAll);
    ui->rbListe->setChecked(o.useList);
    ui->cbMonitor->setChecked(o.secondMonitor);
    if (!o.listName.isEmpty() && QFileInfo(o.listName).isFile()) {
        addListFile(o.listName);
        chooseListFile(ui->cbListen->currentIndex());
    }
    ui->Preview->setColor(o.background);
}

DiaShowOptions TDiaPropDlg::chosenOptions() const
{
    DiaShowOptions o;
    o.background = ui->cbHintergrund->value();
    o.delay = ui->tbVerzoegerung->value();
    o.thick = ui->tbGroesse->value();
    o.seconds = ui->tbBildWechseln->value();
    o.fxNone = ui->rbKeine->isChecked();
    o.fxHorizontal = ui->rbHorizontal->isChecked();
    o.fxSquare = ui->rbQuadrat->isChecked();
    o.fxVertical = ui->rbSenkrecht->isChecked();
    o.fxRectangle = ui->rbRechteck->isChecked();
    o.fxDiagonal = ui->rbDiagonal->isChecked();
    o.random = ui->cbZufaellig->isChecked();
    o.fitBig = ui->cbGroessere->isChecked();
    o.enlargeSmall = ui->cbKleinere->isChecked();
    o.manual = ui->cbManuell->isChecked();
    o.loadAnnotations = ui->cbNotizen->isChecked();
    o.backward = ui->cbRichtung->isChecked();
    o.useSelected = ui->rbAusgewaehlt->isChecked();
    o.useAll = ui->rbAlle->isChecked();
    o.useList = ui->rbListe->isChecked();
    o.secondMonitor = ui->cbMonitor->isChecked();
    o.listName = ui->cbListen->currentIndex() >= 0 ? ui->cbListen->currentData().toString() : QString();
    return o;
}

void TDiaPropDlg::writeOptions()
{
    Settings store;
    chosenOptions().write(store);
    store.sync();
}

void TDiaPropDlg::fillMonitors()
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (int i = 0; i < screens.size(); ++i) {
        QString text = QString::number(i + 1);
        if (screens[i] == QGuiApplication::primaryScreen())
            text += QStringLiteral(" Primary");
        ui->lbMonitore->addItem(text);
    }
}

void TDiaPropDlg::startBanner()
{
    TPMultiImage* b = ui->Banner;
    QFont font = b->font();
    font.setPointSize(16);
    font.setBold(true);
    b->MessageText = kHint;
    b->MessageFont = font;
    b->MessageFontColor = 0x00FFFFFF;   // white
    b->MessageColor = 0x00800000;       // navy
    b->StartMessage();
    bannerTimer_.start(1);
}

// ---- preview ------------------------------------------------------------------------

void TDiaPropDlg::showInPreview(const QString& file)
{
    if (previewFile_ == file)
        return;
    previewFile_ = file;
    ui->Preview->FXMethod = FXNone;
    ui->Preview->setImageName(file);
}

void TDiaPropDlg::runPreview()
{
    TPMultiImage* p = ui->Preview;
    TFXMethod method = FXNone;
    if (ui->rbDiagonal->isChecked())
        method = FXDiagonal;
    else if (ui->rbQuadrat->isChecked())
        method = FXDiagonalSquares;
    else if (ui->rbHorizontal->isChecked())
        method = FXHorizontal;
    else if (ui->rbRechteck->isChecked())
        method = FXRectangles;
    else if (ui->rbSenkrecht->isChecked())
        method = FXVertical;
    playTransitionPreview(*p, ui->tbVerzoegerung->value(), ui->tbGroesse->value(), method);
}

void TDiaPropDlg::entrySelected()
{
    const QList<QTreeWidgetItem*> chosen = ui->lvEintraege->selectedItems();
    const QString file = chosen.isEmpty() ? QString() : SlideEntryList::pathOf(chosen.constFirst());
    showInPreview(!file.isEmpty() && QFileInfo::exists(file) ? file : sample_);
}

// ---- entries and list files -----------------------------------------------------------

bool TDiaPropDlg::AddEntry(const QString& path, bool select)
{
    if (!IsPictureFile(path) || ui->lvEintraege->paths().contains(path))
        return false;
    const QFileInfo info(path);
    auto* item = new QTreeWidgetItem({info.fileName(), paths::withTrailingSeparator(info.path())});
    item->setData(0, Qt::UserRole, path);
    item->setIcon(0, QFileIconProvider().icon(info));
    item->setFlags(item->flags() & ~Qt::ItemIsDropEnabled);
    ui->lvEintraege->addTopLevelItem(item);
    if (select) {
        ui->lvEintraege->scrollToItem(item);
        ui->lvEintraege->setCurrentItem(item);
    }
    return true;
}

void TDiaPropDlg::say(const QString& text)
{
    ui->lbHinweis->setText(text);
}

void TDiaPropDlg::loadEntries(const QString& listFile, bool* anyLine)
{
    ui->lvEintraege->clear();
    const SlideListContents contents = SlideListFile::read(listFile);
    int leftOut = 0;
    for (const QString& line : contents.entries)
        if (!AddEntry(line, false))
            ++leftOut;
    if (anyLine)
        *anyLine = !contents.entries.isEmpty();
    QString note = contents.note();
    if (leftOut > 0) {
        if (!note.isEmpty())
            note += QLatin1Char(' ');
        note += QString::number(leftOut) +
                QStringLiteral(" Eintrag/Einträge ohne unterstützte Bilddatei oder doppelt, nicht übernommen.");
    }
    say(note);
}

void TDiaPropDlg::addListFile(const QString& path)
{
    QComboBox* box = ui->cbListen;
    int index = box->findData(path);
    if (index < 0) {
        box->addItem(QFileIconProvider().icon(QFileInfo(path)), path, path);
        index = box->count() - 1;
    }
    box->setCurrentIndex(index);
}

void TDiaPropDlg::chooseListFile(int index)
{
    const QString path = ui->cbListen->itemData(index).toString();
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
    loadEntries(path, nullptr);
}

void TDiaPropDlg::openListFile()
{
    TMMOpenDialog dialog(this);
    dialog.Filters = {QStringLiteral("Text Datei (*.txt *.TXT)"), QStringLiteral("Alle Dateien (*)")};
    dialog.FilterIndex = 1;
    dialog.DefaultExt = QStringLiteral("txt");
    dialog.DoPreview = false;
    if (!dialog.Execute() || dialog.FileName.isEmpty())
        return;
    bool anyLine = false;
    loadEntries(dialog.FileName, &anyLine);
    if (anyLine)
        addListFile(dialog.FileName);
}

void TDiaPropDlg::saveListFile()
{
    const QStringList list = ui->lvEintraege->paths();
    if (list.isEmpty())
        return;
    QString target = ui->cbListen->currentIndex() >= 0 ? ui->cbListen->currentData().toString() : QString();
    if (target.isEmpty() || !QFileInfo(target).isFile()) {
        TMMSaveDialog dialog(this);
        dialog.Title = QStringLiteral("Liste speichern");
        dialog.Filters = {QStringLiteral("Text Dateien (*.txt *.TXT)"), QStringLiteral("Alle Dateien (*)")};
        dialog.FilterIndex = 1;
        dialog.DefaultExt = QStringLiteral("txt");
        dialog.DoPreview = false;
        if (!dialog.Execute() || dialog.FileName.isEmpty())
            return;
        target = dialog.FileName;
        const QFileInfo chosen(target);
        if (dialog.FilterIndex == 1 && (chosen.suffix().isEmpty() || target.endsWith(QLatin1Char('.')))) {
            const int dot = target.lastIndexOf(QLatin1Char('.'));
            const bool nameHasDot = dot > target.lastIndexOf(QLatin1Char('/'));
            target = (nameHasDot ? target.left(dot) : target) + QStringLiteral(".txt");
        }
    }
    if (!SlideListFile::write(target, list))
        MessageBox::warning(this, QStringLiteral("Liste speichern"),
                            QStringLiteral("Die Liste \"") + target + QStringLiteral("\" konnte nicht gespeichert werden."));
}

void TDiaPropDlg::addPictures()
{
    SlideOpenDialog dialog(this);
    dialog.FilterIndex = 15;
    const QStringList listed = ui->lvEintraege->paths();
    dialog.InitialDir = listed.isEmpty() ? PictureFolder : QFileInfo(listed.constLast()).absolutePath();
    if (!dialog.Execute())
        return;
    for (const QString& file : dialog.Files)
        AddEntry(file, file == dialog.Files.constLast());
}

void TDiaPropDlg::removeEntry()
{
    QTreeWidgetItem* item = ui->lvEintraege->currentItem();
    if (item && item->isSelected())
        delete item;
}

void TDiaPropDlg::updateMenu()
{
    removeAction_->setEnabled(!ui->lvEintraege->selectedItems().isEmpty());
    saveAction_->setEnabled(ui->lvEintraege->topLevelItemCount() > 0);
}
