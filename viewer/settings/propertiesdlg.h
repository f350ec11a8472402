#pragma once
// "Eigenschaften von ...": the file and picture facts of one thumbnail item.

#include <QDialog>
#include <memory>

namespace Ui {
class TPropertiesDlg;
}
struct Th;

class TPropertiesDlg : public QDialog {
    Q_OBJECT
public:
    TPropertiesDlg(const QString& fileName, const Th& item, QWidget* parent = nullptr);
    ~TPropertiesDlg() override;

    // The text a fact label shows, by its object name (for tests).
    QString fact(const char* name) const;
    // Whether the TIFF page lines are shown.
    bool pageLinesShown() const;

private:
    void showFileFacts(const QString& fileName);
    void showPictureFacts(const QString& fileName, const Th& item);

    std::unique_ptr<Ui::TPropertiesDlg> ui;
};
