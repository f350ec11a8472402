#include "effectpages.h"

#include "effects/effectcalls.h"
#include "redeye.h"

#include "platform/colors.h"

namespace {

using R = EffectRequest;

// The effect call on the request's rectangle.
#define RECT r.source, r.left, r.top, r.right, r.bottom
#define TAIL r.owner, r.progress

SliderSpec value(int min, int max, int start, const QString& label = QStringLiteral("Wert"))
{
    return SliderSpec{QStringLiteral("Value"), label, min, max, start, false, {}};
}

quint8 red(QRgb c)
{
    return quint8(qRed(c));
}
quint8 green(QRgb c)
{
    return quint8(qGreen(c));
}
quint8 blue(QRgb c)
{
    return quint8(qBlue(c));
}

const QString kSelectText = QStringLiteral("Wählen Sie ein Teil des Bildes oder alles und klicken Sie auf \"Vorschau\"");

GlobalHandle inPlace(R& r, bool changed)
{
    return changed ? r.source : nullptr;
}

GlobalHandle hueAndSaturation(R& r)
{
    const PageValues& v = r.values;
    const int colour = v.radio(QStringLiteral("Colour"));
    HueChannels ch;
    if (colour != 0) {
        ch = HueChannels{0, 0, 0, 0, 0, 0};
        // order of the radio buttons: all, red, yellow, green, magenta, blue, cyan
        qint16* flags[] = {nullptr, &ch.red, &ch.yellow, &ch.green, &ch.magenta, &ch.blue, &ch.cyan};
        *flags[colour] = 1;
    }
    const int hue = v.slider(QStringLiteral("Hue")) - (colour == 0 ? 180 : 60);
    const IspRect rect{r.left, r.top, r.right, r.bottom};
    const bool whole = r.right == 0 || r.bottom == 0;
    const bool ok = ilHueAndSaturation(r.source, ch, qint16(hue), qint16(v.slider(QStringLiteral("Saturation")) - 100),
                                       qint16(v.slider(QStringLiteral("Brightness")) - 100), whole ? nullptr : &rect,
                                       TAIL);
    return inPlace(r, ok);
}

GlobalHandle curl(R& r)
{
    const PageValues& v = r.values;
    CurlOptions o;
    o.backUsesBackground = v.radio(QStringLiteral("Back")) == 0;
    o.backUsesForeground = v.radio(QStringLiteral("Back")) == 1;
    o.keepPicture = v.check(QStringLiteral("Keep"));
    o.shadowUsesBackground = v.radio(QStringLiteral("Shadow")) == 0;
    o.shadowUsesForeground = v.radio(QStringLiteral("Shadow")) == 1;
    o.shadowTransparency = v.slider(QStringLiteral("Transparency")) / 4.0;
    o.shadeUnder = v.check(QStringLiteral("ShadeUnder"));
    const int corner = v.radio(QStringLiteral("Position"));   // top right, top left, bottom left, bottom right
    o.rightTop = corner == 0;
    o.leftTop = corner == 1;
    o.leftBottom = corner == 2;
    o.rightBottom = corner == 3;
    o.horizontal = v.radio(QStringLiteral("Direction")) == 0;
    o.vertical = v.radio(QStringLiteral("Direction")) == 1;
    o.foreRed = red(v.foreground), o.foreGreen = green(v.foreground), o.foreBlue = blue(v.foreground);
    o.backRed = red(v.background), o.backGreen = green(v.background), o.backBlue = blue(v.background);
    return Curl(RECT, o, TAIL);
}

GlobalHandle mosaic(R& r)
{
    const PageValues& v = r.values;
    return Mosaic(RECT, v.slider(QStringLiteral("Size")), v.slider(QStringLiteral("Height")),
                  v.slider(QStringLiteral("Space")), v.slider(QStringLiteral("Light")),
                  v.slider(QStringLiteral("Factor")), v.check(QStringLiteral("AntiAlias")),
                  v.radio(QStringLiteral("Polygon")) == 1 ? 1 : 0, v.radio(QStringLiteral("Smooth")) == 0 ? 1 : 0,
                  blue(v.background), green(v.background), red(v.background), blue(v.foreground),
                  green(v.foreground), red(v.foreground), TAIL);
}

GlobalHandle colourDepth(R& r)
{
    const PageValues& v = r.values;
    if (v.check(QStringLiteral("TrueColour")))
        return IncreaseDepth(r.source, 24);
    static const TSortDither dithers[] = {IL_BAYER, IL_BURKES, IL_FLOYD, IL_GRAYSCALE};
    const GlobalHandle result = ILReduceColors(r.source, v.slider(QStringLiteral("Count")),
                                               dithers[v.radio(QStringLiteral("Dither")) & 3]);
    r.source = nullptr;   // taken by the call
    return result;
}

GlobalHandle redEyes(R& r)
{
    const PageValues& v = r.values;
    RedEyeOptions o;
    o.strength = v.slider(QStringLiteral("Strength"));
    o.tolerance = v.slider(QStringLiteral("Tolerance"));
    o.useColour = v.check(QStringLiteral("UseColour"));
    o.colour = v.redEyeColour;
    return RedEyeCorrection(r.source, r.left, r.top, r.right, r.bottom, o);
}

std::vector<PageSpec> makePages()
{
    std::vector<PageSpec> p;
    auto add = [&](PageSpec s) { p.push_back(std::move(s)); };
    const QString t = QStringLiteral("Wert");

    add({QStringLiteral("AutoKontrast"), QStringLiteral("AutoContrast"), true, false, kSelectText,
         QStringLiteral("Auto_Contrast"), true, {}, {}, {}, false, false,
         [](R& r) { return AutoContrast(RECT, TAIL); }});
    add({QStringLiteral("Blühten"), QStringLiteral("Bleed"), true, false, {}, {}, false, {value(-255, 255, 0)}, {}, {},
         false, false, [](R& r) { return Bled(RECT, r.values.slider(QStringLiteral("Value")), TAIL); }});
    add({QStringLiteral("Ränder"), QStringLiteral("Borders"), true, false, {}, {}, false,
         {SliderSpec{QStringLiteral("Border"), QStringLiteral("Rand"), 1, 1000, 1, false, QStringLiteral("0")}},
         {CheckSpec{QStringLiteral("OwnColour"), QStringLiteral("Die Farbe des Bildes benutzen oder"), true}}, {}, true,
         false, [](R& r) {
             const PageValues& v = r.values;
             const QRgb c = v.check(QStringLiteral("OwnColour")) ? v.windowColour : v.background;
             return FadeDib(RECT, v.slider(QStringLiteral("Border")), qRed(c), qGreen(c), qBlue(c), TAIL);
         }});
    add({QStringLiteral("Verwischen"), QStringLiteral("Blur"), true, false, {}, {}, false, {value(1, 100, 1)}, {}, {},
         false, false, [](R& r) { return Blur(RECT, r.values.slider(QStringLiteral("Value")), TAIL); }});
    add({QStringLiteral("Heller"), QStringLiteral("Bright"), false, false, {}, {}, false, {value(0, 255, 0)}, {}, {},
         false, false, [](R& r) { return ILBrightness(r.source, r.values.slider(QStringLiteral("Value"))); }});
    add({QStringLiteral("Farbenart"), QStringLiteral("Colour"), false, false, {}, {}, false,
         {SliderSpec{QStringLiteral("Count"), QStringLiteral("Anzahl von Farben"), 1, 255, 255, false, {}}},
         {CheckSpec{QStringLiteral("TrueColour"), QStringLiteral("16 Millionen Farben"), false}},
         {RadioSpec{QStringLiteral("Dither"), QStringLiteral("Dithering Farbemethode"),
                    {QStringLiteral("Bayer"), QStringLiteral("Burkes"), QStringLiteral("Floyed"),
                     QStringLiteral("GrayScale")},
                    0, {}}},
         false, false, colourDepth});
    add({QStringLiteral("Farbpalette"), QStringLiteral("Palette"), false, false, {}, {}, false, {}, {}, {}, false, false,
         nullptr});
    add({QStringLiteral("Dunkeler"), QStringLiteral("Dark"), false, false, {}, {}, false, {value(0, 255, 0)}, {}, {},
         false, false, [](R& r) { return ILBrightness(r.source, -r.values.slider(QStringLiteral("Value"))); }});
    add({QStringLiteral("Unscharf"), QStringLiteral("Despeckle"), false, false, {}, {}, false, {value(0, 100, 0)}, {},
         {}, false, false, [](R& r) { return PixelFix(RECT, r.values.slider(QStringLiteral("Value")), TAIL); }});
    add({QStringLiteral("Relief"), QStringLiteral("Edge"), true, false, {}, {}, false, {value(1, 100, 1)}, {}, {},
         false, false, [](R& r) { return Edge(RECT, r.values.slider(QStringLiteral("Value")), TAIL); }});
    add({QStringLiteral("Strichbild"), QStringLiteral("Engrave"), true, false, {}, {}, false, {value(1, 10, 1)}, {},
         {}, false, false, [](R& r) { return Engrave(RECT, r.values.slider(QStringLiteral("Value")), TAIL); }});
    add({QStringLiteral("Verbessern"), QStringLiteral("Enhance"), true, false, {}, {}, false,
         {SliderSpec{QStringLiteral("GammaRed"), QStringLiteral("Gamma Rot"), 1, 255, 10, false, {}},
          SliderSpec{QStringLiteral("GammaGreen"), QStringLiteral("Gamma Grün"), 1, 255, 10, false, {}},
          SliderSpec{QStringLiteral("GammaBlue"), QStringLiteral("Gamma Blau"), 1, 255, 10, false, {}},
          SliderSpec{QStringLiteral("Brightness"), QStringLiteral("Helligkeit"), -255, 255, 0, false, {}},
          SliderSpec{QStringLiteral("Contrast"), QStringLiteral("Kontrast"), -255, 255, 0, false, {}}},
         {}, {}, false, false, [](R& r) {
             const PageValues& v = r.values;
             return Enhance(RECT, v.slider(QStringLiteral("Brightness")), v.slider(QStringLiteral("Contrast")),
                            v.slider(QStringLiteral("GammaBlue")), v.slider(QStringLiteral("GammaGreen")),
                            v.slider(QStringLiteral("GammaRed")), TAIL);
         }});
    add({QStringLiteral("Maschen"), QStringLiteral("Extrude"), false, true, {}, {}, false, {value(1, 50, 1)},
         {CheckSpec{QStringLiteral("Levels"), QStringLiteral("Stufen"), true}}, {}, false, false, [](R& r) {
             return ExtrudeDib(r.source, r.values.check(QStringLiteral("Levels")),
                               r.values.slider(QStringLiteral("Value")), TAIL);
         }});
    add({QStringLiteral("Gamma"), QStringLiteral("Gamma"), false, false, {}, {}, false, {value(10, 50, 10)}, {}, {},
         false, false, [](R& r) { return ILGamma(r.source, r.values.slider(QStringLiteral("Value"))); }});
    add({QStringLiteral("Graustufen"), QStringLiteral("GrayArea"), true, false, kSelectText,
         QStringLiteral("Gray_Area"), true, {}, {}, {}, false, false, [](R& r) { return GrayArea(RECT, TAIL); }});
    add({QStringLiteral("Rasterbild"), QStringLiteral("HalfTone"), false, false, {}, {}, false,
         {SliderSpec{QStringLiteral("Angle"), QStringLiteral("Winkel"), 0, 1800, 450, true, {}},
          SliderSpec{QStringLiteral("Cell"), QStringLiteral("Zellengröße"), 1, 100, 4, false, {}}},
         {},
         {RadioSpec{QStringLiteral("Shape"), QStringLiteral("Form"),
                    {QStringLiteral("Kreis"), QStringLiteral("Ellips"), QStringLiteral("Quadrat"),
                     QStringLiteral("Diamant"), QStringLiteral("Linie"), QStringLiteral("Kreuz")},
                    5, {}}},
         false, false, [](R& r) {
             const PageValues& v = r.values;
             return HToneImage(r.source, v.slider(QStringLiteral("Cell")), float(v.slider(QStringLiteral("Angle")) / 10.0),
                               v.radio(QStringLiteral("Shape")), TAIL);
         }});
    add({QStringLiteral("Farbton und Sättigung"), QStringLiteral("Hue"), true, false, {}, {}, false,
         {SliderSpec{QStringLiteral("Hue"), QStringLiteral("Farbstich"), 0, 360, 180, false, {}},
          SliderSpec{QStringLiteral("Saturation"), QStringLiteral("Sättigung"), 0, 200, 100, false, {}},
          SliderSpec{QStringLiteral("Brightness"), QStringLiteral("Helligkeit"), 0, 200, 100, false, {}}},
         {},
         {RadioSpec{QStringLiteral("Colour"), QStringLiteral(" Farbe "),
                    {QStringLiteral("Alle Farben"), QStringLiteral("Rot"), QStringLiteral("Gelb"),
                     QStringLiteral("Grün"), QStringLiteral("Magenta"), QStringLiteral("Blau"), QStringLiteral("Cyan")},
                    0, {}}},
         false, false, hueAndSaturation});
    add({QStringLiteral("Invertieren"), QStringLiteral("Invert"), false, false, kSelectText, QStringLiteral("Invert"),
         true, {}, {}, {}, false, false, [](R& r) { return inPlace(r, ILInvert(r.source)); }});
    add({QStringLiteral("Rütteln"), QStringLiteral("Jiggle"), true, false, {}, {}, false,
         {SliderSpec{QStringLiteral("Period"), QStringLiteral("Periode"), 1, 100, 1, false, {}},
          SliderSpec{QStringLiteral("Amplitude"), QStringLiteral("Amplitude"), 1, 360, 10, false, {}}},
         {}, {RadioSpec{QStringLiteral("Form"), QStringLiteral("Form"), {QStringLiteral("Sinus"), QStringLiteral("Dreieck")}, 0, {}}},
         false, false, [](R& r) {
             const PageValues& v = r.values;
             return Jiggle(RECT, v.slider(QStringLiteral("Period")), v.slider(QStringLiteral("Amplitude")),
                           qint16(v.radio(QStringLiteral("Form")) == 1 ? 1 : 0), TAIL);
         }});
    add({QStringLiteral("Spiegeln"), QStringLiteral("Mirror"), false, false, {}, {}, false, {},
         {CheckSpec{QStringLiteral("Vertical"), QStringLiteral("Senkrecht"), false},
          CheckSpec{QStringLiteral("Horizontal"), QStringLiteral("Horizontal"), false}},
         {}, false, false, [](R& r) {
             return ILMirror(r.source, r.values.check(QStringLiteral("Vertical")),
                             r.values.check(QStringLiteral("Horizontal")));
         }});
    add({QStringLiteral("Mosaik"), QStringLiteral("Mosaic"), true, false, {}, {}, false,
         {SliderSpec{QStringLiteral("Size"), QStringLiteral("Größe"), 1, 1000, 150, false, {}},
          SliderSpec{QStringLiteral("Height"), QStringLiteral("Height"), 1, 1000, 30, false, {}},
          SliderSpec{QStringLiteral("Space"), QStringLiteral("Raum"), 0, 100, 10, false, {}},
          SliderSpec{QStringLiteral("Light"), QStringLiteral("Licht"), -360, 360, 40, false, {}},
          SliderSpec{QStringLiteral("Factor"), QStringLiteral("Faktor"), 0, 5, 1, false, {}}},
         {CheckSpec{QStringLiteral("AntiAlias"), QStringLiteral("Anti-Aliasing"), true}},
         {RadioSpec{QStringLiteral("Polygon"), QStringLiteral("Polygone"), {QString(), QString()}, 0,
                    {QStringLiteral("Polygone"), QStringLiteral("Quadrat")}},
          RadioSpec{QStringLiteral("Smooth"), QStringLiteral("Glätten"), {QString(), QString()}, 0,
                    {QStringLiteral("Glätten"), QStringLiteral("Rauh")}}},
         true, true, mosaic});
    add({QStringLiteral("Bewegung"), QStringLiteral("Motion"), false, false, {}, {}, false,
         {value(1, 500, 10), SliderSpec{QStringLiteral("Angle"), QStringLiteral("Winkel"), 1, 360, 10, false, {}}},
         {},
         {RadioSpec{QStringLiteral("Kind"), QString(),
                    {QStringLiteral("Zoomem"), QStringLiteral("Drehen"), QStringLiteral("Motion Line")}, 0, {}}},
         false, false, [](R& r) {
             const PageValues& v = r.values;
             return Motion(RECT, v.slider(QStringLiteral("Value")), v.slider(QStringLiteral("Angle")),
                           qint16(v.radio(QStringLiteral("Kind")) + 1), TAIL);
         }});
    add({QStringLiteral("Rauschen"), QStringLiteral("Noise"), true, false, {}, {}, false,
         {SliderSpec{QStringLiteral("Red"), QStringLiteral("Rot"), 0, 255, 20, false, {}},
          SliderSpec{QStringLiteral("Green"), QStringLiteral("Grün"), 0, 255, 20, false, {}},
          SliderSpec{QStringLiteral("Blue"), QStringLiteral("Blau"), 0, 255, 20, false, {}}},
         {CheckSpec{QStringLiteral("Grey"), QStringLiteral("Grau Pixels verwenden"), false}},
         {RadioSpec{QStringLiteral("Method"), QStringLiteral("Methode"), {QStringLiteral("Gauss"), QStringLiteral("Uniform")}, 0, {}}},
         false, false, [](R& r) {
             const PageValues& v = r.values;
             return Noise(RECT, v.radio(QStringLiteral("Method")) == 0, v.check(QStringLiteral("Grey")),
                          v.slider(QStringLiteral("Red")), v.slider(QStringLiteral("Green")),
                          v.slider(QStringLiteral("Blue")), TAIL);
         }});
    add({QStringLiteral("Öll Farben"), QStringLiteral("OilPaint"), true, false, {}, {}, false, {value(0, 50, 1)}, {},
         {}, false, false, [](R& r) { return OilPainting(RECT, r.values.slider(QStringLiteral("Value")), TAIL); }});
    add({QStringLiteral("Seitenlocke"), QStringLiteral("Curl"), true, false, {}, {}, false,
         {SliderSpec{QStringLiteral("Transparency"), QStringLiteral("Transparenter Schatten"), 0, 4, 4, false, {}}},
         {CheckSpec{QStringLiteral("Keep"), QStringLiteral("Bild unter der Locke behalten"), false},
          CheckSpec{QStringLiteral("ShadeUnder"), QStringLiteral("Schatten unter d. Locke"), true}},
         {RadioSpec{QStringLiteral("Shadow"), QStringLiteral("Schatten"),
                    {QStringLiteral("Hintergrungfarbe"), QStringLiteral("Vordergrundfarbe ")}, 1, {}},
          RadioSpec{QStringLiteral("Back"), QStringLiteral("Hintergrund"),
                    {QStringLiteral("Hintergrungfarbe verwenden"), QStringLiteral("Vordergrundfarbe verwenden")}, 0, {}},
          RadioSpec{QStringLiteral("Direction"), QStringLiteral("Richtung"),
                    {QStringLiteral("Horizonal"), QStringLiteral("Senkrecht")}, 0, {}},
          RadioSpec{QStringLiteral("Position"), QStringLiteral("Position"),
                    {QStringLiteral("Oben rechts "), QStringLiteral("Oben links"), QStringLiteral("Unten links"),
                     QStringLiteral("Unten rechts ")},
                    1, {}}},
         true, true, curl});
    add({QStringLiteral("Image einfügen"), QStringLiteral("Paste"), true, false, {}, {}, false, {}, {}, {}, false, false,
         nullptr});
    add({QStringLiteral("Kneifenloch"), QStringLiteral("PinchHole"), true, false, {}, {}, false, {value(-20, 0, 0)}, {},
         {}, false, false, [](R& r) { return PinchHole(RECT, double(r.values.slider(QStringLiteral("Value"))), TAIL); }});
    add({QStringLiteral("Polar"), QStringLiteral("Polar"), true, false, {}, {}, false,
         {SliderSpec{QStringLiteral("Value"), t, 0, 500, 1, false, QStringLiteral("0")},
          SliderSpec{QStringLiteral("Angle"), QStringLiteral("Winkel"), 0, 360, 1, false, QStringLiteral("0")}},
         {CheckSpec{QStringLiteral("Invert"), QStringLiteral("Invertieren"), false},
          CheckSpec{QStringLiteral("Backwards"), QStringLiteral("Rückwärts"), false}},
         {}, false, false, [](R& r) {
             const PageValues& v = r.values;
             return RecToPolar(RECT, v.slider(QStringLiteral("Value")), v.slider(QStringLiteral("Angle")),
                               v.check(QStringLiteral("Invert")), v.check(QStringLiteral("Backwards")), TAIL);
         }});
    add({QStringLiteral("Rotieren"), QStringLiteral("Rotate"), false, false, {}, {}, false,
         {SliderSpec{QStringLiteral("Angle"), QStringLiteral("Winkel"), -1800, 1800, 0, true, {}}}, {}, {}, true, false,
         [](R& r) {
             const qint32 back = colors::fromQColor(QColor(r.values.background));
             return inPlace(r, ILRotate(r.source, r.left, r.top, r.right, r.bottom,
                                        r.values.slider(QStringLiteral("Angle")) / 10.0, back));
         }});
    add({QStringLiteral("Schärfe"), QStringLiteral("Sharp"), true, false, {}, {}, false, {value(0, 9, 0)}, {}, {},
         false, false, [](R& r) { return Better(RECT, r.values.slider(QStringLiteral("Value")), TAIL); }});
    add({QStringLiteral("Soft"), QStringLiteral("Soft"), true, false, {}, {}, false, {value(0, 9, 0)}, {}, {}, false,
         false, [](R& r) { return Better(RECT, -r.values.slider(QStringLiteral("Value")), TAIL); }});
    add({QStringLiteral("Gischt"), QStringLiteral("Spray"), true, false, {}, {}, false,
         {value(0, 100, 0), SliderSpec{QStringLiteral("Factor"), QStringLiteral("Faktor"), 1, 360, 1, false, {}}}, {},
         {}, false, false, [](R& r) {
             return Spray(RECT, r.values.slider(QStringLiteral("Value")), r.values.slider(QStringLiteral("Factor")),
                          TAIL);
         }});
    add({QStringLiteral("Vervielfältigen"), QStringLiteral("Tile"), false, false,
         QStringLiteral("Klicken Sie auf \"Vorschau\", um den Vorgang durch zu führen"), QStringLiteral("Tile_Maker"),
         true, {}, {}, {}, false, false, [](R& r) { return TileDib(r.source, TAIL); }});
    add({QStringLiteral("Schwelle"), QStringLiteral("Threshold"), true, false, {}, {}, false, {value(0, 255, 120)},
         {CheckSpec{QStringLiteral("AntiAlias"), QStringLiteral("Anti Alialsing"), true}}, {}, false, false, [](R& r) {
             return ThresholdDib(RECT, r.values.slider(QStringLiteral("Value")),
                                 r.values.check(QStringLiteral("AntiAlias")), TAIL);
         }});
    add({QStringLiteral("Warp"), QStringLiteral("Warp"), false, false, {}, {}, false,
         {SliderSpec{QStringLiteral("Scale"), QStringLiteral("Maßstab"), 1, 200, 20, false, {}},
          SliderSpec{QStringLiteral("Rotation"), QStringLiteral("Vector rotieren"), 0, 360, 90, false, {}},
          SliderSpec{QStringLiteral("Steps"), QStringLiteral("Schritten"), 1, 200, 4, false, {}},
          SliderSpec{QStringLiteral("Displacement"), QStringLiteral("Skalierung versetzen"), 1, 200, 10, false, {}}},
         {CheckSpec{QStringLiteral("ToHue"), QStringLiteral("RGB zum Farbstich"), true},
          CheckSpec{QStringLiteral("ToSaturation"), QStringLiteral("RGB zur Sättigung"), true},
          CheckSpec{QStringLiteral("Convolve"), QStringLiteral("Wühl-Bewegung"), true}},
         {}, false, false, [](R& r) {
             const PageValues& v = r.values;
             return Warp(r.source, v.check(QStringLiteral("ToHue")), v.check(QStringLiteral("ToSaturation")),
                         v.check(QStringLiteral("Convolve")), v.slider(QStringLiteral("Scale")),
                         v.slider(QStringLiteral("Rotation")), v.slider(QStringLiteral("Steps")),
                         v.slider(QStringLiteral("Displacement")), r.owner, r.progress, r.frame);
         }});
    add({QStringLiteral("Welle"), QStringLiteral("Wave"), true, false, {}, {}, false,
         {SliderSpec{QStringLiteral("Amplitude"), QStringLiteral("Amplitude"), 0, 2000, 50, true, {}},
          SliderSpec{QStringLiteral("Length"), QStringLiteral("Wellenlänge"), 0, 200, 20, false, {}},
          SliderSpec{QStringLiteral("Phase"), QStringLiteral("Phase"), 1, 3600, 1, true, QStringLiteral("0")}},
         {CheckSpec{QStringLiteral("Reflection"), QStringLiteral("Spiegelung zu Wellen hinzufügen"), false},
          CheckSpec{QStringLiteral("Smear"), QStringLiteral("Fleckwellen"), true}},
         {}, false, false, [](R& r) {
             const PageValues& v = r.values;
             // the library takes the raw positions, although the fields show tenths
             return Wave(RECT, double(v.slider(QStringLiteral("Amplitude"))), v.slider(QStringLiteral("Length")),
                         double(v.slider(QStringLiteral("Phase"))), v.check(QStringLiteral("Smear")),
                         v.check(QStringLiteral("Reflection")), TAIL);
         }});
    add({QStringLiteral("Strudel"), QStringLiteral("Whirl"), true, false, {}, {}, false, {value(0, 3000, 0)}, {}, {},
         false, false, [](R& r) { return Whirl(RECT, double(r.values.slider(QStringLiteral("Value"))), TAIL); }});
    add({QStringLiteral("Rote Augen"), QStringLiteral("RedEyes"), true, false,
         QStringLiteral("Achten  Sie darauf, daß die Wirkung von der Größe des ausgewählten Bereiches abhängig ist."),
         {}, true,
         {SliderSpec{QStringLiteral("Strength"), QStringLiteral("Stärke"), 1, 100, 30, false, {}},
          SliderSpec{QStringLiteral("Tolerance"), QStringLiteral("Toleranz"), 1, 100, 30, false, {}}},
         {CheckSpec{QStringLiteral("UseColour"), QStringLiteral("Diese Farbe verwenden"), false},
          CheckSpec{QStringLiteral("UseAverage"), QStringLiteral("Farbmittelwert verwenden"), false}},
         {}, false, false, redEyes});
    return p;
}

#undef RECT
#undef TAIL

}  // namespace

int PageValues::slider(const QString& key) const
{
    const auto it = sliders.find(key);
    return it == sliders.end() ? 0 : it->second;
}

bool PageValues::check(const QString& key) const
{
    const auto it = checks.find(key);
    return it != checks.end() && it->second;
}

int PageValues::radio(const QString& key) const
{
    const auto it = radios.find(key);
    return it == radios.end() ? 0 : it->second;
}

namespace effectpages {

const std::vector<PageSpec>& pages()
{
    static const std::vector<PageSpec> table = makePages();
    return table;
}

const PageSpec* find(const QString& caption)
{
    for (const PageSpec& p : pages())
        if (p.caption == caption)
            return &p;
    return nullptr;
}

QString helpTopic(int index)
{
    static const char* const topics[] = {
        "",          "Bleed",       "Borders",       "Border_Fade", "Blur",          "Bright",       "Color",
        "Color_Palette", "Dark",    "Despeckle",     "Edge_Detection", "Engrave",    "Enhance",      "Extrude",
        "Gamma",     "Gray_Area",   "Half_Tone",     "Hue_and_Saturation", "Invert", "Jiggle",       "Mirror",
        "Mosaic",    "Motion_Blur", "Noise_Effect",  "Oil_Paint",   "Page_Curl",     "Paste_Image",  "Pinch_Hole",
        "Polar",     "Rotate",      "Sharp",         "Soft",        "Spray",         "Tile_Maker",   "Threshold",
        "Transitions", "Warp",      "Wave"};
    if (index < 0 || index >= int(std::size(topics)))
        return {};
    return QString::fromLatin1(topics[index]);
}

QString componentName(const char* prefix, const PageSpec& page, const QString& key, int index)
{
    QString name = QLatin1String(prefix) + page.id + key;
    if (index >= 0)
        name += QString::number(index);
    return name;
}

PageValues startValues(const PageSpec& page)
{
    PageValues v;
    for (const SliderSpec& s : page.sliders)
        v.sliders[s.key] = s.start;
    for (const CheckSpec& c : page.checks)
        v.checks[c.key] = c.checked;
    for (const RadioSpec& r : page.radios)
        v.radios[r.key] = r.selected;
    return v;
}

}  // namespace effectpages
