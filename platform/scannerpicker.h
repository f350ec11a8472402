#pragma once
// The scanner chooser. Tests replace the dialog by a script that answers.

#include <QStringList>
#include <functional>

class QWidget;

class ScannerPicker {
public:
    using Script = std::function<int(const QStringList& scanners)>;
    // The index of the chosen scanner in scanners, -1 when cancelled.
    static int choose(QWidget* owner, const QStringList& scanners);
    static void setScript(Script script);
};
