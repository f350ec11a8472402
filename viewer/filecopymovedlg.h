#pragma once
// The transfer dialog: one copy or move with its progress and a cancel
// button. The transfer starts shortly after the dialog shows.

#include "filetransfer.h"

#include <QDialog>
#include <memory>

namespace Ui {
class TFileCopyMoveDlg;
}

class TFileCopyMoveDlg : public QDialog {
    Q_OBJECT
public:
    TFileCopyMoveDlg(const QString& source, const QString& target, bool move, bool overwrite,
                     QWidget* parent = nullptr);
    ~TFileCopyMoveDlg() override;

    FileTransfer::Result result() const { return result_; }
    // Milliseconds between showing and starting (tests set 0).
    static int startDelay;

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    void transfer();

    std::unique_ptr<Ui::TFileCopyMoveDlg> ui;
    QString source_, target_;
    bool move_, overwrite_;
    bool started_ = false;
    bool cancelled_ = false;
    FileTransfer::Result result_ = FileTransfer::Cancelled;
};
