#include "commandline.h"
#include "editorlistener.h"
#include "kvnpictureedit.h"

#include "effects/effectssession.h"
#include "platform/localzone.h"
#include "platform/translations.h"
#include "viewer/editorlink.h"

#include <QApplication>

int main(int argc, char** argv)
{
    localzone::readSystemZoneOnce();
    QApplication app(argc, argv);
    translations::installGerman(app);
    const EditorCommandLine line = EditorCommandLine::parse(app.arguments());
    // an editor that already shows the file comes to the front instead
    if (!line.path.isEmpty() && EditorLink::raiseEditorShowing(line.path))
        return 0;
    const EffectsSession effects;  // outlives the window
    TKvnPictureEdit window;
    EditorListener listener(&window);
    window.start(line.path, line.page);
    return app.exec();
}
