#include "effectsstate.h"

#include "effectsmodule.h"
#include "undoring.h"

#include "platform/paths.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

namespace {

const char kHelpName[] = "effects.html";

struct State {
    QString helpFile;
    bool dither = false;
};

State& state()
{
    static State s;
    return s;
}

}  // namespace

QString EffectsHelpFile()
{
    return state().helpFile;
}

void InitEffectsHelpFile()
{
    const QString name = QString::fromLatin1(kHelpName);
    QStringList candidates{paths::programFolder() + name};
    for (const QString& folder : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        candidates << paths::withTrailingSeparator(folder) + QStringLiteral("Korvane/") + name;
    for (const QString& c : candidates) {
        if (QFileInfo(c).isFile()) {
            state().helpFile = c;
            return;
        }
    }
    state().helpFile = candidates.first();
}

bool SharedDither()
{
    return state().dither;
}

void SetSharedDither(bool dither)
{
    state().dither = dither;
}

void ShutdownEffects()
{
    EffectsModule::unload();
    ClearUndo();
    state().helpFile.clear();
}
