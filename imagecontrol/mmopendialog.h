#pragma once
// The file-open dialog with a preview area: picture or media preview, a TIFF
// page browser, a progress bar with stop, a preview on/off button and, when
// run for saving, the save options of the chosen file type.

#include "savedialogoptions.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class PreviewPanel;
class QFileDialog;
class QWidget;
class SaveOptionsPanel;
class TMMOpenDialog;

using TOnMMFileName = std::function<bool(QObject* Sender, const QString& FileName)>;

class TMMOpenDialog : public QObject {
    Q_OBJECT
public:
    enum Mode { OpenMode = 0, SaveMode = 1 };

    explicit TMMOpenDialog(QWidget* parentWindow = nullptr);
    ~TMMOpenDialog() override;

    // Runs the dialog modally; true when the user confirmed a file.
    virtual bool Execute();

    // Tests answer the dialog instead of a user: the script gets the dialog
    // (with its preview area built but not shown) and returns what Execute
    // returns. An empty function restores the real dialog.
    using Script = std::function<bool(TMMOpenDialog& dialog)>;
    static void setScript(Script script);

    // ---- what the caller sets before and reads after Execute
    int mode = OpenMode;
    QString FileName;
    QString InitialDir;
    QString Title;
    QStringList Filters;   // "Windows Bitmap (*.bmp)" ...; empty: the program's picture list
    int FilterIndex = 15;  // 1-based, as in the filter list
    QString DefaultExt;    // follows FilterIndex while the dialog runs

    // ---- published properties
    bool DoPreview = true;
    QString PreviewBtnHint = QStringLiteral("Bildvorschau aktivieren/deaktivieren");
    QString TiffFirstHint = QStringLiteral("First Tif Page");
    QString TiffPrior = QStringLiteral("Prior Tif Page");
    QString TiffNextHint = QStringLiteral("Next Tif Page");
    QString TiffLast = QStringLiteral("Last Tif Page");
    qint16 TiffSelectedPage = 0;
    TOnMMFileName OnMMFileName;
    qint32 JPEGQualiy = 85;
    qint32 JPEGSmooth = 5;
    bool PNGInterLaced = false;
    bool TIFFAppended = false;
    qint32 TIFFCompres = 0;
    qint32 TIFFARI = 0;  // page mode 0 append, 1 insert, 2 replace (also TIFFInsertPage)
    qint32 TIFFFirfPageValue = 1;
    qint32 EPSSaveLevel = 0;
    qint32 EPSSavePreview = 0;
    qint32 EPSSaveCompression = 0;
    qint32 EPSSaveBorder = 0;
    bool Annoeinbetten = false;
    bool Annosave = true;

    // ---- public state
    int TiffPageCount = 0;  // pages of the TIFF previewed last

    // The save routine's view of the options above.
    SaveDialogOptions saveOptions() const;

    // The program's 14 picture entries and "Alle unterstützten Formate".
    static QStringList pictureFilters();
    // ".bmp" for 1 ... ".ico" for 14, else empty.
    static QString extensionForFilterIndex(int index);
    // The other way: 1 for "bmp" ... 14 for "ico" (without the dot, any
    // case), else 0.
    static int filterIndexOfExtension(const QString& suffix);

    // The open dialog's list: the picture list, with the media types the
    // player can play added to "Alle unterstützten Formate" and after it.
    static QStringList openFilters();

    // ---- the running dialog (null outside Execute): a script reaches the
    // controls through these and acts as the user would
    QFileDialog* fileDialog() const { return fileDialog_; }
    PreviewPanel* previewPanel() const { return preview_; }
    SaveOptionsPanel* optionsPanel() const { return options_; }
    // What the dialog does when the selection or the file type (1-based
    // filter index) changes and when the preview button is pressed or
    // released; the dialog's own signals call them.
    void SelectionChanged(const QString& path);
    void TypeChanged(int filterIndex);
    void PreviewButtonToggled(bool pressed);
    // The text of the dialog's name box.
    QString NameBoxText() const;
    void setNameBoxText(const QString& text);
    bool Loading() const { return loading_; }
    bool CancelRequested() const { return cancel_; }

protected:
    // Runs the dialog as an open or a save dialog.
    bool run(bool saveDialog);

    QWidget* parentWindow_ = nullptr;

private:
    QStringList filterList(bool saveDialog) const;
    void fitDetailColumns();
    void buildDialog(bool saveDialog);
    void connectDialog();
    void showDialog();
    void closeDialog();
    void applyFilter();
    void preview(const QString& path);
    void previewPicture(const QString& path);
    void previewMetafile(const QString& path);
    void previewIcon(const QString& path);
    void previewTiff(const QString& path);
    void previewOther(const QString& path);
    void fitPictureView();
    void clearPreview();
    void pageShown(int page, int count);
    bool viewerProgress(int percent);
    void fileTypeChosen(const QString& filter);

    QFileDialog* fileDialog_ = nullptr;
    PreviewPanel* preview_ = nullptr;
    SaveOptionsPanel* options_ = nullptr;
    QStringList shownFilters_;
    QString currentPath_;
    QString pendingPreview_;
    QString typeChangeName_;  // the name as the user typed or chose it
    bool previewPending_ = false;
    bool previewBusy_ = false;
    bool loading_ = false;
    bool cancel_ = false;
};
