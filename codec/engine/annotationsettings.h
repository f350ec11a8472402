#pragma once
// The annotation settings file ("il_anno.ini"): the menu and dialog texts
// and the default attributes of each object kind. Sections in brackets,
// key=value lines, names compared without case, numbers as decimal text,
// texts UTF-8 (cut to 511 bytes). A missing or unreadable file, section or
// key gives the default; values are kept within their ranges.

#include <cstdint>
#include <map>
#include <string>

#include "annotationobject.h"

namespace annotationsettings {

struct KindSettings {
    annotation::Object defaults;    // attributes a new object starts with
    bool menuEnabled = true;
    std::string name;               // menu name
    std::string deleteText;
    std::string propertiesText;
};

struct Settings {
    KindSettings kinds[annotation::kKindCount];
    // The "Menus" and "Dialogs" texts by key (lower case), defaults filled in.
    std::map<std::string, std::string> menus;
    std::map<std::string, std::string> dialogs;

    const KindSettings& of(annotation::Kind kind) const { return kinds[int(kind)]; }
    std::string menu(const char* key) const;
    std::string dialog(const char* key) const;
    // The dialog texts as "key=text" lines.
    std::string dialogLabels() const;
};

// The settings of the file at path (defaults for whatever it lacks).
Settings load(const std::string& path);

}  // namespace annotationsettings
