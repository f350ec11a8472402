#pragma once
// "Über das Programm": name, version and build, the two programs' pictures,
// a looping line of text and the addresses to write to and read.

#include <QDialog>
#include <QTimer>
#include <memory>

namespace Ui {
class TAboutBox3;
}

class TAboutBox3 : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox3(QWidget* parent = nullptr);
    ~TAboutBox3() override;

    static QString productVersion();
    static QString buildVersion();
    // The address a clickable line opens, by the line's object name.
    static QUrl addressOf(const QString& line);
    // One step of the looping text (driven by a timer while shown).
    void scrollStep();
    QString scrolledText() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    std::unique_ptr<Ui::TAboutBox3> ui;
    QTimer scroll_;
    int offset_ = 0;
};
