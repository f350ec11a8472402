#pragma once
// Making or changing one rubber stamp: a text stamp ("Text Stempel
// erstellen": name, text, date and time buttons) or a picture stamp
// ("Stempel erstellen": name, picture file with "Browse..."). A picture
// file that cannot be read keeps the dialog open with a warning.

#include "annostamps.h"

#include <QDialog>
#include <QMap>

class QLineEdit;
class QPushButton;

class TAnnoStampEditDlg : public QDialog {
    Q_OBJECT
public:
    TAnnoStampEditDlg(const AnnoStampDef& stamp, bool picture, const QMap<QString, QString>& labels,
                      QWidget* parent = nullptr);

    AnnoStampDef stamp() const;
    bool picture() const { return picture_; }

    QLineEdit* name() const { return name_; }
    QLineEdit* text() const { return text_; }   // text stamps
    QLineEdit* file() const { return file_; }   // picture stamps
    QPushButton* browse() const { return browse_; }
    QPushButton* date() const { return date_; }
    QPushButton* time() const { return time_; }
    QPushButton* ok() const { return ok_; }

    void accept() override;

private:
    void insertText(const QString& text);
    void refreshOk();

    QMap<QString, QString> labels_;
    bool picture_;
    QLineEdit* name_ = nullptr;
    QLineEdit* text_ = nullptr;
    QLineEdit* file_ = nullptr;
    QPushButton* browse_ = nullptr;
    QPushButton* date_ = nullptr;
    QPushButton* time_ = nullptr;
    QPushButton* ok_ = nullptr;
};
