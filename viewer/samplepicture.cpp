#include "samplepicture.h"

#include "platform/jpeggraphic.h"
#include "platform/paths.h"
#include "platform/settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

// The embedded data lives in a static library: pull it in by name.
static void initSampleResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace samplepicture {

namespace {

const char* const kName = "beispiel.jpg";

}  // namespace

QString ensure()
{
    const QString inProgramFolder = paths::programFolder() + kName;
    if (QFileInfo::exists(inProgramFolder))
        return inProgramFolder;
    initSampleResources();
    QFile resource(QStringLiteral(":/beispiel.jpg"));
    JpegGraphic sample;
    if (!resource.open(QIODevice::ReadOnly) || !sample.loadFromData(resource.readAll()))
        return inProgramFolder;
    if (QFileInfo(paths::programFolder()).isWritable() && sample.saveToFile(inProgramFolder))
        return inProgramFolder;
    // a read-only program folder: the sample goes beside the settings
    const QString besideSettings = QFileInfo(Settings::filePath()).absolutePath() + "/" + kName;
    if (!QFileInfo::exists(besideSettings) && QDir().mkpath(QFileInfo(besideSettings).path()))
        sample.saveToFile(besideSettings);
    return besideSettings;
}

}  // namespace samplepicture
