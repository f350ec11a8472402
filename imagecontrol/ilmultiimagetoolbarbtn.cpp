#include "ilmultiimagetoolbarbtn.h"

namespace {

struct ButtonFacts {
    const char* suffix;
    const char* viewerHint;
    const char* defaultHint;
};

// In enumeration order.
const ButtonFacts kFacts[kEditorToolBarButtonCount] = {
    {"OPEN", "Bild öffnen...", "Open file"},
    {"SAVE", "Bild speichern...", "Save file"},
    {"BACK", "Vorheriges Bild anzeigen", "Previous picture"},
    {"NEXT", "Nächstes Bild anzeigen", "Next Picture"},
    {"PRINT", "Bild Drucken...", "Print file"},
    {"SCANPAGES", "Bild scannen", "Scan Image"},
    {"SELECTSCANNER", "Scanner auswählen", "Select Scanner"},
    {"PANZOOM", "Mit der Maus bewegen", "Toggle Panning Zooming"},
    {"ZOOMIN", "Zoom +++", "Zoom In"},
    {"ZOOMOUT", "Zoom ---", "Zoom out"},
    {"BESTFIT", "Bild anpassen", "Best Fit Image"},
    {"CENTER", "Bild zentrieren", "Center Image"},
    {"RESETZOOM", "Zoom zurücksetzen", "Reset Zoom"},
    {"CUT", "Ausschneiden", "Cut to Clipboard"},
    {"COPY", "Kopieren", "Copy to Clipboard"},
    {"PASTE", "Einfügen", "Paste from Clipboard"},
    {"UNDO", "Rückgängig", "Undo Image"},
    {"ANNOTEDIT", "Zum Anmerkung erstellen/bearbeiten umschalten", "Toggle Annotation mode"},
    {"RESIZE", "Bildgröße ändern", "Bildgröße ändern"},
    {"CHANGECOLOR", "Farbenanzahl ändern", "Farbenanzahl ändern"},
    {"INVERT", "Bild invertieren", "Invertieren"},
    {"ROTATE90", "Drehen 90º", "Drehen 90º"},
    {"ROTATE180", "Drehen 180º", "Drehen 180º"},
    {"EFFECTS", "Spezielle Effekte", "Effect Manager"},
    {"FIRSTPAGE", "Erste TIFF Seite", "First TIFF Page"},
    {"PRIORPAGE", "Vorherige TIFF Seite", "Prior TIFF Page"},
    {"NEXTPAGE", "Nächste TIFF Seite", "Next TIFF Page"},
    {"LASTPAGE", "Letzte TIFF Seite", "Last TIFF Page"},
    {"SHOWSEL", "Auswählen...", "Auswählen..."},
};

const ButtonFacts& factsOf(TILMultiImageToolBarBtn button)
{
    const int i = int(button);
    return kFacts[i >= 0 && i < kEditorToolBarButtonCount ? i : 0];
}

}  // namespace

namespace toolbarbuttons {

QString glyphSuffix(TILMultiImageToolBarBtn button)
{
    return QString::fromLatin1(factsOf(button).suffix);
}

QString defaultHint(TILMultiImageToolBarBtn button)
{
    return QString::fromUtf8(factsOf(button).defaultHint);
}

QStringList viewerHints()
{
    QStringList hints;
    for (int i = 0; i < kToolBarButtonCount; ++i)
        hints << QString::fromUtf8(kFacts[i].viewerHint);
    return hints;
}

bool isToggle(TILMultiImageToolBarBtn button)
{
    return button == ibPanZoom || button == ibBestFit || button == ibCenter || button == ibAnnotEdit
           || button == ibShowsel;
}

TILMultiImageToolBarBtns all()
{
    return TILMultiImageToolBarBtns().set().reset(ibShowsel);
}

QList<TILMultiImageToolBarBtn> stripOrder()
{
    QList<TILMultiImageToolBarBtn> order;
    for (int i = 0; i < kToolBarButtonCount; ++i) {
        order << TILMultiImageToolBarBtn(i);
        if (i == ibSelectScanner)
            order << ibShowsel;
    }
    return order;
}

}  // namespace toolbarbuttons
