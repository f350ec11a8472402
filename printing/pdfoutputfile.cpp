#include "pdfoutputfile.h"

#include "platform/fileops.h"

#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

PdfOutputFile::PdfOutputFile(QPrinter& printer) : printer_(printer)
{
    if (printer.outputFormat() != QPrinter::PdfFormat || printer.outputFileName().isEmpty())
        return;
    target_ = printer.outputFileName();
    const QFileInfo info(target_);
    temp_ = std::make_unique<QTemporaryFile>(info.absolutePath() + "/." + info.fileName() + ".XXXXXX");
    if (!temp_->open()) {
        ready_ = false;
        error_ = QStringLiteral("Die Datei \"%1\" kann nicht angelegt werden.").arg(target_);
        return;
    }
    temp_->close();
    printer.setOutputFileName(temp_->fileName());
}

PdfOutputFile::~PdfOutputFile()
{
    if (!writesFile())
        return;
    if (committed_)
        temp_->setAutoRemove(false);
    printer_.setOutputFileName(target_);
}

QString PdfOutputFile::temporaryPath() const
{
    return temp_ ? temp_->fileName() : QString();
}

bool PdfOutputFile::commit()
{
    if (!writesFile())
        return true;
    if (!ready_)
        return false;
    // the finished file gets the rights of the one it replaces, else rw-r--r--
    const QFileInfo old(target_);
    temp_->setPermissions(old.exists() ? old.permissions()
                                       : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    const QByteArray from = QFile::encodeName(temp_->fileName());
    const QByteArray to = QFile::encodeName(target_);
    errno = 0;
    if (fileops::injectedFault(fileops::Op::Rename, target_) || std::rename(from.constData(), to.constData()) != 0) {
        const int code = errno;
        error_ = QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden.").arg(target_);
        if (code != 0)
            error_ += " (" + QString::fromLocal8Bit(std::strerror(code)) + ")";
        return false;
    }
    committed_ = true;
    return true;
}
