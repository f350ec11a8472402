#pragma once
// Brings up the editor with a picture: an editor already showing it is
// raised, else a new one is started (from the viewer's folder, else PATH).

#include <QString>

class EditorLink {
public:
    // True when a running editor showed the file.
    static bool raiseEditorShowing(const QString& path);
    static void open(const QString& path, int page);
    // The editor program that open() starts.
    static QString editorProgram();
};
