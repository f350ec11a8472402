#include "folderpicker.h"

#include <QFileDialog>
#include <QFileInfo>

namespace {
FolderPicker::Script& script()
{
    static FolderPicker::Script s;
    return s;
}
}  // namespace

void FolderPicker::setScript(Script s)
{
    script() = std::move(s);
}

QString FolderPicker::choose(QWidget* owner, const QString& title, const QString& start)
{
    const QString from = QFileInfo(start).isDir() ? start : QString();
    if (script())
        return script()(title, from);
    return QFileDialog::getExistingDirectory(owner, title, from, QFileDialog::ShowDirsOnly);
}
