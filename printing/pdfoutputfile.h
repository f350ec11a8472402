#pragma once
// A PDF the printer writes reaches its file through a temporary file in the
// same folder and a rename: a failed or cancelled job leaves the file that
// was there as it was.

#include <QString>
#include <memory>

class QPrinter;
class QTemporaryFile;

class PdfOutputFile {
public:
    // Points a PDF printer at a new temporary file beside its output file;
    // a printer that writes no file is left alone.
    explicit PdfOutputFile(QPrinter& printer);
    // Discards the temporary file unless committed, and gives the printer
    // its output file name back.
    ~PdfOutputFile();
    PdfOutputFile(const PdfOutputFile&) = delete;
    PdfOutputFile& operator=(const PdfOutputFile&) = delete;

    // False when the temporary file could not be made (error() says why).
    bool ready() const { return ready_; }
    bool writesFile() const { return !target_.isEmpty(); }
    QString target() const { return target_; }
    QString temporaryPath() const;
    // Renames the finished temporary file over the target; false (with
    // error()) when that fails, the target then stays as it was.
    bool commit();
    QString error() const { return error_; }

private:
    QPrinter& printer_;
    QString target_;
    std::unique_ptr<QTemporaryFile> temp_;
    bool ready_ = true;
    bool committed_ = false;
    QString error_;
};
