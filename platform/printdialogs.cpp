#include "printdialogs.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace {
PrintDialogs::Script& script()
{
    static PrintDialogs::Script s;
    return s;
}
}  // namespace

void PrintDialogs::setScript(Script s)
{
    script() = std::move(s);
}

bool PrintDialogs::print(QWidget* owner, QPrinter& printer)
{
    if (script())
        return script()(Kind::Print, printer);
    QPrintDialog dialog(&printer, owner);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    return dialog.exec() == QDialog::Accepted;
}

bool PrintDialogs::pageSetup(QWidget* owner, QPrinter& printer)
{
    if (script())
        return script()(Kind::PageSetup, printer);
    QPageSetupDialog dialog(&printer, owner);
    return dialog.exec() == QDialog::Accepted;
}
