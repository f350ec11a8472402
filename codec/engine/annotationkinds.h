#pragma once
// The facts of the annotation settings file ("il_anno.ini") shared by the
// layer that reads it and the settings component that writes it: per
// object kind its section and menu keys, its menu name (default and the
// viewer's) and its background defaults; the general menu and dialog texts
// (key, default, the viewer's). Kinds in the order of the annotation file.

#include <cstdint>

namespace annotationkinds {

struct KindFacts {
    const char* section;
    const char* menuKey;
    const char* deleteKey;
    const char* name;
    const char* viewerName;
    std::uint32_t backColor;   // 0x00BBGGRR
    int transparent;           // stored default of "TRANSPARENT": 2 opaque
};

inline constexpr KindFacts kKinds[] = {
    {"PolyLine", "PolyLine", "DeletePolyline", "Verbundene Linien", "Verbundene Linien", 0xFFFFFF, 1},
    {"Ellipse", "Ellipse", "DeleteEllipse", "Ellipse", "Ellipse", 0xFFFFFF, 1},
    {"Rectangle", "Rectangle", "DeleteRectangle", "Rechteck", "Rechteck", 0xFFFFFF, 1},
    {"Polygon", "PolyGon", "DeletePolygon", "Polygon", "Polygon", 0xFFFFFF, 1},
    {"Pointer", "Pointer", "DeletePointer", "Pfeil", "Zeiger", 0xFFFFFF, 1},
    {"Notes", "Notes", "DeleteNotes", "Notiz", "Notiz", 0x00FFFF, 2},
    {"Label", "Label", "DeleteLabel", "Zettel", "Marke", 0x8000FF, 2},
    {"Line", "Line", "DeleteLine", "Linie", "Linie", 0xFFFFFF, 1},
    {"Hilite", "Hilite", "DeleteHilite", "Transparentes Rechteck", "Transparentes Rechteck", 0x0000FF, 1},
    {"RubberStamp", "RubberStamp", "DeleteRubberStamp", "Stempel", "Stempel", 0xFFFFFF, 1},
    {"FreeHand", "Freehand", "DeleteFreehand", "Freihändig", "Freihändig", 0xFFFFFF, 1},
    {"Image", "Image", "DeleteImage", "Image", "Bild", 0xFFFFFF, 1},
};

struct TextFacts {
    const char* key;
    const char* def;
    const char* viewer;
};

// Section "Menus".
inline constexpr TextFacts kMenuTexts[] = {
    {"LineMenu", "Linie...", "Linie..."},
    {"Fill", "Füllen...", "Füllen..."},
    {"ForegroundColor", "Vordergrundfarbe...", "Vordergrundfarbe..."},
    {"BackgroundColor", "Hintergrundfarbe...", "Hintergrundfarbe"},
    {"BringToFront", "Nach vorne", "Nach vorne"},
    {"SendToBack", "Nach hinten", "Nach hinten"},
    {"EditShape", "Form bearbeiten", "Form bearbeiten"},
    {"DeleteNode", "Knoten entfernen", "Knoten entfernen"},
    {"AddNode", "Neuer Knoten", "Neuer Knoten"},
    {"ViewIconic", "Ansicht als Icon", "Als Symbol"},
    {"Picture", "Bild...", "Bild"},
    {"TextMenu", "Text...", "Text..."},
    {"FontMenu", "Schfist...", "Schfift..."},
    {"Color", "Farbe...", "Farbe..."},
    {"FontBackgroundColor", "Schrift Hintergrundfarbe...", "Hintergrundfarbe..."},
    {"ChangeStamp", "Stempel ändern...", "Stempel ändern..."},
    {"OpenLabel", "Zettel öffnen", "Marke öffnen"},
    {"OpenNote", "Notiz öffnen", "Notiz öffnen"},
};

// Section "Dialogs" (the image stamp's key is "ImageStampFile").
inline constexpr TextFacts kDialogTexts[] = {
    {"LineDiag", "Linie", "Linie"},
    {"LineWidth", "Breite", "Breite"},
    {"LineStyle", "stil", "Stil"},
    {"OK", "OK", "OK"},
    {"Cancel", "Abbrechen", "Abbrechen"},
    {"Fill", "Füllen...", "Füllen..."},
    {"Mode", "Modus", "Modus"},
    {"Patterns", "Muster", "Muster"},
    {"Text", "Text", "Text"},
    {"LoadFromFile", "Aus Datei", "Öffnen..."},
    {"SaveToFile", "Speichern", "Speichern..."},
    {"Font", "Schrift...", "Schrift..."},
    {"CreateImageStamp", "Create Image Rubber Stamp", "Stempel erstellen"},
    {"StampName", "Stempel Name", "Stempel Name"},
    {"ImageStamp", "Image Stamp File", "Stempel aus Datei"},
    {"Browse", "Browse...", "Browse..."},
    {"Stamps", "Stamps", "Stempel"},
    {"StampText", "Stamp Text", "Text"},
    {"CreateText", "Create Text...", "Text erstellen ..."},
    {"CreateImage", "Create Image...", "Bild erstellen..."},
    {"Delete", "Entfernen", "Entfernen"},
    {"Edit", "Bearbeiten", "Bearbeiten"},
    {"CreateTextRubberStamp", "Create Text Rubber Stamp", "Text Stempel erstellen"},
    {"Date", "Datum", "Datum"},
    {"Time", "Uhrzeit", "Uhrzeit"},
};

}  // namespace annotationkinds
