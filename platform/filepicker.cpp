#include "filepicker.h"

#include <QFileDialog>

namespace {
FilePicker::Script& script()
{
    static FilePicker::Script s;
    return s;
}
}  // namespace

void FilePicker::setScript(Script s)
{
    script() = std::move(s);
}

QString FilePicker::chooseOpen(QWidget* owner, const QString& title, const QString& start, const QString& filter)
{
    if (script())
        return script()(title, start, filter);
    return QFileDialog::getOpenFileName(owner, title, start, filter);
}
