#include "changecoldlg.h"
#include "ui_changecoldlg.h"

#include "imagecontrol/pmultiimage.h"
#include "platform/hourglass.h"
#include "printing/dialogsupport.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QMouseEvent>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>

// One preview conversion on a worker; a newer one stops it.
struct TChangeColDlg::Run {
    std::atomic<bool> stop{false};
    QFuture<TBitmap> future;
    bool shown = false;
};

TChangeColDlg::TChangeColDlg(const QString& samplePath, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TChangeColDlg>())
{
    ui->setupUi(this);
    setWindowFlag(Qt::Tool);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    TPMultiImage* p = ui->PMultiImage1;
    p->ILUndo = false;
    p->setShowScrollbars(false);
    p->setStretchRatio(true);
    p->setCenter(true);
    p->ImageDither = true;
    p->OnIlibError = [](QObject*, qint16, const QString&, const char*) {};
    choices_ = new QButtonGroup(this);
    const QRadioButton* radios[] = {ui->RadioButton1, ui->RadioButton2, ui->RadioButton3, ui->RadioButton4,
                                    ui->RadioButton5, ui->RadioButton6, ui->RadioButton7, ui->RadioButton8};
    for (int i = 0; i < kDepthChoiceCount; ++i)
        choices_->addButton(const_cast<QRadioButton*>(radios[i]), i);
    connect(choices_, &QButtonGroup::idClicked, this, [this](int) { Refresh(); });
    ui->GroupBox1->installEventFilter(this);
    connect(ui->OKBtn, &QPushButton::clicked, this, [this] {
        waitForPreview();
        if (!result_.empty())
            accept();
    });
    connect(ui->CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    if (!samplePath.isEmpty() && QFileInfo::exists(samplePath)) {
        p->setImageName(samplePath);
        source_ = p->Picture();
    }
}

TChangeColDlg::~TChangeColDlg()
{
    stopPreviews();
    for (const auto& run : runs_)
        run->future.waitForFinished();
}

TPMultiImage* TChangeColDlg::preview() const
{
    return ui->PMultiImage1;
}

void TChangeColDlg::setPicture(const TBitmap& picture)
{
    stopPreviews();
    source_ = picture;
    result_.clear();
    ui->PMultiImage1->setPicture(picture);
}

void TChangeColDlg::releaseChoices()
{
    choices_->setExclusive(false);
    for (QAbstractButton* b : choices_->buttons())
        b->setChecked(false);
    choices_->setExclusive(true);
}

void TChangeColDlg::choose(DepthChoice choice)
{
    if (QAbstractButton* b = choices_->button(int(choice)))
        b->setChecked(true);
    else
        releaseChoices();
    Refresh();
}

DepthChoice TChangeColDlg::choice() const
{
    const int id = choices_->checkedId();
    return id >= 0 && id < kDepthChoiceCount ? DepthChoice(id) : DepthChoice::None;
}

void TChangeColDlg::Refresh()
{
    if (source_.empty() && ui->PMultiImage1->Picture().empty())
        return;
    stopPreviews();
    result_.clear();
    ui->PMultiImage1->setPicture(source_);
    const DepthChoice chosen = choice();
    ui->OKBtn->setEnabled(false);
    if (chosen != DepthChoice::None && !source_.empty())
        startPreview(chosen);
}

void TChangeColDlg::startPreview(DepthChoice chosen)
{
    auto run = std::make_shared<Run>();
    const TBitmap source = source_;
    run->future = QtConcurrent::run([source, chosen, run] { return ConvertedToDepth(source, chosen, &run->stop); });
    current_ = run;
    runs_.append(run);
    auto* watcher = new QFutureWatcher<TBitmap>(this);
    connect(watcher, &QFutureWatcher<TBitmap>::finished, this, [this, watcher, run] {
        watcher->deleteLater();
        previewDone(run);
    });
    watcher->setFuture(run->future);
}

void TChangeColDlg::previewDone(const std::shared_ptr<Run>& run)
{
    runs_.removeIf([this](const std::shared_ptr<Run>& r) { return r->future.isFinished() && r != current_; });
    if (run != current_ || run->shown)
        return;
    run->shown = true;
    runs_.removeAll(run);
    result_ = run->future.result();
    if (!result_.empty())
        ui->PMultiImage1->setPicture(result_);
    ui->OKBtn->setEnabled(!result_.empty());
}

bool TChangeColDlg::previewRunning() const
{
    return current_ && !current_->shown;
}

void TChangeColDlg::waitForPreview()
{
    if (!previewRunning())
        return;
    HourglassCursor wait;
    current_->future.waitForFinished();
    previewDone(current_);
}

void TChangeColDlg::stopPreviews()
{
    for (const auto& run : runs_)
        run->stop = true;
    current_.reset();
}

void TChangeColDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    CentreOnScreen(*this);
    Refresh();
}

// A click on the frame beeps and refreshes.
bool TChangeColDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->GroupBox1 && event->type() == QEvent::MouseButtonPress) {
        QApplication::beep();
        Refresh();
    }
    return QDialog::eventFilter(watched, event);
}

bool RunChangeColDlg(TChangeColDlg& dialog, TPMultiImage& image, TBitmap& result, QString& depth,
                     const ChangeColShow& show)
{
    dialog.preview()->setColor(image.Color());
    dialog.setPicture(image.Picture());
    dialog.releaseChoices();
    if ((show ? show(dialog) : dialog.exec()) != QDialog::Accepted)
        return false;
    dialog.waitForPreview();
    if (dialog.converted().empty())
        return false;
    result = dialog.converted();
    depth = dialog.choiceText();
    return true;
}

std::function<bool(TPMultiImage&, TBitmap&, QString&)> MakeColorDepthHook(QWidget* owner,
                                                                           std::function<QString()> samplePath,
                                                                           ChangeColShow show)
{
    auto dialog = std::make_shared<QPointer<TChangeColDlg>>();
    return [=](TPMultiImage& image, TBitmap& result, QString& depth) {
        if (!*dialog)
            *dialog = new TChangeColDlg(samplePath ? samplePath() : QString(), owner);
        return RunChangeColDlg(**dialog, image, result, depth, show);
    };
}
