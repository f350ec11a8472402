#include "databaselist.h"

#include "platform/fileops.h"
#include "platform/settings.h"

#include <QFileInfo>

namespace {
const QString kSection = QStringLiteral("DBFiles");

QString listedFile(const Settings& store, const QString& name)
{
    return store.readString(kSection, name, QString()).trimmed();
}
}  // namespace

void DatabaseList::deleteAll(Settings& store)
{
    if (!store.sectionExists(kSection))
        return;
    for (const QString& name : store.readSection(kSection)) {
        const QString file = listedFile(store, name);
        if (!file.isEmpty() && QFileInfo(file).isFile())
            fileops::removeFile(file);
    }
    store.eraseSection(kSection);
}

void DatabaseList::prune(Settings& store)
{
    for (const QString& name : store.readSection(kSection)) {
        const QString file = listedFile(store, name);
        if (file.isEmpty() || !QFileInfo::exists(file))
            store.deleteKey(kSection, name);
    }
}
