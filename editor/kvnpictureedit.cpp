#include "kvnpictureedit.h"

#include <QLabel>

TKvnPictureEdit::TKvnPictureEdit(const QString& picturePath, int page, QWidget* parent)
    : QMainWindow(parent), path_(picturePath), page_(page)
{
    setObjectName(QStringLiteral("TKvnPictureEdit"));
    setWindowTitle(captionFor(picturePath));
    resize(800, 600);
}

QString TKvnPictureEdit::captionFor(const QString& path)
{
    const QString caption = QStringLiteral("Korvane® Picture Editor");
    return path.isEmpty() ? caption : caption + QStringLiteral(" - ") + path;
}
