#pragma once
// The question before a changed picture is replaced or its window closes:
// "Das Bild ist geändert worden. Möchten Sie das Bild speichern?" with
// Yes, No and Cancel. Yes saves through the toolbar's save button.

#include <QString>

class QWidget;
class TILMultiImageToolBar;

namespace changedpicture {

enum class Answer {
    Replace,    // nothing to save, "Nein", or "Ja" and the save succeeded
    Cancelled,  // "Abbrechen": the picture stays
    NotSaved,   // "Ja", but the save was cancelled or failed: the picture stays
};

// Asks when the toolbar's picture is not empty and marked changed, or when
// asked by the caller (changedElsewhere).
Answer ask(QWidget* owner, TILMultiImageToolBar& toolbar, bool changedElsewhere = false);

// The text for a save that did not happen.
QString notSavedText();

}  // namespace changedpicture
