// The toolbar's actions that bring a picture in or write it out: open,
// save, stepping through the grid, scanning and the scanner choice.

#include "ilmultiimagetoolbar.h"

#include "annotationfile.h"
#include "mmsavedialog.h"
#include "pmultiimage.h"
#include "savepicturefile.h"

#include "codec/binding/codecwrappers.h"
#include "codec/binding/errorinvalid.h"
#include "platform/fileops.h"
#include "platform/hourglass.h"
#include "platform/messagebox.h"
#include "platform/paths.h"
#include "thumbnails/piclibthumbnails.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <algorithm>
#include <atomic>
#include <optional>

namespace {

// Raises a flag for its lifetime.
class FlagRaised {
public:
    explicit FlagRaised(std::atomic<bool>* flag) : flag_(flag)
    {
        if (flag_)
            flag_->store(true);
    }
    ~FlagRaised()
    {
        if (flag_)
            flag_->store(false);
    }
    FlagRaised(const FlagRaised&) = delete;
    FlagRaised& operator=(const FlagRaised&) = delete;

private:
    std::atomic<bool>* flag_;
};

const QString kCrLf = QStringLiteral("\r\n");
const QChar kQuote = QLatin1Char('"');

// Whether ext, with its dot, names a TIFF file.
bool isTiffExtension(const QString& ext)
{
    const QString lower = ext.toLower();
    return lower == QLatin1String(".tif") || lower == QLatin1String(".tiff");
}

}  // namespace

bool TILMultiImageToolBar::openPicture()
{
    if (!openDialog_) {
        if (!BeforeAction)
            MessageBox::information(this, QString(),
                                    QStringLiteral("Toolbar. Assign either a MMOpenDialog or a BeforeAction event "
                                                   "to open a file"));
        return false;
    }
    TMMOpenDialog& dialog = *openDialog_;
    dialog.mode = TMMOpenDialog::OpenMode;
    if (!dialog.Execute())
        return false;
    HourglassCursor wait;
    const QString file = dialog.FileName;
    const int page = dialog.TiffSelectedPage;
    if (ShowPicture) {
        ShowPicture(file, page, *image_);
    } else if (image_) {
        image_->setTiffPage(qint16(page));
        image_->setImageName(file);
    }
    return true;
}

bool TILMultiImageToolBar::savePicture()
{
    const FlagRaised scanning(ScanActive);
    if (!saveDialog_) {
        if (!BeforeAction)
            MessageBox::information(this, QString(),
                                    QStringLiteral("Toolbar. Assign either a MMSaveDialog or a BeforeAction event "
                                                   "to save a file"));
        return false;
    }
    saveDialog_->mode = TMMOpenDialog::SaveMode;
    saveDialog_->TIFFFirfPageValue = image_->TiffPage() + 1;
    QString file;
    bool replacing = false;
    if (!chooseSaveTarget(file, replacing))
        return false;
    return writePicture(file, replacing);
}

// Runs the save dialog until the user has a target to write to; false when
// the user cancels. replacing: the user agreed to overwrite another file.
bool TILMultiImageToolBar::chooseSaveTarget(QString& file, bool& replacing)
{
    TMMSaveDialog& dialog = *saveDialog_;
    TPMultiImage& image = *image_;
    for (;;) {
        QCoreApplication::processEvents();
        if (!dialog.Execute() || !saveDialog_ || !image_)
            return false;
        file = dialog.FileName;
        const QString ext = paths::extension(file);
        if (ext.isEmpty() || ext == QLatin1String("."))
            file = file.left(file.size() - ext.size()) + TMMOpenDialog::extensionForFilterIndex(dialog.FilterIndex);
        image.SaveAnnotationsOnSave = dialog.Annosave;
        image.EmbedAnnotations = dialog.Annoeinbetten;
        image.setJPegSaveQuality(dialog.JPEGQualiy);
        image.setJPegSaveSmooth(dialog.JPEGSmooth);
        image.PNGInterLaced = dialog.PNGInterLaced;
        image.TiffAppend = dialog.TIFFAppended;
        image.TifSaveCompress = TTiffCompression(std::clamp(int(dialog.TIFFCompres), int(sNONE), int(sPACKBITS)));
        bool exists = QFileInfo::exists(file);
        if (isTiffExtension(paths::extension(file)) && image.TiffAppend)
            exists = false;
        if (!image.ImageName().isEmpty() && paths::samePath(file, image.ImageName()))
            exists = false;
        if (!exists)
            return true;
        const QString question = QStringLiteral("Die Datei") + kCrLf + kQuote + file + kQuote + kCrLf
                                 + QStringLiteral("bereits vorhanden. Überschreiben?");
        const auto answer = MessageBox::show(this, QMessageBox::Question, QStringLiteral("Datei überschreiben"),
                                             question, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        if (answer == QMessageBox::Yes) {
            replacing = true;
            return true;
        }
        if (answer != QMessageBox::No)
            return false;
    }
}

// The annotation file of a replaced picture goes once the new picture is
// in place; a failed save keeps both.
void TILMultiImageToolBar::removeStaleAnnotations(const QString& file)
{
    const QString annotations = PictureAnnotationFile(file);
    for (int attempt = 0; attempt < 256; ++attempt) {
        QCoreApplication::processEvents();
        if (!QFileInfo::exists(annotations) || fileops::removeFile(annotations))
            break;
    }
}

bool TILMultiImageToolBar::writePicture(const QString& file, bool replacing)
{
    if (!saveDialog_ || !image_)
        return false;
    bool saved = false;
    {
        HourglassCursor wait;
        if (QFileInfo::exists(file))
            fileops::makeArchiveOnly(file);
        saved = SavePictureFile(file, *image_, saveDialog_->saveOptions());
    }
    if (!saved && image_ && image_->Stopped())
        return false;   // the user stopped it: the old file is as it was
    if (!saved) {
        const QString ext = paths::extension(file).toUpper();
        if (TMMOpenDialog::filterIndexOfExtension(ext.mid(1)) > 0)
            MessageBox::warning(this, QStringLiteral("Fehler beim Speichern"),
                                QStringLiteral("Die Datei") + kCrLf + kQuote + file + kQuote + kCrLf
                                    + QStringLiteral("konnte nicht gespeichert werden."));
        else
            MessageBox::warning(this, QStringLiteral("Nicht unterstütztes Bildformat"),
                                QStringLiteral("Das Bildformat ") + kQuote + ext + kQuote
                                    + QStringLiteral(" wird nicht unterstützt."));
        return false;
    }
    if (replacing)
        removeStaleAnnotations(file);
    savedFile_ = file;
    if (grid_)
        grid_->ReplaceFile(file);
    return true;
}

void TILMultiImageToolBar::stepPicture(int step)
{
    HourglassCursor wait;
    if (grid_ && grid_->Count() >= 2) {
        const int current = grid_->CurrentSelected;
        int index = -1;
        if (step < 0 && current > 0)
            index = grid_->SelectIndex(current - 1);
        else if (step > 0 && current < grid_->Count() - 1)
            index = grid_->SelectIndex(current + 1);
        if (grid_)
            grid_->ScrollIntoView(index);
    }
    QCoreApplication::processEvents();
}

bool TILMultiImageToolBar::scanPicture()
{
    void* parent = parentWindow();
    if (!parent)
        throw ErrorInvalid(QStringLiteral("Parent Window Handle required"));
    auto wait = std::make_optional<HourglassCursor>();
    TPMultiImage& image = *image_;
    const int selected = grid_ ? grid_->CurrentSelected : -1;
    snapshot();
    if (grid_) {
        grid_->CurrentSelected = -1;
        grid_->viewport()->update();
    }
    image.setImageName(QString());
    image.DefSaveFilename = QString();
    const bool scanned = image.ScanImage(parent);
    const bool stopped = image.Stopped();
    if (!image.Picture().empty()) {
        if (saveDialog_)
            saveDialog_->FilterIndex = 1;
        image.ImageWriteRes = sAutoMatic;
        image.ReduceDither = IL_BAYER;
        return true;
    }
    if (selected < 0) {
        RefreshButtons();
        Click(ibUndo);
    } else if (grid_) {
        grid_->SelectIndex(selected);
    }
    // said after the picture came back, whose texts would hide the control's
    wait.reset();
    if (!scanned && !stopped)
        MessageBox::information(this, QStringLiteral("Bild scannen"), QStringLiteral("Es wurde kein Bild eingelesen."));
    return true;
}

bool TILMultiImageToolBar::selectScanner()
{
    void* parent = parentWindow();
    if (!parent)
        throw ErrorInvalid(QStringLiteral("Parent Window Handle required"));
    bool chosen = false;
    {
        HourglassCursor wait;
        chosen = SelectScanSource(parent);
    }
    // a cancelled choice counts as chosen; false means no scanner answered
    if (!chosen)
        MessageBox::information(this, QStringLiteral("Scanner auswählen"),
                                QStringLiteral("Es wurde kein Scanner gefunden."));
    return chosen;
}
