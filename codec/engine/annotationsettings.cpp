#include "annotationsettings.h"

#include "annotationkinds.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>

namespace annotationsettings {

using annotation::Kind;

namespace {

constexpr std::size_t kMaxFileBytes = 1 << 20;
constexpr std::size_t kMaxText = 511;

using Ini = std::map<std::string, std::map<std::string, std::string>>;

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

std::string trimmed(const std::string& s)
{
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    const auto last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

Ini readIni(const std::string& path)
{
    Ini ini;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return ini;
    std::string line, section;
    std::size_t total = 0;
    while (std::getline(in, line)) {
        total += line.size() + 1;
        if (total > kMaxFileBytes)
            break;
        line = trimmed(line);
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            section = lower(trimmed(line.substr(1, line.size() - 2)));
            continue;
        }
        const auto eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        std::string value = trimmed(line.substr(eq + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.size() > kMaxText) {
            value.resize(kMaxText);
            while (!value.empty() && (static_cast<unsigned char>(value.back()) & 0xC0) == 0x80)
                value.pop_back();   // no half character at the cut
            if (!value.empty() && static_cast<unsigned char>(value.back()) >= 0xC0)
                value.pop_back();
        }
        ini[section][lower(trimmed(line.substr(0, eq)))] = value;
    }
    return ini;
}

class Reader {
public:
    explicit Reader(const Ini& ini) : ini_(ini) {}

    const std::string* find(const std::string& section, const std::string& key) const
    {
        const auto s = ini_.find(lower(section));
        if (s == ini_.end())
            return nullptr;
        const auto k = s->second.find(lower(key));
        return k == s->second.end() ? nullptr : &k->second;
    }
    long number(const std::string& section, const std::string& key, long fallback) const
    {
        const std::string* v = find(section, key);
        if (!v || v->empty())
            return fallback;
        char* end = nullptr;
        const long n = std::strtol(v->c_str(), &end, 10);
        return end && *end == 0 ? n : fallback;
    }
    std::string text(const std::string& section, const std::string& key, const std::string& fallback) const
    {
        const std::string* v = find(section, key);
        return v ? *v : fallback;
    }

private:
    const Ini& ini_;
};

using annotationkinds::KindFacts;
const auto& kFacts = annotationkinds::kKinds;

bool hasPen(Kind k)
{
    return k != Kind::Hilite && k != Kind::RubberStamp && k != Kind::Image;
}

bool hasFont(Kind k)
{
    return k == Kind::Notes || k == Kind::Label;
}

KindSettings kindSettings(const Reader& r, Kind kind)
{
    const KindFacts& f = kFacts[int(kind)];
    const std::string s = f.section;
    KindSettings k;
    annotation::Object& o = k.defaults;
    o.kind = kind;
    if (hasPen(kind)) {
        const long width = r.number(s, "PENWIDTH", 1);
        o.penWidth = width >= 2 && width <= 20 ? int(width) : 1;
        const long style = r.number(s, "PENSTYLE", 0);
        o.penStyle = style >= 1 && style <= 5 ? int(style) : 0;
        o.foreColor = std::uint32_t(r.number(s, "FORECOLOR", 0));
        o.opaque = r.number(s, "TRANSPARENT", f.transparent) == 2;
        const long hatch = r.number(s, "PATTERN", 100);
        o.hatch = hatch >= 0 && hatch <= 5 ? int(hatch) : annotation::kHatchSolid;
    }
    o.backColor = std::uint32_t(r.number(s, "BACKCOLOR", long(f.backColor)));
    if (hasFont(kind)) {
        o.fontColor = std::uint32_t(r.number(s, "FONTCOLOR", 0));
        o.fontBackColor = std::uint32_t(r.number(s, "FONTBACKCOLOR", long(f.backColor)));
        o.fontName = r.text(s, "FontName", "Arial");
        const long height = r.number(s, "FontHeight", 16);
        o.fontHeight = height >= 2 && height <= 210 ? int(height) : 1;
        o.text = r.text(s, "Text256", "Geben Sie den Text ein");
    }
    if (kind == Kind::RubberStamp) {
        o.text = f.name;
        o.foreColor = 0x0000FF;
        o.penWidth = 3;
    }
    k.menuEnabled = r.number(s, "Enabled", 1) == 1;
    k.name = kind == Kind::Rectangle ? f.name : r.text("Menus", f.menuKey, f.name);
    k.deleteText = r.text("Menus", f.deleteKey, "Entfernen");
    k.propertiesText = r.text(kind == Kind::RubberStamp ? "Dialogs" : "Menus", std::string(f.menuKey) + "Properties",
                              "Eigenschaften");
    return k;
}

}  // namespace

std::string Settings::menu(const char* key) const
{
    const auto it = menus.find(lower(key));
    return it == menus.end() ? std::string() : it->second;
}

std::string Settings::dialog(const char* key) const
{
    const auto it = dialogs.find(lower(key));
    return it == dialogs.end() ? std::string() : it->second;
}

std::string Settings::dialogLabels() const
{
    std::string labels;
    for (const auto& [key, text] : dialogs)
        labels += key + "=" + text + "\n";
    return labels;
}

Settings load(const std::string& path)
{
    const Ini ini = path.empty() ? Ini() : readIni(path);
    const Reader r(ini);
    Settings s;
    for (int i = 0; i < annotation::kKindCount; ++i)
        s.kinds[i] = kindSettings(r, Kind(i));
    for (const annotationkinds::TextFacts& t : annotationkinds::kMenuTexts)
        s.menus[lower(t.key)] = r.text("Menus", t.key, t.def);
    s.menus["new"] = "Neues Objekt ...";
    for (const annotationkinds::TextFacts& t : annotationkinds::kDialogTexts) {
        const std::string key = std::string(t.key) == "ImageStamp" ? "ImageStampFile" : t.key;
        s.dialogs[lower(t.key)] = r.text("Dialogs", key, t.def);
    }
    return s;
}

}  // namespace annotationsettings
