#include "mmsavedialog.h"

TMMSaveDialog::TMMSaveDialog(QWidget* parentWindow) : TMMOpenDialog(parentWindow)
{
    mode = SaveMode;
}

bool TMMSaveDialog::Execute()
{
    mode = SaveMode;
    return TMMOpenDialog::Execute();
}
