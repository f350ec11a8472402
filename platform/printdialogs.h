#pragma once
// The platform's print dialog and printer set-up dialog. Printing to a PDF
// file is always one of the printers, so a machine without any installed
// printer still prints to a file. Tests replace the dialogs by a script that
// answers in their place (and changes the printer as a user would), so no
// test sits in a modal dialog.

#include <functional>

class QPrinter;
class QWidget;

class PrintDialogs {
public:
    enum class Kind { Print, PageSetup };
    // True for OK; the printer then holds the user's choices.
    using Script = std::function<bool(Kind kind, QPrinter& printer)>;

    static bool print(QWidget* owner, QPrinter& printer);
    static bool pageSetup(QWidget* owner, QPrinter& printer);
    static void setScript(Script script);
};
