#pragma once
// Printing of a program: its one printer object, the print options dialog
// and the contact-sheet dialog (both made on first use and kept, so the
// choices stay), the toolbar's print action and "Miniaturbilder drucken".

#include "contactsheetpages.h"
#include "printimage.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class QDialog;
class QPrinter;
class QWidget;
class TDruckDlg;
class TMiniDruckDlg;
class TPMultiImage;

class PrintService : public QObject {
    Q_OBJECT
public:
    explicit PrintService(QWidget* owner);
    ~PrintService() override;

    QPrinter& printer();
    TDruckDlg* optionsDialog() const;
    TMiniDruckDlg* contactSheetDialog() const;

    AnnotationBurner BurnAnnotations;
    // Shows one of the two dialogs modally; empty: exec(). Tests answer in
    // its place.
    std::function<int(QDialog& dialog)> ShowModal;
    // Each finished page of a job (tests cancel from here).
    std::function<void(PrintJob& job, int donePages, int pageCount)> OnProgress;

    // The toolbar's print button: the options, the platform's print dialog
    // and the picture as one page. Printed, Cancelled, or Failed (after a
    // German message when there is one to show).
    PrintOutcome PrintPicture(TPMultiImage& image);
    // The miniatures in rows and columns over as many pages as needed.
    PrintOutcome PrintContactSheet(const QList<ContactSheetItem>& items);

    // True while a print action runs; another one then does nothing.
    bool busy() const { return busy_; }

    // A PDF printer's file is proposed in the folder chosen last (at first
    // the documents folder) under name.
    void proposeOutputName(const QString& name);

private:
    int showModal(QDialog& dialog);
    // A PDF printer prints at a usual printer's resolution.
    void usePdfResolution();
    PrintOutcome runJob(PrintJob& job);
    PrintOutcome finish(PrintOutcome outcome);

    QWidget* owner_;
    std::unique_ptr<QPrinter> printer_;
    QPointer<TDruckDlg> options_;
    QPointer<TMiniDruckDlg> sheet_;
    bool busy_ = false;
};
