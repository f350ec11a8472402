// The effects dialog's pages against the effect calls, red-eye correction,
// palette files and remapping.

#include "../dibfixtures.h"
#include "tst_effectdialog.h"

#include "codec/binding/dibconvert.h"
#include "codec/binding/errorinvalid.h"
#include "dibcore/dibcore.h"
#include "effects/dialog/effectpages.h"
#include "effects/dialog/palettefile.h"
#include "effects/dialog/redeye.h"
#include "effects/effectcalls.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace fixtures;

namespace {

constexpr int L = 10, T = 8, R = 50, B = 40;

// The page's call on a copy of the picture, as the dialog makes it.
GlobalHandle runPage(const QString& caption, GlobalHandle picture, PageValues values)
{
    const PageSpec* page = effectpages::find(caption);
    if (!page || !page->run)
        return nullptr;
    EffectRequest r;
    r.source = dibcore::copyBlock(picture);
    r.left = L, r.top = T, r.right = R, r.bottom = B;
    r.values = std::move(values);
    const GlobalHandle result = page->run(r);
    if (r.source != result)
        FreeDIB(r.source);
    return result;
}

GlobalHandle copyOf(GlobalHandle h)
{
    return dibcore::copyBlock(h);
}

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(data), data.size());
}

// The palette file a user would expect for the colours, built by hand.
QByteArray expectedFile(const PaletteEntries& p, int n)
{
    QByteArray d;
    d.append(char(19));
    d.append("korvane 30 palettes");
    d.append(char(0));
    d.append(char(n & 0xff));
    d.append(char(n >> 8));
    for (int i = 0; i < 256; ++i) {
        if (i < n)
            d.append(char(p[size_t(i)].red)).append(char(p[size_t(i)].green)).append(char(p[size_t(i)].blue)).append(char(0));
        else
            d.append(QByteArray(4, '\0'));
    }
    return d;
}

}  // namespace

void TestEffectDialog::initTestCase()
{
    QVERIFY(effectpages::pages().size() == size_t(effectpages::kPageCount));
}

// Each page hands its values and the rectangle to its call: the picture it
// gives is the one the call gives for the arguments the page promises.
void TestEffectDialog::pagesCallTheirEffects_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QVariantMap>("values");
    QTest::addColumn<int>("call");
    const auto v = [](std::initializer_list<std::pair<const char*, QVariant>> l) {
        QVariantMap m;
        for (const auto& [k, x] : l)
            m.insert(QLatin1String(k), x);
        return m;
    };
    int i = 0;
    QTest::newRow("AutoKontrast") << QStringLiteral("AutoKontrast") << v({}) << i++;
    QTest::newRow("Blühten") << QStringLiteral("Blühten") << v({{"s:Value", -77}}) << i++;
    QTest::newRow("Ränder own colour") << QStringLiteral("Ränder") << v({{"s:Border", 5}}) << i++;
    QTest::newRow("Ränder background") << QStringLiteral("Ränder") << v({{"s:Border", 6}, {"c:OwnColour", false}}) << i++;
    QTest::newRow("Verwischen") << QStringLiteral("Verwischen") << v({{"s:Value", 7}}) << i++;
    QTest::newRow("Heller") << QStringLiteral("Heller") << v({{"s:Value", 40}}) << i++;
    QTest::newRow("Farbenart") << QStringLiteral("Farbenart") << v({{"s:Count", 16}, {"r:Dither", 2}}) << i++;
    QTest::newRow("Dunkeler") << QStringLiteral("Dunkeler") << v({{"s:Value", 40}}) << i++;
    QTest::newRow("Unscharf") << QStringLiteral("Unscharf") << v({{"s:Value", 3}}) << i++;
    QTest::newRow("Relief") << QStringLiteral("Relief") << v({{"s:Value", 4}}) << i++;
    QTest::newRow("Strichbild") << QStringLiteral("Strichbild") << v({{"s:Value", 3}}) << i++;
    QTest::newRow("Verbessern") << QStringLiteral("Verbessern")
                                << v({{"s:GammaRed", 12}, {"s:GammaGreen", 9}, {"s:GammaBlue", 14},
                                      {"s:Brightness", 20}, {"s:Contrast", -30}})
                                << i++;
    QTest::newRow("Maschen") << QStringLiteral("Maschen") << v({{"s:Value", 6}, {"c:Levels", false}}) << i++;
    QTest::newRow("Gamma") << QStringLiteral("Gamma") << v({{"s:Value", 25}}) << i++;
    QTest::newRow("Graustufen") << QStringLiteral("Graustufen") << v({}) << i++;
    QTest::newRow("Rasterbild") << QStringLiteral("Rasterbild") << v({{"s:Angle", 300}, {"s:Cell", 5}, {"r:Shape", 2}}) << i++;
    QTest::newRow("Farbton Rot") << QStringLiteral("Farbton und Sättigung")
                                 << v({{"s:Hue", 80}, {"s:Saturation", 150}, {"s:Brightness", 90}, {"r:Colour", 1}}) << i++;
    QTest::newRow("Farbton alle") << QStringLiteral("Farbton und Sättigung") << v({{"s:Hue", 200}}) << i++;
    QTest::newRow("Invertieren") << QStringLiteral("Invertieren") << v({}) << i++;
    QTest::newRow("Rütteln") << QStringLiteral("Rütteln") << v({{"s:Period", 5}, {"s:Amplitude", 7}, {"r:Form", 1}}) << i++;
    QTest::newRow("Spiegeln") << QStringLiteral("Spiegeln") << v({{"c:Vertical", true}}) << i++;
    QTest::newRow("Mosaik") << QStringLiteral("Mosaik")
                            << v({{"s:Size", 12}, {"s:Height", 6}, {"s:Space", 2}, {"s:Light", 30}, {"s:Factor", 2},
                                  {"r:Polygon", 1}, {"r:Smooth", 1}, {"c:AntiAlias", false}})
                            << i++;
    QTest::newRow("Bewegung") << QStringLiteral("Bewegung") << v({{"s:Value", 5}, {"s:Angle", 30}, {"r:Kind", 2}}) << i++;
    QTest::newRow("Rauschen") << QStringLiteral("Rauschen")
                              << v({{"s:Red", 10}, {"s:Green", 20}, {"s:Blue", 30}, {"r:Method", 1}, {"c:Grey", true}}) << i++;
    QTest::newRow("Öll Farben") << QStringLiteral("Öll Farben") << v({{"s:Value", 3}}) << i++;
    QTest::newRow("Seitenlocke") << QStringLiteral("Seitenlocke")
                                 << v({{"r:Position", 3}, {"r:Direction", 1}, {"s:Transparency", 2}, {"c:Keep", true}}) << i++;
    QTest::newRow("Kneifenloch") << QStringLiteral("Kneifenloch") << v({{"s:Value", -8}}) << i++;
    QTest::newRow("Polar") << QStringLiteral("Polar") << v({{"s:Value", 40}, {"s:Angle", 20}, {"c:Invert", true}}) << i++;
    QTest::newRow("Rotieren") << QStringLiteral("Rotieren") << v({{"s:Angle", 155}}) << i++;
    QTest::newRow("Schärfe") << QStringLiteral("Schärfe") << v({{"s:Value", 3}}) << i++;
    QTest::newRow("Soft") << QStringLiteral("Soft") << v({{"s:Value", 3}}) << i++;
    QTest::newRow("Gischt") << QStringLiteral("Gischt") << v({{"s:Value", 5}, {"s:Factor", 9}}) << i++;
    QTest::newRow("Vervielfältigen") << QStringLiteral("Vervielfältigen") << v({}) << i++;
    QTest::newRow("Schwelle") << QStringLiteral("Schwelle") << v({{"s:Value", 90}, {"c:AntiAlias", false}}) << i++;
    QTest::newRow("Warp") << QStringLiteral("Warp")
                          << v({{"s:Scale", 10}, {"s:Rotation", 45}, {"s:Steps", 2}, {"s:Displacement", 5}, {"c:Convolve", false}})
                          << i++;
    QTest::newRow("Welle") << QStringLiteral("Welle")
                           << v({{"s:Amplitude", 50}, {"s:Length", 12}, {"s:Phase", 30}, {"c:Reflection", true}}) << i++;
    QTest::newRow("Strudel") << QStringLiteral("Strudel") << v({{"s:Value", 700}}) << i++;
}

void TestEffectDialog::pagesCallTheirEffects()
{
    QFETCH(QString, caption);
    QFETCH(QVariantMap, values);
    QFETCH(int, call);
    const PageSpec* page = effectpages::find(caption);
    QVERIFY(page);
    PageValues pv = effectpages::startValues(*page);
    pv.background = qRgb(10, 200, 30);
    pv.foreground = qRgb(220, 20, 140);
    pv.windowColour = qRgb(239, 239, 239);
    for (auto it = values.begin(); it != values.end(); ++it) {
        const QString key = it.key().mid(2);
        switch (it.key().at(0).toLatin1()) {
        case 's': pv.sliders[key] = it.value().toInt(); break;
        case 'c': pv.checks[key] = it.value().toBool(); break;
        default: pv.radios[key] = it.value().toInt(); break;
        }
    }
    Owned picture(patterned(64, 48));
    Owned got(runPage(caption, picture.get(), pv));
    Owned input(copyOf(picture.get()));
    GlobalHandle in = input.get();
    // the calls the pages promise, written out by hand
    GlobalHandle expected = nullptr;
    switch (call) {
    case 0: expected = AutoContrast(in, L, T, R, B); break;
    case 1: expected = Bled(in, L, T, R, B, -77); break;
    case 2: expected = FadeDib(in, L, T, R, B, 5, 239, 239, 239); break;
    case 3: expected = FadeDib(in, L, T, R, B, 6, 10, 200, 30); break;
    case 4: expected = Blur(in, L, T, R, B, 7); break;
    case 5: expected = ILBrightness(in, 40); break;
    case 6: expected = ILReduceColors(input.ref(), 16, IL_FLOYD), input.ref() = nullptr; break;
    case 7: expected = ILBrightness(in, -40); break;
    case 8: expected = PixelFix(in, L, T, R, B, 3); break;
    case 9: expected = Edge(in, L, T, R, B, 4); break;
    case 10: expected = Engrave(in, L, T, R, B, 3); break;
    case 11: expected = Enhance(in, L, T, R, B, 20, -30, 14, 9, 12); break;
    case 12: expected = ExtrudeDib(in, false, 6); break;
    case 13: expected = ILGamma(in, 25); break;
    case 14: expected = GrayArea(in, L, T, R, B); break;
    case 15: expected = HToneImage(in, 5, 30.0f, 2); break;
    case 16: {
        const IspRect rect{L, T, R, B};
        QVERIFY(ilHueAndSaturation(input.ref(), HueChannels{1, 0, 0, 0, 0, 0}, 20, 50, -10, &rect));
        expected = input.ref(), input.ref() = nullptr;
        break;
    }
    case 17: {
        const IspRect rect{L, T, R, B};
        QVERIFY(ilHueAndSaturation(input.ref(), HueChannels{}, 20, 0, 0, &rect));
        expected = input.ref(), input.ref() = nullptr;
        break;
    }
    case 18: QVERIFY(ILInvert(input.ref())); expected = input.ref(), input.ref() = nullptr; break;
    case 19: expected = Jiggle(in, L, T, R, B, 5, 7, 1); break;
    case 20: expected = ILMirror(in, true, false); break;
    case 21: expected = Mosaic(in, L, T, R, B, 12, 6, 2, 30, 2, false, 1, 0, 30, 200, 10, 140, 20, 220); break;
    case 22: expected = Motion(in, L, T, R, B, 5, 30, 3); break;
    case 23: expected = Noise(in, L, T, R, B, false, true, 10, 20, 30); break;
    case 24: expected = OilPainting(in, L, T, R, B, 3); break;
    case 25: {
        CurlOptions o;
        o.keepPicture = true;
        o.shadowTransparency = 0.5;
        o.leftTop = false, o.rightBottom = true;
        o.horizontal = false, o.vertical = true;
        o.foreRed = 220, o.foreGreen = 20, o.foreBlue = 140, o.backRed = 10, o.backGreen = 200, o.backBlue = 30;
        expected = Curl(in, L, T, R, B, o);
        break;
    }
    case 26: expected = PinchHole(in, L, T, R, B, -8.0); break;
    case 27: expected = RecToPolar(in, L, T, R, B, 40, 20, true, false); break;
    case 28:
        QVERIFY(ILRotate(input.ref(), L, T, R, B, 15.5, qint32(0x1EC80A)));
        expected = input.ref(), input.ref() = nullptr;
        break;
    case 29: expected = Better(in, L, T, R, B, 3); break;
    case 30: expected = Better(in, L, T, R, B, -3); break;
    case 31: expected = Spray(in, L, T, R, B, 5, 9); break;
    case 32: expected = TileDib(in); break;
    case 33: expected = ThresholdDib(in, L, T, R, B, 90, false); break;
    case 34: expected = Warp(in, true, true, false, 10, 45, 2, 5); break;
    case 35: expected = Wave(in, L, T, R, B, 50.0, 12, 30.0, true, true); break;
    case 36: expected = Whirl(in, L, T, R, B, 700.0); break;
    default: QFAIL("no call for this row");
    }
    Owned want(expected);
    QVERIFY2(want.get(), "the direct call gave no picture");
    QVERIFY2(got.get(), "the page gave no picture");
    QVERIFY(sameBytes(got.get(), want.get()));
    // and the page really changed something for its values
    if (call != 0 && call != 8 && call != 14)
        QVERIFY(!sameBytes(got.get(), picture.get()));
}

// Red-eye on a red disc far from the picture's origin: only red inside the
// rectangle goes, and fully at the eye's middle.
void TestEffectDialog::redEyeFarFromOrigin()
{
    const QPoint eye(520, 380);
    Owned picture(makeDib(600, 450, 24, [&](int x, int y) {
        const int dx = x - eye.x(), dy = y - eye.y();
        return dx * dx + dy * dy <= 14 * 14 ? qRgb(220, 30, 30) : qRgb(90, 100, 110);
    }));
    const int l = 500, t = 360, r = 540, b = 400;
    RedEyeOptions o;
    o.strength = 100;
    o.tolerance = 100;   // only pixels redder than the average count
    Owned out(RedEyeCorrection(picture.get(), l, t, r, b, o));
    QVERIFY(out.get());
    QVERIFY(samePixels(out.get(), picture.get(), l, t, r, b));   // outside untouched
    const QRgb middle = pixel(out.get(), eye.x(), eye.y());
    // the middle takes the rectangle's average colour: no longer red
    QVERIFY2(qRed(middle) < 150, qPrintable(QString::number(qRed(middle))));
    QVERIFY(qRed(middle) - qGreen(middle) < 80);
    // grey inside the rectangle stays
    QCOMPARE(pixel(out.get(), l + 1, t + 1), qRgb(90, 100, 110));
    // at the disc's edge the change is smaller than at its middle
    const QRgb edge = pixel(out.get(), eye.x() + 13, eye.y());
    QVERIFY(qRed(edge) > qRed(middle));

    // a chosen colour is the target
    o.useColour = true;
    o.colour = qRgb(0, 0, 255);
    Owned blue(RedEyeCorrection(picture.get(), l, t, r, b, o));
    QVERIFY(qBlue(pixel(blue.get(), eye.x(), eye.y())) > 200);

    // grey everywhere at full tolerance, or an empty rectangle: nothing changes
    Owned grey(makeDib(60, 40, 24, [](int, int) { return qRgb(120, 120, 120); }));
    o.useColour = false;
    o.tolerance = o.toleranceMax;
    Owned same(RedEyeCorrection(grey.get(), 5, 5, 50, 30, o));
    QVERIFY(samePixels(same.get(), grey.get()));
    o.tolerance = 1;
    Owned empty(RedEyeCorrection(picture.get(), l, t, l, b, o));
    QVERIFY(samePixels(empty.get(), picture.get()));
}

// A palette file is exactly the documented layout, and reads back the same.
void TestEffectDialog::paletteFileRoundTrip()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sixteen.ILP"));
    PaletteEntries p;
    for (int i = 0; i < 16; ++i)
        p.push_back(dibcore::rgb(i * 16, 255 - i * 3, (i * 77) & 0xff));
    QVERIFY(SavePaletteFile(path, p, 16));
    const QByteArray bytes = bytesOf(path);
    QCOMPARE(bytes.size(), 1047);
    QCOMPARE(bytes, expectedFile(p, 16));

    std::optional<PaletteEntries> loaded;
    QCOMPARE(LoadPaletteFile(path, loaded), 1047);
    QVERIFY(loaded);
    QCOMPARE(loaded->size(), size_t(16));
    QVERIFY(*loaded == p);
    // saved again: the same bytes
    const QString again = dir.filePath(QStringLiteral("again.ILP"));
    QVERIFY(SavePaletteFile(again, *loaded, 16));
    QCOMPARE(bytesOf(again), bytes);

    // a palette variable that holds more colours keeps the rest
    std::optional<PaletteEntries> larger = MakeGrayPalette(32);
    QCOMPARE(LoadPaletteFile(path, larger), 1047);
    QCOMPARE(larger->size(), size_t(32));
    QVERIFY((*larger)[3] == p[3]);
    QVERIFY((*larger)[20] == dibcore::rgb(20, 20, 20));

    // too few entries for the count: nothing written
    QVERIFY(!SavePaletteFile(dir.filePath(QStringLiteral("short.ILP")), p, 17));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("short.ILP"))));
}

// Short, long, foreign and lying palette files load nothing; a link is not
// written through.
void TestEffectDialog::hostilePaletteFiles()
{
    QTemporaryDir dir;
    PaletteEntries p = MakeGrayPalette(16);
    const QByteArray good = expectedFile(p, 16);
    struct Case {
        const char* name;
        QByteArray data;
    };
    QByteArray foreign = good;
    foreign[5] = 'X';
    QByteArray tooMany = good;
    tooMany[21] = char(1), tooMany[22] = char(1);   // 257
    QByteArray huge = good;
    huge[21] = char(0xff), huge[22] = char(0xff);
    QByteArray none = good;
    none[21] = 0, none[22] = 0;
    const Case cases[] = {{"1046", good.left(1046)}, {"1048", good + QByteArray(1, '\0')}, {"foreign", foreign},
                          {"257", tooMany}, {"65535", huge}, {"0", none}, {"empty", QByteArray()}};
    for (const Case& c : cases) {
        const QString path = dir.filePath(QLatin1String(c.name) + QStringLiteral(".ILP"));
        writeBytes(path, c.data);
        std::optional<PaletteEntries> held = MakeGrayPalette(4);
        QVERIFY2(LoadPaletteFile(path, held) == 0, c.name);
        QVERIFY2(*held == MakeGrayPalette(4), c.name);
        std::optional<PaletteEntries> fresh;
        QCOMPARE(LoadPaletteFile(path, fresh), 0);
        QVERIFY(!fresh);
    }
    std::optional<PaletteEntries> missing;
    QCOMPARE(LoadPaletteFile(dir.filePath(QStringLiteral("none.ILP")), missing), 0);
    QCOMPARE(LoadPaletteFile(dir.path(), missing), 0);   // a folder

    // a link of the name is left alone and its target unchanged
    const QString target = dir.filePath(QStringLiteral("target.txt"));
    writeBytes(target, "keep me");
    const QString link = dir.filePath(QStringLiteral("link.ILP"));
    QVERIFY(QFile::link(target, link));
    QVERIFY_THROWS_EXCEPTION(ErrorInvalid, SavePaletteFile(link, p, 16));
    QCOMPARE(bytesOf(target), QByteArray("keep me"));
    QVERIFY(QFileInfo(link).isSymLink());
}

// Remapping 8- and 4-bit pictures: nearest colours, the text order of the
// palette, and 8 bits when 4 cannot hold the palette.
void TestEffectDialog::remapPictures()
{
    // 8 bits: four colours onto a grey palette ordered as text
    const dibcore::Palette four = {dibcore::rgb(0, 0, 0), dibcore::rgb(250, 250, 250), dibcore::rgb(20, 20, 20),
                                   dibcore::rgb(128, 120, 130)};
    Owned eight(makeIndexedDib(8, 4, 8, four, [](int x, int) { return x % 4; }));
    PaletteEntries grey = MakeGrayPalette(256);
    GlobalHandle h = eight.get();
    QVERIFY(RemapToPalette(grey, h));
    QCOMPARE(h, eight.get());
    QCOMPARE(bitCount(h), 8);
    QVERIFY(grey[0] == dibcore::rgb(0, 0, 0));
    // the greys in the text order of their values: "0", "10000536" (152 x 65793), ...
    QVERIFY(grey[1] == dibcore::rgb(152, 152, 152));
    QVERIFY(grey[2] == dibcore::rgb(153, 153, 153));   // "10066329"
    QVERIFY(grey[255] == dibcore::rgb(151, 151, 151));   // "9934743"
    const dibcore::Palette table = palette(h);
    QVERIFY(table[1] == dibcore::rgb(152, 152, 152));
    for (int x = 0; x < 4; ++x) {
        const QRgb want = qRgb(four[size_t(x)].red, four[size_t(x)].green, four[size_t(x)].blue);
        const QRgb got = pixel(h, x, 0);
        QVERIFY2(std::abs(qGray(got) - qGray(want)) <= 2, qPrintable(QString::number(x)));
    }

    // 4 bits onto 16 greys: both nibbles of a byte, the result stays 4-bit
    const dibcore::Palette vga = dibcore::vgaPalette();
    Owned nibble(makeIndexedDib(7, 3, 4, vga, [](int x, int y) { return (x + y * 5) % 16; }));
    PaletteEntries sixteen = MakeGrayPalette(16);
    for (auto& q : sixteen)
        q = dibcore::rgb(q.red * 17, q.green * 17, q.blue * 17);
    GlobalHandle n = nibble.get();
    QVERIFY(RemapToPalette(sixteen, n));
    QCOMPARE(bitCount(n), 4);
    for (int x = 0; x < 7; ++x) {
        const dibcore::RgbQuad c = vga[size_t((x + 5) % 16)];
        const QRgb got = pixel(n, x, 1);
        QCOMPARE(qRed(got), qGreen(got));
        QVERIFY(std::abs(qRed(got) - qGray(c.red, c.green, c.blue)) <= 60);
    }

    // 4 bits onto 20 colours: indices past 15 do not fit, the picture is 8-bit
    PaletteEntries twenty;
    for (int i = 0; i < 20; ++i)
        twenty.push_back(dibcore::rgb(i * 12, 0, 255 - i * 12));
    Owned wide(makeIndexedDib(5, 2, 4, vga, [](int x, int) { return x; }));
    GlobalHandle w = wide.get();
    wide.ref() = nullptr;
    QVERIFY(RemapToPalette(twenty, w));
    Owned widened(w);
    QCOMPARE(bitCount(w), 8);
    QCOMPARE(int(palette(w).size()), 256);

    // no palette picture: refused
    Owned rgb(patterned(4, 4));
    GlobalHandle r = rgb.get();
    QVERIFY_THROWS_EXCEPTION(ErrorInvalid, RemapToPalette(grey, r));
}
