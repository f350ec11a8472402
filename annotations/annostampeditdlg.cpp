#include "annostampeditdlg.h"

#include "annolabels.h"
#include "annopicturefile.h"

#include "platform/filepicker.h"
#include "platform/messagebox.h"
#include "platform/paths.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

TAnnoStampEditDlg::TAnnoStampEditDlg(const AnnoStampDef& stamp, bool picture, const QMap<QString, QString>& labels,
                                     QWidget* parent)
    : QDialog(parent), labels_(labels), picture_(picture)
{
    auto label = [this](const char* key, const char* fallback) { return annolabels::text(labels_, key, fallback); };
    setWindowTitle(picture ? label("CreateImageStamp", "Create Image Rubber Stamp")
                           : label("CreateTextRubberStamp", "Create Text Rubber Stamp"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    name_ = new QLineEdit(stamp.name, this);
    form->addRow(label("StampName", "Stempel Name"), name_);
    auto* row = new QHBoxLayout;
    if (picture) {
        file_ = new QLineEdit(stamp.file, this);
        browse_ = new QPushButton(label("Browse", "Browse..."), this);
        row->addWidget(file_);
        row->addWidget(browse_);
        form->addRow(label("ImageStamp", "Image Stamp File"), row);
        connect(browse_, &QPushButton::clicked, this, [this, label] {
            const QString chosen = FilePicker::chooseOpen(this, label("ImageStamp", "Image Stamp File"),
                                                          QFileInfo(file_->text()).path(), annopicturefile::filter());
            if (!chosen.isEmpty())
                file_->setText(chosen);
        });
    } else {
        text_ = new QLineEdit(stamp.text, this);
        date_ = new QPushButton(label("Date", "Datum"), this);
        time_ = new QPushButton(label("Time", "Uhrzeit"), this);
        row->addWidget(text_);
        row->addWidget(date_);
        row->addWidget(time_);
        form->addRow(label("StampText", "Stamp Text"), row);
        const QLocale german(QLocale::German, QLocale::Germany);
        connect(date_, &QPushButton::clicked, this,
                [this, german] { insertText(german.toString(QDate::currentDate(), QStringLiteral("dd.MM.yyyy"))); });
        connect(time_, &QPushButton::clicked, this,
                [this, german] { insertText(german.toString(QTime::currentTime(), QStringLiteral("HH:mm"))); });
    }
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(label("OK", "OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(label("Cancel", "Abbrechen"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    setMinimumWidth(420);
    for (QLineEdit* edit : {name_, text_, file_})
        if (edit)
            connect(edit, &QLineEdit::textChanged, this, &TAnnoStampEditDlg::refreshOk);
    refreshOk();
}

AnnoStampDef TAnnoStampEditDlg::stamp() const
{
    AnnoStampDef s;
    s.name = name_->text().trimmed();
    if (picture_)
        s.file = file_->text().trimmed();
    else
        s.text = text_->text();
    return s;
}

void TAnnoStampEditDlg::insertText(const QString& text)
{
    text_->insert(text);
}

void TAnnoStampEditDlg::refreshOk()
{
    const AnnoStampDef s = stamp();
    ok_->setEnabled(!s.name.isEmpty() && (picture_ ? !s.file.isEmpty() : !s.text.trimmed().isEmpty()));
}

void TAnnoStampEditDlg::accept()
{
    const AnnoStampDef s = stamp();
    if (s.name.isEmpty() || (picture_ ? s.file.isEmpty() : s.text.trimmed().isEmpty()))
        return;
    if (picture_ && annopicturefile::read(s.file).isNull()) {
        MessageBox::warning(this, QStringLiteral("Nicht unterstütztes Bildformat"),
                            "Die Datei \"" + paths::fileName(s.file) + "\" ist keine unterstützte Bilddatei.");
        return;
    }
    QDialog::accept();
}
