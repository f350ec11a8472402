#pragma once
// "Hilfe zum Programm": the program's German help, read from "hilfe.rtf" in
// the program folder and shown read-only, links clickable.

#include <QDialog>
#include <memory>

namespace Ui {
class THlpDlg;
}

class QTextBrowser;

class THlpDlg : public QDialog {
    Q_OBJECT
public:
    // Reads the help file; a missing or damaged file leaves the view empty
    // or partly filled, and loadError() says why in German.
    explicit THlpDlg(const QString& helpFile, QWidget* parent = nullptr);
    ~THlpDlg() override;

    QString loadError() const { return error_; }
    QTextBrowser* view() const;

    // "hilfe.rtf" in the program folder.
    static QString defaultHelpFile();

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void markLinks();

    std::unique_ptr<Ui::THlpDlg> ui;
    QString error_;
};
