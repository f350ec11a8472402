#include "annosettings.h"

#include "profilefile.h"

#include "codec/binding/codecwrappers.h"
#include "codec/engine/annotationkinds.h"
#include "platform/settings.h"

#include <QMap>
#include <optional>

namespace {

constexpr int kMaxText = 511;

using annotationkinds::KindFacts;
using annotationkinds::TextFacts;
const auto& kFacts = annotationkinds::kKinds;
const auto& kMenus = annotationkinds::kMenuTexts;
const auto& kDialogs = annotationkinds::kDialogTexts;

const KindFacts& facts(TAnnoKind kind)
{
    return kFacts[int(kind)];
}

const TextFacts* find(const TextFacts* list, std::size_t n, const QString& name)
{
    for (std::size_t i = 0; i < n; ++i)
        if (name.compare(QLatin1String(list[i].key), Qt::CaseInsensitive) == 0)
            return &list[i];
    return nullptr;
}

const QString kGroup = QStringLiteral("Annotation/");

// The store of one attribute: the settings store for connected lines (and
// the ellipse's three), the profile file for the rest.
bool inSettingsStore(TAnnoKind kind, const char* key)
{
    if (kind == TAnnoKind::PolyLine)
        return true;
    const QString k = QLatin1String(key);
    return kind == TAnnoKind::Ellipse && (k == "PENWIDTH" || k == "PENSTYLE" || k == "FORECOLOR");
}

bool withoutRules(TAnnoKind kind, const char* key)
{
    return kind == TAnnoKind::Ellipse && inSettingsStore(kind, key);
}

QString cut(const QString& text)
{
    return text.left(kMaxText);
}

}  // namespace

// ---- the two stores --------------------------------------------------------------

namespace {

qint32 readNumber(const QString& profile, TAnnoKind kind, const char* key, qint32 def)
{
    const QString section = QLatin1String(facts(kind).section);
    if (inSettingsStore(kind, key))
        return Settings().readInteger(kGroup + section, QLatin1String(key), def);
    bool ok = false;
    const qint32 v = ProfileFile(profile).value(section, QLatin1String(key)).toInt(&ok);
    return ok ? v : def;
}

void writeNumber(const QString& profile, TAnnoKind kind, const char* key, qint32 value)
{
    const QString section = QLatin1String(facts(kind).section);
    if (inSettingsStore(kind, key)) {
        Settings s;
        s.writeInteger(kGroup + section, QLatin1String(key), value);
        s.sync();
        return;
    }
    ProfileFile file(profile);
    file.setValue(section, QLatin1String(key), QString::number(value));
    file.save();
}

QString readText(const QString& profile, bool store, const QString& section, const QString& key, const QString& def)
{
    if (store)
        return Settings().readString(kGroup + section, key, def);
    const ProfileFile file(profile);
    return file.contains(section, key) ? cut(file.value(section, key)) : def;
}

void writeText(const QString& profile, bool store, const QString& section, const QString& key, const QString& text)
{
    if (store) {
        Settings s;
        s.writeString(kGroup + section, key, text);
        s.sync();
        return;
    }
    ProfileFile file(profile);
    file.setValue(section, key, text);
    file.save();
}

}  // namespace

TAnnoSettings::TAnnoSettings(QString profileFile)
    : profile_(profileFile.isEmpty() ? AnnotationSettingsFile() : std::move(profileFile))
{
}

// ---- attributes ----------------------------------------------------------------------

int TAnnoSettings::PenWidth(TAnnoKind kind) const
{
    const qint32 v = readNumber(profile_, kind, "PENWIDTH", 1);
    return withoutRules(kind, "PENWIDTH") || (v >= 2 && v <= 20) ? v : 1;
}

void TAnnoSettings::setPenWidth(TAnnoKind kind, int width)
{
    writeNumber(profile_, kind, "PENWIDTH", withoutRules(kind, "PENWIDTH") || (width >= 2 && width <= 20) ? width : 1);
}

TAnnoPenStyles TAnnoSettings::PenStyle(TAnnoKind kind) const
{
    const qint32 v = readNumber(profile_, kind, "PENSTYLE", 0);
    return v >= 1 && v <= 5 ? TAnnoPenStyles(v) : an_PS_SOLID;
}

void TAnnoSettings::setPenStyle(TAnnoKind kind, TAnnoPenStyles style)
{
    writeNumber(profile_, kind, "PENSTYLE", int(style));
}

std::uint32_t TAnnoSettings::ForeGroundColor(TAnnoKind kind) const
{
    return std::uint32_t(readNumber(profile_, kind, "FORECOLOR", 0));
}

void TAnnoSettings::setForeGroundColor(TAnnoKind kind, std::uint32_t colour)
{
    writeNumber(profile_, kind, "FORECOLOR", qint32(colour));
}

std::uint32_t TAnnoSettings::BackGroundColor(TAnnoKind kind) const
{
    return std::uint32_t(readNumber(profile_, kind, "BACKCOLOR", qint32(facts(kind).backColor)));
}

void TAnnoSettings::setBackGroundColor(TAnnoKind kind, std::uint32_t colour)
{
    writeNumber(profile_, kind, "BACKCOLOR", qint32(colour));
}

TAnnoBackgroundMode TAnnoSettings::BackGroundMode(TAnnoKind kind) const
{
    return readNumber(profile_, kind, "TRANSPARENT", facts(kind).transparent) == 2 ? an_OPAQUE : an_TRANSPARENT;
}

void TAnnoSettings::setBackGroundMode(TAnnoKind kind, TAnnoBackgroundMode mode)
{
    writeNumber(profile_, kind, "TRANSPARENT", int(mode) + 1);
}

TAnnoHatchStyles TAnnoSettings::HatchStyle(TAnnoKind kind) const
{
    const qint32 v = readNumber(profile_, kind, "PATTERN", 100);
    return v >= 0 && v <= 5 ? TAnnoHatchStyles(v) : an_HS_SOLID;
}

void TAnnoSettings::setHatchStyle(TAnnoKind kind, TAnnoHatchStyles style)
{
    writeNumber(profile_, kind, "PATTERN", style >= 0 && style <= 5 ? int(style) : 100);
}

bool TAnnoSettings::MenuEnabled(TAnnoKind kind) const
{
    return readNumber(profile_, kind, "Enabled", 1) == 1;
}

void TAnnoSettings::setMenuEnabled(TAnnoKind kind, bool on)
{
    writeNumber(profile_, kind, "Enabled", on ? 1 : 0);
}

std::uint32_t TAnnoSettings::FontColor(TAnnoKind kind) const
{
    return std::uint32_t(readNumber(profile_, kind, "FONTCOLOR", 0));
}

void TAnnoSettings::setFontColor(TAnnoKind kind, std::uint32_t colour)
{
    writeNumber(profile_, kind, "FONTCOLOR", qint32(colour));
}

std::uint32_t TAnnoSettings::FontBackColor(TAnnoKind kind) const
{
    return std::uint32_t(readNumber(profile_, kind, "FONTBACKCOLOR", qint32(facts(kind).backColor)));
}

void TAnnoSettings::setFontBackColor(TAnnoKind kind, std::uint32_t colour)
{
    writeNumber(profile_, kind, "FONTBACKCOLOR", qint32(colour));
}

QString TAnnoSettings::FontName(TAnnoKind kind) const
{
    return readText(profile_, inSettingsStore(kind, "FontName"), QLatin1String(facts(kind).section),
                    QStringLiteral("FontName"), QStringLiteral("Arial"));
}

void TAnnoSettings::setFontName(TAnnoKind kind, const QString& name)
{
    writeText(profile_, inSettingsStore(kind, "FontName"), QLatin1String(facts(kind).section),
              QStringLiteral("FontName"), name);
}

int TAnnoSettings::FontHeight(TAnnoKind kind) const
{
    const qint32 v = readNumber(profile_, kind, "FontHeight", 16);
    return v >= 2 && v <= 210 ? v : 1;
}

void TAnnoSettings::setFontHeight(TAnnoKind kind, int height)
{
    writeNumber(profile_, kind, "FontHeight", height >= 2 && height <= 210 ? height : 1);
}

QString TAnnoSettings::Text(TAnnoKind kind) const
{
    return readText(profile_, inSettingsStore(kind, "Text256"), QLatin1String(facts(kind).section),
                    QStringLiteral("Text256"), QStringLiteral("Geben Sie den Text ein"));
}

void TAnnoSettings::setText(TAnnoKind kind, const QString& text)
{
    writeText(profile_, inSettingsStore(kind, "Text256"), QLatin1String(facts(kind).section), QStringLiteral("Text256"),
              text);
}

// ---- menu and dialog texts ---------------------------------------------------------------

QString TAnnoSettings::MenuName(TAnnoKind kind) const
{
    if (kind == TAnnoKind::Rectangle)
        return QString::fromUtf8(facts(kind).name);   // fixed
    return readText(profile_, kind == TAnnoKind::PolyLine, QStringLiteral("Menus"), QLatin1String(facts(kind).menuKey),
                    QString::fromUtf8(facts(kind).name));
}

void TAnnoSettings::setMenuName(TAnnoKind kind, const QString& text)
{
    if (kind != TAnnoKind::Rectangle)
        writeText(profile_, kind == TAnnoKind::PolyLine, QStringLiteral("Menus"), QLatin1String(facts(kind).menuKey),
                  text);
}

QString TAnnoSettings::MenuNameDelete(TAnnoKind kind) const
{
    return readText(profile_, kind == TAnnoKind::PolyLine, QStringLiteral("Menus"),
                    QLatin1String(facts(kind).deleteKey), QStringLiteral("Entfernen"));
}

void TAnnoSettings::setMenuNameDelete(TAnnoKind kind, const QString& text)
{
    writeText(profile_, kind == TAnnoKind::PolyLine, QStringLiteral("Menus"), QLatin1String(facts(kind).deleteKey), text);
}

namespace {

QString propertiesSection(TAnnoKind kind)
{
    return kind == TAnnoKind::RubberStamp ? QStringLiteral("Dialogs") : QStringLiteral("Menus");
}

QString propertiesKey(TAnnoKind kind)
{
    return QLatin1String(facts(kind).menuKey) + QStringLiteral("Properties");
}

}  // namespace

QString TAnnoSettings::MenuNameProperties(TAnnoKind kind) const
{
    return readText(profile_, kind == TAnnoKind::PolyLine, propertiesSection(kind), propertiesKey(kind),
                    QStringLiteral("Eigenschaften"));
}

void TAnnoSettings::setMenuNameProperties(TAnnoKind kind, const QString& text)
{
    writeText(profile_, kind == TAnnoKind::PolyLine, propertiesSection(kind), propertiesKey(kind), text);
}

QString TAnnoSettings::MenuText(const QString& name) const
{
    if (name.compare(QLatin1String("New"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Neues Objekt ...");   // fixed
    const TextFacts* f = find(kMenus, std::size(kMenus), name);
    return readText(profile_, false, QStringLiteral("Menus"), name, f ? QString::fromUtf8(f->def) : QString());
}

void TAnnoSettings::setMenuText(const QString& name, const QString& text)
{
    if (name.compare(QLatin1String("New"), Qt::CaseInsensitive) != 0)
        writeText(profile_, false, QStringLiteral("Menus"), name, text);
}

namespace {

QString dialogKey(const QString& name)
{
    return name.compare(QLatin1String("ImageStamp"), Qt::CaseInsensitive) == 0 ? QStringLiteral("ImageStampFile") : name;
}

}  // namespace

QString TAnnoSettings::DialogText(const QString& name) const
{
    const TextFacts* f = find(kDialogs, std::size(kDialogs), name);
    return readText(profile_, false, QStringLiteral("Dialogs"), dialogKey(name), f ? QString::fromUtf8(f->def) : QString());
}

void TAnnoSettings::setDialogText(const QString& name, const QString& text)
{
    writeText(profile_, false, QStringLiteral("Dialogs"), dialogKey(name), text);
}

// ---- the viewer's form ------------------------------------------------------------------

void TAnnoSettings::ApplyViewerForm()
{
    ProfileFile file(profile_);
    // a store that cannot be read is set aside by the program's own first
    // save, which says so; the values here are its defaults anyway
    std::optional<Settings> store;
    if (Settings::problem().isEmpty())
        store.emplace();
    const auto set = [&](TAnnoKind kind, const QString& section, const QString& key, const QString& value) {
        if (kind == TAnnoKind::PolyLine) {
            if (store)
                store->writeString(kGroup + section, key, value);
        } else
            file.setValue(section, key, value);
    };
    const auto number = [&](TAnnoKind kind, const char* key, qint32 value) {
        const QString section = QLatin1String(facts(kind).section);
        if (!inSettingsStore(kind, key))
            file.setValue(section, QLatin1String(key), QString::number(value));
        else if (store)
            store->writeInteger(kGroup + section, QLatin1String(key), value);
    };
    for (int k = 0; k < int(std::size(kFacts)); ++k) {
        const TAnnoKind kind = TAnnoKind(k);
        const KindFacts& f = facts(kind);
        if (kind != TAnnoKind::Hilite && kind != TAnnoKind::RubberStamp && kind != TAnnoKind::Image)
            number(kind, "PENWIDTH", kind == TAnnoKind::Pointer ? 5 : 1);
        if (kind != TAnnoKind::Rectangle)
            set(kind, QStringLiteral("Menus"), QLatin1String(f.menuKey), QString::fromUtf8(f.viewerName));
        set(kind, QStringLiteral("Menus"), QLatin1String(f.deleteKey), QStringLiteral("Entfernen"));
        set(kind, propertiesSection(kind), propertiesKey(kind), QStringLiteral("Eigenschaften"));
    }
    for (TAnnoKind kind : {TAnnoKind::Polygon, TAnnoKind::Line, TAnnoKind::Image})
        number(kind, "Enabled", 0);
    for (TAnnoKind kind : {TAnnoKind::Notes, TAnnoKind::Label}) {
        const QString section = QLatin1String(facts(kind).section);
        file.setValue(section, QStringLiteral("FontName"), QStringLiteral("Arial"));
        number(kind, "FontHeight", 16);
        file.setValue(section, QStringLiteral("Text256"), QStringLiteral("Geben Sie Ihren Tex ein"));
    }
    number(TAnnoKind::Label, "BACKCOLOR", 8388863);
    number(TAnnoKind::Label, "FONTBACKCOLOR", 8388863);
    number(TAnnoKind::Hilite, "BACKCOLOR", 0x0000FF);
    for (const TextFacts& t : kMenus)
        file.setValue(QStringLiteral("Menus"), QLatin1String(t.key), QString::fromUtf8(t.viewer));
    for (const TextFacts& t : kDialogs)
        file.setValue(QStringLiteral("Dialogs"), dialogKey(QLatin1String(t.key)), QString::fromUtf8(t.viewer));
    if (store)
        store->sync();
    file.save();
}
