#pragma once
// The print options dialog "Druckoptionen": fit to the paper, distortion,
// centring, orientation and annotations, with a small paper preview that
// shows the picture at its printed size. It sets the printer's orientation.

#include "pagelayout.h"

#include "codec/binding/tbitmap.h"

#include <QDialog>
#include <memory>

namespace Ui {
class TDruckDlg;
}
class QPrinter;
class TPMultiImage;

class TDruckDlg : public QDialog {
    Q_OBJECT
public:
    explicit TDruckDlg(QWidget* parent = nullptr);
    ~TDruckDlg() override;

    void setPrinter(QPrinter* printer) { printer_ = printer; }
    // The picture to print, also shown by the preview.
    void setPrintBitmap(const TBitmap& bitmap);
    const TBitmap& printBitmap() const { return printBitmap_; }
    // Ticks the orientation button of the printer's orientation.
    void takePrinterOrientation();

    PrintOptions options() const;
    bool printAnnotations() const;
    bool portrait() const;

    // Sets the printer's orientation, sizes the paper panel and shows the
    // picture as it will print.
    void UpdatePreview();
    TPMultiImage* preview() const;
    QWidget* paperPanel() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fitTexts();
    void applyFitRule();
    void orientationClicked();

    std::unique_ptr<Ui::TDruckDlg> ui;
    QPrinter* printer_ = nullptr;
    TBitmap printBitmap_;
};
