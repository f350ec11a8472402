#include "databaselist.h"

#include "platform/fileops.h"
#include "platform/settings.h"

#include <QFileInfo>

namespace {
const QString kSection = QStringLiteral("DBFiles");
const QString kDatabaseName = QStringLiteral("KvnThumbalais.db");

QString listedFile(const Settings& store, const QString& name)
{
    return store.readString(kSection, name, QString());
}

// Only a thumbnail database may go: a regular file of exactly that name,
// never what a link of that name points to. The list is a plain settings
// value anyone can edit.
bool isDatabaseFile(const QString& file)
{
    const QFileInfo info(file);
    return info.isAbsolute() && info.fileName() == kDatabaseName && info.isFile() && !info.isSymLink();
}
}  // namespace

void DatabaseList::deleteAll(Settings& store)
{
    if (!store.sectionExists(kSection))
        return;
    for (const QString& name : store.readSection(kSection)) {
        const QString file = listedFile(store, name);
        if (isDatabaseFile(file))
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
