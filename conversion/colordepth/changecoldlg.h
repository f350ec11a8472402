#pragma once
// "Farbmodus ändern": the choice of a colour depth for the shown picture,
// previewed on a worker thread. The dialog only prepares the converted
// picture; the image toolbar puts it into the picture on OK. Closing hides
// the dialog: the program keeps it.

#include "depthchoice.h"

#include "codec/binding/tbitmap.h"

#include <QDialog>
#include <QFuture>
#include <QList>
#include <functional>
#include <memory>

namespace Ui {
class TChangeColDlg;
}
class QButtonGroup;
class TPMultiImage;

class TChangeColDlg : public QDialog {
    Q_OBJECT
public:
    // The preview starts with the sample picture at samplePath.
    explicit TChangeColDlg(const QString& samplePath, QWidget* parent = nullptr);
    ~TChangeColDlg() override;

    // The picture the previews start from (the caller's picture).
    void setPicture(const TBitmap& picture);
    const TBitmap& sourcePicture() const { return source_; }
    // No depth chosen; OK waits for a choice.
    void releaseChoices();
    void choose(DepthChoice choice);
    DepthChoice choice() const;
    QString choiceText() const { return DepthCaption(choice()); }

    // Starts the preview of the chosen depth from the source picture.
    void Refresh();
    // The converted picture of the chosen depth, once the preview is done.
    const TBitmap& converted() const { return result_; }
    bool previewRunning() const;
    // Waits for the running preview and shows it (tests, OK).
    void waitForPreview();

    Ui::TChangeColDlg* form() const { return ui.get(); }
    TPMultiImage* preview() const;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Run;
    void startPreview(DepthChoice choice);
    void previewDone(const std::shared_ptr<Run>& run);
    void stopPreviews();

    std::unique_ptr<Ui::TChangeColDlg> ui;
    QButtonGroup* choices_ = nullptr;
    TBitmap source_;
    TBitmap result_;
    std::shared_ptr<Run> current_;
    QList<std::shared_ptr<Run>> runs_;
};

// The toolbar's colour depth button for image: the dialog with the
// picture and no depth chosen; on OK result takes the converted picture
// and depth the chosen caption. show runs the dialog in place of exec()
// (tests answer there).
using ChangeColShow = std::function<int(TChangeColDlg& dialog)>;
bool RunChangeColDlg(TChangeColDlg& dialog, TPMultiImage& image, TBitmap& result, QString& depth,
                     const ChangeColShow& show = {});
// The hook a program gives its toolbar: the dialog is made over owner on
// first use, with the sample picture samplePath answers then, and kept.
std::function<bool(TPMultiImage&, TBitmap&, QString&)> MakeColorDepthHook(QWidget* owner,
                                                                           std::function<QString()> samplePath,
                                                                           ChangeColShow show = {});
