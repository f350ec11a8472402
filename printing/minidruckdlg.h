#pragma once
// The dialog of "Miniaturbilder drucken": columns, captions and paper of a
// contact sheet, with a preview of its first page and the number of pages.

#include "contactsheetpages.h"

#include <QDialog>
#include <QList>
#include <memory>

namespace Ui {
class TMiniDruckDlg;
}
class QPrinter;

class TMiniDruckDlg : public QDialog {
    Q_OBJECT
public:
    explicit TMiniDruckDlg(QWidget* parent = nullptr);
    ~TMiniDruckDlg() override;

    void setPrinter(QPrinter* printer) { printer_ = printer; }
    void setItems(const QList<ContactSheetItem>& items);
    ContactSheetOptions options() const;
    // Ticks the orientation button of the printer's orientation.
    void takePrinterOrientation();
    // Gives the printer the chosen orientation and shows the paper, the
    // number of pages and the first page.
    void UpdateSheet();
    QString summaryText() const;
    QString paperText() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void setUpPage();
    QImage firstPagePreview(int side) const;

    std::unique_ptr<Ui::TMiniDruckDlg> ui;
    QPrinter* printer_ = nullptr;
    QList<ContactSheetItem> items_;
};
