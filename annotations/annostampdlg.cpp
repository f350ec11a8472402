#include "annostampdlg.h"

#include "annolabels.h"
#include "annostampeditdlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

std::function<bool(TAnnoStampEditDlg& dialog)> TAnnoStampDlg::EditScript;

TAnnoStampDlg::TAnnoStampDlg(QList<AnnoStampDef> stamps, const QMap<QString, QString>& labels, QWidget* parent)
    : QDialog(parent), stamps_(std::move(stamps)), labels_(labels)
{
    auto label = [this](const char* key, const char* fallback) { return annolabels::text(labels_, key, fallback); };
    setWindowTitle(label("Stamps", "Stamps"));
    auto* layout = new QHBoxLayout(this);
    list_ = new QListWidget(this);
    layout->addWidget(list_, 1);
    auto* side = new QVBoxLayout;
    createText_ = new QPushButton(label("CreateText", "Create Text..."), this);
    createImage_ = new QPushButton(label("CreateImage", "Create Image..."), this);
    edit_ = new QPushButton(label("Edit", "Bearbeiten"), this);
    remove_ = new QPushButton(label("Delete", "Entfernen"), this);
    for (QPushButton* b : {createText_, createImage_, edit_, remove_})
        side->addWidget(b);
    side->addStretch(1);
    auto* buttons = new QDialogButtonBox(Qt::Vertical, this);
    ok_ = buttons->addButton(label("OK", "OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(label("Cancel", "Abbrechen"), QDialogButtonBox::RejectRole);
    side->addWidget(buttons);
    layout->addLayout(side);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(createText_, &QPushButton::clicked, this, [this] { makeStamp(false); });
    connect(createImage_, &QPushButton::clicked, this, [this] { makeStamp(true); });
    connect(edit_, &QPushButton::clicked, this, &TAnnoStampDlg::editStamp);
    connect(remove_, &QPushButton::clicked, this, &TAnnoStampDlg::removeStamp);
    connect(list_, &QListWidget::currentRowChanged, this, &TAnnoStampDlg::refreshButtons);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    fill(stamps_.isEmpty() ? -1 : 0);
}

int TAnnoStampDlg::current() const
{
    const int row = list_->currentRow();
    return row >= 0 && row < stamps_.size() ? row : -1;
}

void TAnnoStampDlg::setCurrent(int index)
{
    list_->setCurrentRow(index);
}

bool TAnnoStampDlg::runEditor(TAnnoStampEditDlg& dialog)
{
    if (!EditScript)
        return dialog.exec() == QDialog::Accepted;
    if (!EditScript(dialog))
        return false;
    dialog.accept();   // as OK does: checked first
    return dialog.result() == QDialog::Accepted;
}

void TAnnoStampDlg::makeStamp(bool picture)
{
    if (stamps_.size() >= annostamps::kMaxStamps)
        return;
    TAnnoStampEditDlg dialog({}, picture, labels_, this);
    if (!runEditor(dialog))
        return;
    stamps_ << dialog.stamp();
    fill(int(stamps_.size()) - 1);
}

void TAnnoStampDlg::editStamp()
{
    const int at = current();
    if (at < 0)
        return;
    TAnnoStampEditDlg dialog(stamps_[at], stamps_[at].isPicture(), labels_, this);
    if (!runEditor(dialog))
        return;
    stamps_[at] = dialog.stamp();
    fill(at);
}

void TAnnoStampDlg::removeStamp()
{
    const int at = current();
    if (at < 0)
        return;
    stamps_.removeAt(at);
    fill(std::min(at, int(stamps_.size()) - 1));
}

void TAnnoStampDlg::fill(int select)
{
    list_->clear();
    for (const AnnoStampDef& s : stamps_)
        list_->addItem(s.name);
    list_->setCurrentRow(select);
    refreshButtons();
}

void TAnnoStampDlg::refreshButtons()
{
    const bool chosen = current() >= 0;
    edit_->setEnabled(chosen);
    remove_->setEnabled(chosen);
    ok_->setEnabled(chosen);
}
