#include "pictureconvertdlg.h"

#include "ui_pictureconvertdlg.h"

#include "codec/binding/tbitmap.h"
#include "platform/paths.h"
#include "platform/settings.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QScreen>

namespace {

const QString kSection = QStringLiteral("Convert");

struct TargetFormat {
    const char* caption;
    const char* description;
};

constexpr TargetFormat kFormats[] = {
    {"BMP", "Windows Bitmap"}, {"GIF", "Compuserve GIF"}, {"JPG", "JPEG"},         {"PCX", "PaintShop Pro"},
    {"PNG", "Portable Graphics"}, {"TGA", "Targe Image"}, {"TIFF", "Tagged Image"}, {"WMF", "Windows Metafile"},
    {"EPS", "EPS Picture"},     {"ICO", "Windows ICON"},
};

QIcon iconForExtension(const QString& ext)
{
    const QMimeType type = QMimeDatabase().mimeTypeForFile(QStringLiteral("x.") + ext, QMimeDatabase::MatchExtension);
    QIcon icon = QIcon::fromTheme(type.iconName());
    return icon.isNull() ? QIcon::fromTheme(type.genericIconName()) : icon;
}

int pageOf(const QString& text)
{
    bool ok = false;
    const int page = text.toInt(&ok);
    return ok && page >= 0 ? page : 0;
}

bool sameFolder(const QString& a, const QString& b)
{
    return paths::withTrailingSeparator(QDir::cleanPath(a)).compare(paths::withTrailingSeparator(QDir::cleanPath(b)),
                                                                     Qt::CaseInsensitive) == 0;
}

}  // namespace

TPictureConvertDlg::TPictureConvertDlg(Host host, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TPictureConvertDlg>()), host_(std::move(host))
{
    ui->setupUi(this);
    fillFormats();
    readSettings();
    linkSliderAndField(ui->JPEGSmooth, ui->JPEGSmoothEdit);
    linkSliderAndField(ui->JPEGQuality, ui->JPEGQualityEdit);
    connect(ui->FormatList, &QTreeWidget::itemSelectionChanged, this, [this] {
        showFormatOptions();
        updateOk();
    });
    connect(ui->DestFolder, &QLineEdit::textChanged, this, &TPictureConvertDlg::updateOk);
    connect(ui->BrowseFolder, &QToolButton::clicked, this, [this] {
        const QString folder = QFileDialog::getExistingDirectory(this, QString(), ui->DestFolder->text());
        if (!folder.isEmpty())
            ui->DestFolder->setText(folder);
    });
    connect(ui->OkButton, &QPushButton::clicked, this, &TPictureConvertDlg::start);
    connect(ui->CloseButton, &QPushButton::clicked, this, &TPictureConvertDlg::cancelOrClose);
    for (QCheckBox* box : {ui->ChangeSize, ui->RetainCircumstance})
        connect(box, &QCheckBox::toggled, this, &TPictureConvertDlg::showPreview);
    for (QSpinBox* box : {ui->NewWidth, ui->NeuHeigth})
        connect(box, &QSpinBox::valueChanged, this, &TPictureConvertDlg::showPreview);
    showFormatOptions();
    updateOk();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect r(QPoint(), sizeHint());
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());
    }
}

TPictureConvertDlg::~TPictureConvertDlg()
{
    run_.reset();
    if (host_.setScanActive)
        host_.setScanActive(false);
}

void TPictureConvertDlg::fillFormats()
{
    for (const TargetFormat& f : kFormats) {
        auto* item = new QTreeWidgetItem(ui->FormatList, {QLatin1String(f.caption), QLatin1String(f.description)});
        if (QLatin1String(f.caption) != QLatin1String("ICO"))
            item->setIcon(0, iconForExtension(QString::fromLatin1(f.caption).toLower()));
    }
}

void TPictureConvertDlg::readSettings()
{
    Settings s;
    ui->JPEGSmooth->setValue(std::clamp(s.readInteger(kSection, "JPEGSaveSmooth", 5), 0, 100));
    ui->JPEGQuality->setValue(std::clamp(s.readInteger(kSection, "JPEGSaveQualiy", 85), 0, 100));
    ui->JPEGSmoothEdit->setText(QString::number(ui->JPEGSmooth->value()));
    ui->JPEGQualityEdit->setText(QString::number(ui->JPEGQuality->value()));
    ui->PNGInterLaced->setChecked(s.readBool(kSection, "PNGInterLaced", true));
    ui->ReplaceRemoving->setChecked(s.readBool(kSection, "Replace_removing", false));
    ui->TIFFCompres->setCurrentIndex(std::clamp(s.readInteger(kSection, "TIFFCompres", 0), 0, 5));
    const QString shown = host_.shownFolder ? host_.shownFolder() : QString();
    ui->DestFolder->setText(s.readString(kSection, "DestFolder", shown));
    ui->ChangeSize->setChecked(s.readBool(kSection, "ChangeSize", false));
    ui->RetainCircumstance->setChecked(s.readBool(kSection, "RetainCircumstance", true));
    ui->NewWidth->setValue(s.readInteger(kSection, "NewWidth", 400));
    ui->NeuHeigth->setValue(s.readInteger(kSection, "NeuHeigth", 600));
    ui->EPSColor->setCurrentIndex(std::clamp(s.readInteger(kSection, "EPSColor", 0), 0, 1));
    ui->EPSPreview->setCurrentIndex(std::clamp(s.readInteger(kSection, "EPSPreview", 4), 0, 4));
    ui->EPSCompress->setCurrentIndex(std::clamp(s.readInteger(kSection, "EPSCompress", 0), 0, 1));
    ui->EPSBorder->setCurrentIndex(std::clamp(s.readInteger(kSection, "EPSBorder", 0), 0, 1));
}

void TPictureConvertDlg::writeSettings() const
{
    Settings s;
    s.writeInteger(kSection, "JPEGSaveSmooth", ui->JPEGSmooth->value());
    s.writeInteger(kSection, "JPEGSaveQualiy", ui->JPEGQuality->value());
    s.writeBool(kSection, "PNGInterLaced", ui->PNGInterLaced->isChecked());
    s.writeBool(kSection, "Replace_removing", ui->ReplaceRemoving->isChecked());
    s.writeInteger(kSection, "TIFFCompres", ui->TIFFCompres->currentIndex());
    s.writeString(kSection, "DestFolder", ui->DestFolder->text());
    s.writeBool(kSection, "ChangeSize", ui->ChangeSize->isChecked());
    s.writeBool(kSection, "RetainCircumstance", ui->RetainCircumstance->isChecked());
    s.writeInteger(kSection, "NewWidth", ui->NewWidth->value());
    s.writeInteger(kSection, "NeuHeigth", ui->NeuHeigth->value());
    s.writeInteger(kSection, "EPSColor", ui->EPSColor->currentIndex());
    s.writeInteger(kSection, "EPSPreview", ui->EPSPreview->currentIndex());
    s.writeInteger(kSection, "EPSCompress", ui->EPSCompress->currentIndex());
    s.writeInteger(kSection, "EPSBorder", ui->EPSBorder->currentIndex());
    s.sync();
}

void TPictureConvertDlg::linkSliderAndField(QSlider* slider, QLineEdit* field)
{
    connect(slider, &QSlider::valueChanged, field, [field](int v) { field->setText(QString::number(v)); });
    connect(field, &QLineEdit::editingFinished, slider, [slider, field] {
        bool ok = false;
        const int v = field->text().toInt(&ok);
        if (ok && v >= 0 && v <= 100)
            slider->setValue(v);
        else
            field->setText(QString::number(slider->value()));
    });
}

QString TPictureConvertDlg::targetExtension() const
{
    const QTreeWidgetItem* item = ui->FormatList->currentItem();
    return item && item->isSelected() ? item->text(0).toLower() : QString();
}

void TPictureConvertDlg::showFormatOptions()
{
    const QString ext = targetExtension();
    const bool jpeg = ext == QLatin1String("jpg"), tiff = ext == QLatin1String("tiff"), eps = ext == QLatin1String("eps");
    for (QWidget* w : {static_cast<QWidget*>(ui->JpegSmoothLabel), static_cast<QWidget*>(ui->JPEGSmooth),
                       static_cast<QWidget*>(ui->JPEGSmoothEdit), static_cast<QWidget*>(ui->JpegQualityLabel),
                       static_cast<QWidget*>(ui->JPEGQuality), static_cast<QWidget*>(ui->JPEGQualityEdit)})
        w->setVisible(jpeg);
    ui->TiffLabel->setVisible(tiff);
    ui->TIFFCompres->setVisible(tiff);
    ui->PNGInterLaced->setVisible(ext == QLatin1String("png"));
    for (QWidget* w : {static_cast<QWidget*>(ui->EpsColorLabel), static_cast<QWidget*>(ui->EPSColor),
                       static_cast<QWidget*>(ui->EpsPreviewLabel), static_cast<QWidget*>(ui->EPSPreview),
                       static_cast<QWidget*>(ui->EpsCompressLabel), static_cast<QWidget*>(ui->EPSCompress),
                       static_cast<QWidget*>(ui->EpsBorderLabel), static_cast<QWidget*>(ui->EPSBorder)})
        w->setVisible(eps);
}

void TPictureConvertDlg::updateOk()
{
    ui->OkButton->setEnabled(!run_ && !ui->DestFolder->text().isEmpty() && !targetExtension().isEmpty());
}

void TPictureConvertDlg::setSources(const QStringList& files, const QStringList& pages)
{
    files_ = files;
    pages_.clear();
    for (int i = 0; i < files.size(); ++i)
        pages_.append(pageOf(pages.value(i)));
    showPreview();
}

void TPictureConvertDlg::showPreview()
{
    if (files_.size() != 1) {
        ui->Preview->clear();
        return;
    }
    TBitmap picture;
    if (!LoadPicturePage(files_[0], pages_[0], picture)) {
        ui->Preview->clear();
        return;
    }
    const TBitmap resized = ResizedPicture(picture, ConvertedSize({picture.width(), picture.height()}, options()));
    const QSize room = ui->Preview->contentsRect().size();
    QPixmap pixmap = QPixmap::fromImage(resized.image());
    if (pixmap.width() > room.width() || pixmap.height() > room.height())
        pixmap = pixmap.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    ui->Preview->setPixmap(pixmap);
}

ConversionOptions TPictureConvertDlg::options() const
{
    ConversionOptions o;
    o.targetExt = targetExtension();
    o.folder = ui->DestFolder->text();
    o.changeSize = ui->ChangeSize->isChecked();
    o.keepAspect = ui->RetainCircumstance->isChecked();
    o.width = ui->NewWidth->value();
    o.height = ui->NeuHeigth->value();
    o.replaceSources = ui->ReplaceRemoving->isChecked();
    o.save.writeRes = sColorTrue;
    o.save.jpegQuality = ui->JPEGQuality->value();
    o.save.jpegSmooth = ui->JPEGSmooth->value();
    o.save.pngInterlaced = ui->PNGInterLaced->isChecked();
    o.save.tiffCompression = TTiffCompression(ui->TIFFCompres->currentIndex());
    o.dialog.EPSSaveLevel = ui->EPSColor->currentIndex();
    o.dialog.EPSSavePreview = ui->EPSPreview->currentIndex();
    o.dialog.EPSSaveCompression = ui->EPSCompress->currentIndex();
    o.dialog.EPSSaveBorder = ui->EPSBorder->currentIndex();
    return o;
}

void TPictureConvertDlg::setControlsEnabled(bool enabled)
{
    ui->ZielGroup->setEnabled(enabled);
    for (QWidget* w : ui->AusgabeGroup->findChildren<QWidget*>())
        if (w != ui->Progress)
            w->setEnabled(enabled);
}

void TPictureConvertDlg::start()
{
    const ConversionOptions o = options();
    if (o.targetExt.isEmpty() || o.folder.isEmpty() || run_)
        return;
    if (!QFileInfo(o.folder).isDir()) {
        const bool create = host_.confirmCreateFolder ? host_.confirmCreateFolder(o.folder) : false;
        if (!create || !QDir().mkpath(o.folder))
            return;
    }
    QList<ConversionItem> items;
    for (int i = 0; i < files_.size(); ++i)
        items.append({files_[i], pages_[i]});
    ui->OkButton->setEnabled(false);
    ui->CloseButton->setText(QStringLiteral("Abbrechen"));
    setControlsEnabled(false);
    ui->Progress->setRange(0, std::max<int>(1, int(items.size())));
    ui->Progress->setValue(0);
    if (host_.setScanActive)
        host_.setScanActive(true);
    run_ = std::make_unique<ConversionRun>(items, o, host_.askOverwrite);
    connect(run_.get(), &ConversionRun::fileDone, this, [this](int, const ConversionResult& r) { fileDone(r); });
    connect(run_.get(), &ConversionRun::finished, this, &TPictureConvertDlg::runFinished, Qt::QueuedConnection);
    run_->start();
}

void TPictureConvertDlg::fileDone(const ConversionResult& result)
{
    if (result.outcome == ConversionResult::Converted || result.sourceRemoved)
        changed_ = true;
    // a replaced file keeps its one grid item, which the folder scan at the
    // end of the run brings up to date; only new files are added
    if (result.outcome == ConversionResult::Converted && !result.targetReplaced && host_.addFile && host_.shownFolder &&
        sameFolder(QFileInfo(result.target).absolutePath(), host_.shownFolder()))
        host_.addFile(result.target);
    ui->Progress->setValue(std::min(ui->Progress->value() + 1, ui->Progress->maximum()));
}

void TPictureConvertDlg::runFinished()
{
    const bool stopped = run_ && run_->cancelled();
    run_.reset();
    setControlsEnabled(true);
    ui->CloseButton->setText(QStringLiteral("Schliessen"));
    ui->Progress->setValue(0);
    updateOk();
    if (stopped)
        return;
    if (host_.shownFolder && sameFolder(ui->DestFolder->text(), host_.shownFolder()) && host_.startFolderScan) {
        if (host_.setScanActive)
            host_.setScanActive(false);
        host_.startFolderScan();
        if (host_.setScanActive)
            host_.setScanActive(true);
    }
    accept();
}

void TPictureConvertDlg::cancelOrClose()
{
    if (run_ && ui->CloseButton->text() == QLatin1String("Abbrechen")) {
        run_->cancel();
        ui->CloseButton->setText(QStringLiteral("Schliessen"));
        return;
    }
    reject();
}

void TPictureConvertDlg::done(int result)
{
    // files under way finish before the dialog goes
    if (run_) {
        run_->cancel();
        run_.reset();
    }
    writeSettings();
    QDialog::done(result);
}
