#pragma once
// The open dialog with its preview and save options, run as a save dialog.

#include "mmopendialog.h"

class TMMSaveDialog : public TMMOpenDialog {
    Q_OBJECT
public:
    explicit TMMSaveDialog(QWidget* parentWindow = nullptr);

    bool Execute() override;
};
