#pragma once
// "Bildgröße ändern": resizes the picture of a picture control to a free
// pixel size, a screen size, or a paper or photo format computed from the
// chosen printer's resolution, with a preview; OK applies the size with
// one undo snapshot.

#include "printermeasures.h"

#include "codec/binding/tbitmap.h"

#include <QDialog>
#include <QSize>
#include <functional>
#include <memory>

namespace Ui {
class TPicSizeDlg;
}
class QPrinter;
class TPMultiImage;

class TPicSizeDlg : public QDialog {
    Q_OBJECT
public:
    // The printers of the box besides the PDF printer; tests set their own
    // (an empty function: the system's).
    using PrinterLister = std::function<QStringList()>;
    static void setPrinterLister(PrinterLister lister);
    static QString pdfPrinterName();

    // Works on image; printer is the program's printer, which the box's
    // choice changes. The fields start with the picture's size.
    TPicSizeDlg(TPMultiImage& image, QPrinter& printer, QWidget* parent = nullptr);
    ~TPicSizeDlg() override;

    // The size OK gives the picture.
    QSize chosenSize() const { return size_; }
    const PrinterMeasures& measures() const { return measures_; }
    // Reads the printer and computes the size, the preview and the lines.
    void Recompute();
    // Selects the program's current printer in the box.
    void selectCurrentPrinter();

    Ui::TPicSizeDlg* form() const { return ui.get(); }
    TPMultiImage* preview() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QSize pictureSize() const;
    void fillPrinterBox();
    void usePrinterOfBox();
    void fieldTyped(bool width);
    void keepRatioToggled(bool on);
    void listChosen();
    void setFields(int width, int height);
    void showPreview();
    void showPictureFacts();
    void applySize();
    void setupPrinter();

    std::unique_ptr<Ui::TPicSizeDlg> ui;
    TPMultiImage& image_;
    QPrinter& printer_;
    TBitmap previewBase_;
    QSize size_;
    PrinterMeasures measures_;
    bool settingFields_ = false;
};

// The toolbar's size button: shows the dialog modally over owner for the
// control's picture, its preview in the control's colours and centring.
// True when OK changed the picture. show runs the dialog in place of
// exec() (tests answer there).
bool RunPicSizeDialog(QWidget* owner, QPrinter& printer, TPMultiImage& image,
                      const std::function<int(TPicSizeDlg&)>& show = {});
