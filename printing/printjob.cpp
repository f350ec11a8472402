#include "printjob.h"

#include "pdfoutputfile.h"

#include "platform/fileops.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QProgressDialog>
#include <QThread>

#include <exception>

namespace {

// The printer as the messages name it.
QString printerTitle(const QPrinter& printer, const QString& pdfTarget)
{
    if (!pdfTarget.isEmpty())
        return QStringLiteral("PDF-Datei \"%1\"").arg(QFileInfo(pdfTarget).fileName());
    return QStringLiteral("Drucker \"%1\"").arg(printer.printerName());
}

}  // namespace

PrintJob::PrintJob(QPrinter& printer, int pageCount, PageRenderer render)
    : printer_(printer), pageCount_(pageCount), render_(std::move(render))
{
}

PrintOutcome PrintJob::run(QWidget* owner)
{
    cancel_ = false;
    PdfOutputFile pdf(printer_);
    if (!pdf.ready())
        return {PrintOutcome::Failed, pdf.error()};
    target_ = pdf.target();

    QProgressDialog progress(ProgressText.arg(1).arg(pageCount_), QStringLiteral("Abbrechen"), 0, pageCount_, owner);
    progress.setWindowTitle(QStringLiteral("Drucken"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    QObject::connect(&progress, &QProgressDialog::canceled, [this] { cancel_ = true; });

    // receives the worker's reports on the UI thread
    QObject relay;
    auto pageDone = [&](int done) {
        QMetaObject::invokeMethod(&relay, [this, &progress, done] {
            progress.setValue(done);
            if (done < pageCount_)
                progress.setLabelText(ProgressText.arg(done + 1).arg(pageCount_));
            if (OnProgress)
                OnProgress(done, pageCount_);
        }, Qt::QueuedConnection);
    };
    PrintOutcome outcome;
    QEventLoop loop;
    QThread* worker = QThread::create([&] { outcome = renderPages(pageDone); });
    QObject::connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    loop.exec();
    // the program is ending: the worker stops after its page
    if (worker->isRunning())
        cancel_ = true;
    worker->wait();
    delete worker;
    QCoreApplication::sendPostedEvents(&relay);

    if (outcome.status == PrintOutcome::Printed && !pdf.commit())
        outcome = {PrintOutcome::Failed, pdf.error()};
    return outcome;
}

PrintOutcome PrintJob::renderPages(const std::function<void(int)>& pageDone)
{
    const QString title = printerTitle(printer_, target_);
    QPainter painter;
    if (!painter.begin(&printer_))
        return {PrintOutcome::Failed,
                QStringLiteral("Der %1 nimmt keinen Druckauftrag an. Es wurde nichts gedruckt.").arg(title)};
    auto stop = [&](PrintOutcome outcome) {
        printer_.abort();
        painter.end();
        return outcome;
    };
    auto failedAt = [&](int page) {
        return PrintOutcome{PrintOutcome::Failed,
                            QStringLiteral("Der %1 hat den Auftrag bei Seite %2 von %3 abgebrochen. "
                                           "Es wurde nichts gedruckt.")
                                .arg(title)
                                .arg(page + 1)
                                .arg(pageCount_)};
    };
    for (int page = 0; page < pageCount_; ++page) {
        if (cancel_)
            return stop({PrintOutcome::Cancelled, {}});
        if (page > 0 && !printer_.newPage())
            return stop(failedAt(page));
        bool drawn = false;
        try {
            drawn = render_(painter, page, cancel_);
        } catch (const std::exception&) {
            drawn = false;
        }
        if (cancel_)
            return stop({PrintOutcome::Cancelled, {}});
        const QString device = target_.isEmpty() ? printer_.printerName() : target_;
        if (!drawn || printer_.printerState() == QPrinter::Error
            || fileops::injectedFault(fileops::Op::Write, device))
            return stop(failedAt(page));
        pageDone(page + 1);
    }
    if (!painter.end() || printer_.printerState() == QPrinter::Error)
        return failedAt(pageCount_ - 1);
    return {PrintOutcome::Printed, {}};
}
