#include "changedpicture.h"

#include "imagecontrol/ilmultiimagetoolbar.h"
#include "imagecontrol/pmultiimage.h"
#include "platform/messagebox.h"

namespace changedpicture {

Answer ask(QWidget* owner, TILMultiImageToolBar& toolbar, bool changedElsewhere)
{
    TPMultiImage* image = toolbar.MultiImage();
    if (!image || image->Picture().empty() || !(image->Modified() || changedElsewhere))
        return Answer::Replace;
    const auto answer = MessageBox::show(owner, QMessageBox::Question, QStringLiteral("Änderungen speichern"),
                                         QStringLiteral("Das Bild ist geändert worden. Möchten Sie das Bild speichern?"),
                                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::No)
        return Answer::Replace;
    if (answer != QMessageBox::Yes)
        return Answer::Cancelled;
    // a successful save clears the mark; it is set here so that a picture
    // changed only elsewhere (its annotations) tells the same
    const bool wasModified = image->Modified();
    image->setModified(true);
    toolbar.Click(ibSave);
    if (!image->Modified())
        return Answer::Replace;
    image->setModified(wasModified);
    return Answer::NotSaved;
}

QString notSavedText()
{
    return QStringLiteral("Das Bild wurde nicht gespeichert.");
}

}  // namespace changedpicture
