#pragma once
// The overwrite dialog: the existing file and the new one side by side,
// with overwrite, skip, rename (under a proposed free name) and cancel.

#include <QDialog>
#include <QPixmap>
#include <memory>

namespace Ui {
class TueberschrDlg;
}
class QLabel;

class TueberschrDlg : public QDialog {
    Q_OBJECT
public:
    // The dialog's results.
    enum Answer { Overwrite = 1, Cancel = 2, Rename = 4, Skip = 7 };

    // existing: the file already there (left); incoming: the new one (right).
    TueberschrDlg(const QString& existing, const QString& incoming, QWidget* parent = nullptr);
    ~TueberschrDlg() override;

    // The full path the rename answer stands for.
    QString renameTarget() const;
    QString newNameText() const;
    void setNewNameText(const QString& name);
    bool renameEnabled() const;
    QString infoText(bool existingSide) const;
    // The preview of one side; null when the file shows none.
    QPixmap previewPixmap(bool existingSide) const;

    // T's folder + name + "_" + k + extension with the first k that is free.
    static QString proposedName(const QString& existing);
    // Not empty, free in the folder, and without / \ : * ? " < > |.
    static bool isUsableName(const QString& name, const QString& folder);
    // Why a typed name cannot be the new name, in German; empty when it can.
    static QString nameProblem(const QString& name, const QString& folder);

    // The rename answer is refused with a note while the name is unusable;
    // the dialog then stays open.
    void done(int result) override;
    // "640 x 480  256 Farbe(n)  8 Bit per Pixel  1 Ebene(n)  Komprimierung: ...  Größe: ... Byte"
    static QString pictureInfo(const QString& file);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showPreview(QLabel* label, const QString& file);
    void checkNewName();

    std::unique_ptr<Ui::TueberschrDlg> ui;
    QString existing_;
    QString incoming_;
};
