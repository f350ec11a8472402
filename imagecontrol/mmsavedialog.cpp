#include "mmsavedialog.h"

TMMSaveDialog::TMMSaveDialog(QWidget* parentWindow) : TMMOpenDialog(parentWindow) {}

bool TMMSaveDialog::Execute()
{
    return run(true);
}
