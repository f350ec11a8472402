#include "propertiesdlg.h"
#include "ui_propertiesdlg.h"

#include "platform/filefacts.h"
#include "thumbnails/depthtext.h"
#include "thumbnails/th.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QLocale>
#include <QMimeDatabase>

namespace {

QString timeText(const QDateTime& t)
{
    return QLocale(QLocale::German, QLocale::Germany).toString(t, QStringLiteral("dddd, d. MMMM yyyy, HH:mm:ss"));
}

}  // namespace

TPropertiesDlg::TPropertiesDlg(const QString& fileName, const Th& item, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TPropertiesDlg>())
{
    ui->setupUi(this);
    setWindowTitle("Eigenschaften von \"" + QFileInfo(fileName).fileName() + "\"");
    connect(ui->btSchliessen, &QPushButton::clicked, this, &QDialog::accept);
    showFileFacts(fileName);
    showPictureFacts(fileName, item);
}

TPropertiesDlg::~TPropertiesDlg() = default;

QString TPropertiesDlg::fact(const char* name) const
{
    const auto* label = findChild<QLabel*>(name);
    return label ? label->text() : QString();
}

bool TPropertiesDlg::pageLinesShown() const
{
    return !ui->lbSeite->isHidden() && !ui->lbBildseiten->isHidden() && !ui->lbSeiteText->isHidden()
        && !ui->lbBildseitenText->isHidden();
}

void TPropertiesDlg::showFileFacts(const QString& fileName)
{
    const QFileInfo info(fileName);
    const QIcon icon = QFileIconProvider().icon(info);
    ui->imGross->setPixmap(icon.pixmap(32, 32));
    ui->imKlein->setPixmap(icon.pixmap(16, 16));
    ui->lbTyp->setText(QMimeDatabase().mimeTypeForFile(info).comment());
    const FileFacts f = FileFacts::of(fileName);
    ui->lbGroesse->setText(QString::number(f.size) + " Byte");
    ui->lbErstellt->setText(f.born ? timeText(*f.born) : QStringLiteral("—"));
    ui->lbGeaendert->setText(f.exists ? timeText(f.modified) : QStringLiteral("—"));
    ui->lbZugriff->setText(f.exists ? timeText(f.accessed) : QStringLiteral("—"));
    ui->lbAttribute->setText(f.exists ? f.permissionText().toUpper() : QStringLiteral("—"));
    ui->lbDosName->setText(info.absoluteFilePath());
    QCheckBox* const boxes[9] = {ui->cbLesenBesitzer,  ui->cbSchreibenBesitzer, ui->cbAusfuehrenBesitzer,
                                 ui->cbLesenGruppe,    ui->cbSchreibenGruppe,   ui->cbAusfuehrenGruppe,
                                 ui->cbLesenAndere,    ui->cbSchreibenAndere,   ui->cbAusfuehrenAndere};
    for (int i = 0; i < 9; ++i)
        boxes[i]->setChecked(f.mode & (1u << (8 - i)));
    ui->cbReadOnly->setChecked(f.exists && !(f.mode & 0200));
    ui->cbHidden->setChecked(f.hidden);
    ui->cbDirectory->setChecked(f.isDir);
    ui->lbEigentuemer->setText(f.exists ? f.owner + " : " + f.group : QStringLiteral("—"));
}

void TPropertiesDlg::showPictureFacts(const QString& fileName, const Th& item)
{
    const QString type = QFileInfo(fileName).suffix().toUpper();
    ui->lbBildtyp->setText(type);
    ui->lbKompression->setText(item.Compression);
    ui->lbBildgroesse->setText(QString::number(item.Width) + " x " + QString::number(item.Height));
    ui->lbBitPerPixel->setText(QString::number(item.Bits));
    ui->lbBildfarben->setText(DepthText(item));
    ui->lbFarbebenen->setText(QString::number(item.Planes));
    const bool tiff = type == "TIF" || type == "TIFF";
    ui->lbSeite->setText(QString::number(item.PageIndex + 1));
    ui->lbBildseiten->setText(QString::number(item.PageCount));
    for (QWidget* w : {static_cast<QWidget*>(ui->lbSeite), static_cast<QWidget*>(ui->lbSeiteText),
                       static_cast<QWidget*>(ui->lbBildseiten), static_cast<QWidget*>(ui->lbBildseitenText)})
        w->setVisible(tiff);
}
