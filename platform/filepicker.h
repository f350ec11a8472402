#pragma once
// The file open dialog for one file. Tests replace the dialog by a script
// that answers.

#include <QString>
#include <functional>

class QWidget;

class FilePicker {
public:
    using Script = std::function<QString(const QString& title, const QString& start, const QString& filter)>;
    // The chosen file, empty when cancelled. filter: ";;"-separated entries
    // such as "Bilder (*.png *.jpg)".
    static QString chooseOpen(QWidget* owner, const QString& title, const QString& start, const QString& filter);
    static void setScript(Script script);
};
