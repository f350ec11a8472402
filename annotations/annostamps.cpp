#include "annostamps.h"

#include "profilefile.h"

namespace annostamps {

namespace {

const QString kSection = QStringLiteral("Stamps");

QList<AnnoStampDef> builtIn()
{
    return {{QStringLiteral("Genehmigt"), QStringLiteral("GENEHMIGT"), {}},
            {QStringLiteral("Entwurf"), QStringLiteral("ENTWURF"), {}},
            {QStringLiteral("Vertraulich"), QStringLiteral("VERTRAULICH"), {}}};
}

QString key(const char* name, int i)
{
    return QLatin1String(name) + QString::number(i);
}

}  // namespace

QList<AnnoStampDef> load(const QString& profile)
{
    const ProfileFile file(profile);
    if (!file.contains(kSection, QStringLiteral("Count")))
        return builtIn();
    bool number = false;
    const int count = file.value(kSection, QStringLiteral("Count")).toInt(&number);
    QList<AnnoStampDef> stamps;
    for (int i = 1; number && i <= std::min(count, kMaxStamps); ++i) {
        AnnoStampDef s{file.value(kSection, key("Name", i)), file.value(kSection, key("Text", i)),
                       file.value(kSection, key("File", i))};
        if (!s.name.isEmpty())
            stamps << s;
    }
    return stamps;
}

bool save(const QString& profile, const QList<AnnoStampDef>& stamps)
{
    ProfileFile file(profile);
    const int count = int(std::min<qsizetype>(stamps.size(), kMaxStamps));
    const int before = file.value(kSection, QStringLiteral("Count")).toInt();
    file.setValue(kSection, QStringLiteral("Count"), QString::number(count));
    for (int i = 1; i <= std::max(count, std::min(before, kMaxStamps)); ++i) {
        const AnnoStampDef s = i <= count ? stamps[i - 1] : AnnoStampDef{};
        file.setValue(kSection, key("Name", i), s.name);
        file.setValue(kSection, key("Text", i), s.text);
        file.setValue(kSection, key("File", i), s.file);
    }
    return file.save();
}

}  // namespace annostamps
