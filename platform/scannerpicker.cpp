#include "scannerpicker.h"

#include <QInputDialog>

namespace {
ScannerPicker::Script& script()
{
    static ScannerPicker::Script s;
    return s;
}
}  // namespace

void ScannerPicker::setScript(Script s)
{
    script() = std::move(s);
}

int ScannerPicker::choose(QWidget* owner, const QStringList& scanners)
{
    if (scanners.isEmpty())
        return -1;
    if (script())
        return script()(scanners);
    bool ok = false;
    const QString chosen = QInputDialog::getItem(owner, QStringLiteral("Scanner auswählen"),
                                                 QStringLiteral("Scanner:"), scanners, 0, false, &ok);
    return ok ? int(scanners.indexOf(chosen)) : -1;
}
