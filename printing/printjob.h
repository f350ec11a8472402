#pragma once
// One print job: its pages are rendered on a worker thread while the
// window goes on (a progress box with "Abbrechen"), a PDF reaches its file
// through a temporary file and a rename, and a printer that fails or
// vanishes ends the job with a German message.

#include <QString>
#include <atomic>
#include <functional>

class QPainter;
class QPrinter;
class QWidget;

struct PrintOutcome {
    enum Status { Printed, Cancelled, Failed };
    Status status = Failed;
    QString message;   // German, for Failed
};

class PrintJob {
public:
    // Draws one page, counted from 0, on the worker thread; false when it
    // cannot (the job then fails) or when cancel was set meanwhile.
    using PageRenderer = std::function<bool(QPainter& painter, int page, const std::atomic<bool>& cancel)>;

    PrintJob(QPrinter& printer, int pageCount, PageRenderer render);

    // The progress box's text; %1 is the page, %2 the number of pages.
    QString ProgressText = QStringLiteral("Seite %1 von %2 wird gedruckt...");
    // Each finished page, on the UI thread (tests cancel from here).
    std::function<void(int donePages, int pageCount)> OnProgress;

    // Runs the job and returns when it has ended; the UI thread keeps
    // handling events meanwhile. Failures are not shown here.
    PrintOutcome run(QWidget* owner);
    // Asks the worker to stop after the page it draws.
    void cancel() { cancel_ = true; }

private:
    PrintOutcome renderPages(const std::function<void(int)>& pageDone);

    QPrinter& printer_;
    int pageCount_;
    PageRenderer render_;
    std::atomic<bool> cancel_{false};
    QString target_;   // the PDF file written, empty for a printer
};
