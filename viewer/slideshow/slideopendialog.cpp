#include "slideopendialog.h"

#include <QFileDialog>
#include <QTimer>

SlideOpenDialog::SlideOpenDialog(QWidget* parentWindow) : TMMOpenDialog(parentWindow) {}

bool SlideOpenDialog::Execute()
{
    Files.clear();
    // the dialog exists once it runs: let it take several files then
    QTimer::singleShot(0, this, [this] {
        if (QFileDialog* dialog = fileDialog()) {
            dialog->setFileMode(QFileDialog::ExistingFiles);
            connect(dialog, &QFileDialog::filesSelected, this, [this](const QStringList& files) { Files = files; });
        }
    });
    const bool confirmed = TMMOpenDialog::Execute();
    if (confirmed && Files.isEmpty() && !FileName.isEmpty())
        Files << FileName;
    return confirmed && !Files.isEmpty();
}
