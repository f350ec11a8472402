#pragma once
// Mouse editing of annotations in the programs: installs the context menu,
// the property dialog, the stamp chooser and the picture chooser (the file
// dialog of platform/filepicker.h) that the annotation layer shows.

#include <QList>
#include <QString>
#include <functional>

class TAnnoPropertiesDlg;
class TAnnoStampDlg;
class TILMultiImageToolBar;

namespace annotationediting {

struct MenuEntry {
    int command = 0;      // 0: a heading or a separator
    QString text;
    bool enabled = true;
    bool checked = false;
    bool separator = false;
    bool heading = false;
};

// Makes the layer's menus and property dialog work; the programs call it
// once at start.
void Install();
// Install, and the toolbar's annotation button (now enabled) loads a
// picture's annotation file into its control.
void Attach(TILMultiImageToolBar& toolbar);

// The menu shown; empty: a QMenu at the position. Tests answer in its place
// with the command chosen (0 for none).
extern std::function<int(const QList<MenuEntry>& entries)> MenuScript;
// The property dialog shown modally; empty: exec(). Tests answer in its
// place (true: accepted).
extern std::function<bool(TAnnoPropertiesDlg& dialog)> DialogScript;
// The stamp chooser shown modally; empty: exec(). Tests answer in its place
// (true: accepted).
extern std::function<bool(TAnnoStampDlg& dialog)> StampScript;

}  // namespace annotationediting
