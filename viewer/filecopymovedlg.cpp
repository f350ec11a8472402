#include "filecopymovedlg.h"
#include "ui_filecopymovedlg.h"

#include "platform/paths.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTimer>

int TFileCopyMoveDlg::startDelay = 200;

TFileCopyMoveDlg::TFileCopyMoveDlg(const QString& source, const QString& target, bool move, bool overwrite,
                                   QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFileCopyMoveDlg>()), source_(source), target_(target), move_(move),
      overwrite_(overwrite)
{
    ui->setupUi(this);
    ui->Datei->setText(paths::fileName(source));
    ui->Von->setText("von \"" + QFileInfo(source).absolutePath() + "\"");
    ui->Nach->setText("nach \"" + target + "\"");
    connect(ui->Abbrechen, &QPushButton::clicked, this, &TFileCopyMoveDlg::reject);
}

TFileCopyMoveDlg::~TFileCopyMoveDlg() = default;

void TFileCopyMoveDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!started_) {
        started_ = true;
        QTimer::singleShot(startDelay, this, &TFileCopyMoveDlg::transfer);
    }
}

void TFileCopyMoveDlg::reject()
{
    cancelled_ = true;
    QDialog::reject();
}

void TFileCopyMoveDlg::transfer()
{
    if (cancelled_)
        return;
    setWindowTitle(move_ ? QStringLiteral("Bewegen...") : QStringLiteral("Kopieren..."));
    result_ = FileTransfer::run(source_, target_, move_, overwrite_, [this](qint64 done, qint64 total) {
        ui->Fortschritt->setMaximum(1000);
        ui->Fortschritt->setValue(total > 0 ? int(done * 1000 / total) : 1000);
        QCoreApplication::processEvents();
        return !cancelled_;
    });
    if (cancelled_)
        result_ = FileTransfer::Cancelled;
    if (result_ == FileTransfer::Done)
        accept();
    else
        QDialog::reject();
}
