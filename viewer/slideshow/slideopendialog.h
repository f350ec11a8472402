#pragma once
// The open-picture dialog with several files chosen at once.

#include "imagecontrol/mmopendialog.h"

class SlideOpenDialog : public TMMOpenDialog {
    Q_OBJECT
public:
    explicit SlideOpenDialog(QWidget* parentWindow = nullptr);

    bool Execute() override;
    // Every chosen file (a script sets these, or FileName alone).
    QStringList Files;
};
