#pragma once
// The folder picker. Tests replace the dialog by a script that answers.

#include <QString>
#include <functional>

class QWidget;

class FolderPicker {
public:
    using Script = std::function<QString(const QString& title, const QString& start)>;
    // The chosen folder, empty when cancelled.
    static QString choose(QWidget* owner, const QString& title, const QString& start);
    static void setScript(Script script);
};
