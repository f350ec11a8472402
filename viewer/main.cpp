#include "databaselist.h"
#include "glimraapplication.h"
#include "kvnpictureview.h"

#include "effects/effectssession.h"
#include "platform/localzone.h"
#include "platform/settings.h"
#include "platform/translations.h"

#include <cstring>

namespace {

bool isClearRegistrySwitch(int argc, char** argv)
{
    return argc > 1 && QString::fromLocal8Bit(argv[1]).toLower() == QStringLiteral("/clearregistry");
}

void clearRegistry()
{
    Settings store;
    DatabaseList::deleteAll(store);
    store.clear();
}

}  // namespace

int main(int argc, char** argv)
{
    localzone::readSystemZoneOnce();
    if (isClearRegistrySwitch(argc, argv)) {
        QCoreApplication app(argc, argv);
        clearRegistry();
        return 0;
    }
    GlimraApplication app(argc, argv);
    translations::installGerman(app);
    const EffectsSession effects;  // outlives the window
    TKvnPictureView window;
    app.exceptionSink = [&window](const QString& message) { window.showStatusMessage(message); };
    window.start();
    if (argc > 1)
        window.OpenFromCommandLine(QString::fromLocal8Bit(argv[1]));
    return app.exec();
}
