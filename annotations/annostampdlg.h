#pragma once
// The stamp chooser ("Stempel ändern..."): the user's rubber stamps in a
// list, new text and picture stamps, changing and removing them; OK takes
// the stamp selected.

#include "annostamps.h"

#include <QDialog>
#include <QMap>
#include <functional>

class QListWidget;
class QPushButton;
class TAnnoStampEditDlg;

class TAnnoStampDlg : public QDialog {
    Q_OBJECT
public:
    TAnnoStampDlg(QList<AnnoStampDef> stamps, const QMap<QString, QString>& labels, QWidget* parent = nullptr);

    const QList<AnnoStampDef>& stamps() const { return stamps_; }
    // The selected stamp; -1 for none.
    int current() const;
    void setCurrent(int index);

    QListWidget* list() const { return list_; }
    QPushButton* createText() const { return createText_; }
    QPushButton* createImage() const { return createImage_; }
    QPushButton* edit() const { return edit_; }
    QPushButton* remove() const { return remove_; }
    QPushButton* ok() const { return ok_; }

    // The stamp dialog shown modally; empty: exec(). Tests answer in its
    // place (true: accepted).
    static std::function<bool(TAnnoStampEditDlg& dialog)> EditScript;

private:
    void makeStamp(bool picture);
    void editStamp();
    void removeStamp();
    bool runEditor(TAnnoStampEditDlg& dialog);
    void fill(int select);
    void refreshButtons();

    QList<AnnoStampDef> stamps_;
    QMap<QString, QString> labels_;
    QListWidget* list_ = nullptr;
    QPushButton* createText_ = nullptr;
    QPushButton* createImage_ = nullptr;
    QPushButton* edit_ = nullptr;
    QPushButton* remove_ = nullptr;
    QPushButton* ok_ = nullptr;
};
