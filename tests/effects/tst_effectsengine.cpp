// The effects module's arithmetic, through its entries.

#include "dibfixtures.h"

#include "effects/engine/isp2000.h"
#include "platform/moduleloader.h"

#include <QtTest>
#include <cmath>
#include <functional>
#include <set>

using namespace fixtures;

namespace {

void* engine()
{
    static void* module = ModuleLoader::load(QStringLiteral("ISP2000.so"), QString());
    return module;
}

template <typename Fn>
Fn entry(const char* name)
{
    return reinterpret_cast<Fn>(ModuleLoader::symbol(engine(), name));
}

// Progress callbacks: one that stops at once, one that counts.
struct Counter {
    int calls = 0;
    int last = -1;
};
short stopAtOnce(short, void*)
{
    return 0;
}
short countCalls(short percent, void* owner)
{
    auto* c = static_cast<Counter*>(owner);
    ++c->calls;
    c->last = percent;
    return 1;
}

// An effect with a rectangle, bound to its parameters.
using RectEffect = std::function<GlobalHandle(GlobalHandle, const IspRect*, void*, IspProgress)>;

std::vector<std::pair<const char*, RectEffect>> rectEffects()
{
    return {
        {"Blur", [](auto d, auto r, auto o, auto p) { return entry<Blur_fn>("Blur")(d, 6, r, o, p); }},
        {"Better", [](auto d, auto r, auto o, auto p) { return entry<Better_fn>("Better")(d, 5, r, o, p); }},
        {"Edge", [](auto d, auto r, auto o, auto p) { return entry<Edge_fn>("Edge")(d, 8, r, o, p); }},
        {"Engrave", [](auto d, auto r, auto o, auto p) { return entry<Engrave_fn>("Engrave")(d, 2, r, o, p); }},
        {"Bled", [](auto d, auto r, auto o, auto p) { return entry<Bled_fn>("Bled")(d, 200, r, o, p); }},
        {"PixelFix", [](auto d, auto r, auto o, auto p) { return entry<PixelFix_fn>("PixelFix")(d, 90, r, o, p); }},
        {"OilPainting", [](auto d, auto r, auto o, auto p) { return entry<OilPainting_fn>("OilPainting")(d, 3, r, o, p); }},
        {"Noise", [](auto d, auto r, auto o, auto p) { return entry<Noise_fn>("Noise")(d, 1, 0, 30, 30, 30, r, o, p); }},
        {"Motion line", [](auto d, auto r, auto o, auto p) { return entry<Motion_fn>("Motion")(d, 9, 30, 3, r, o, p); }},
        {"Motion zoom", [](auto d, auto r, auto o, auto p) { return entry<Motion_fn>("Motion")(d, 200, 0, 1, r, o, p); }},
        {"Motion rotate", [](auto d, auto r, auto o, auto p) { return entry<Motion_fn>("Motion")(d, 100, 40, 2, r, o, p); }},
        {"Mosaic", [](auto d, auto r, auto o, auto p) {
             return entry<Mosaic_fn>("Mosaic")(d, 8, 20, 2, 45, 3, 1, 0, 1, 0, 0, 0, 255, 255, 255, r, o, p);
         }},
        {"Spray", [](auto d, auto r, auto o, auto p) { return entry<Spray_fn>("Spray")(d, 4, 7, r, o, p); }},
        {"FadeDib", [](auto d, auto r, auto o, auto p) { return entry<FadeDib_fn>("FadeDib")(d, 6, 255, 0, 0, r, o, p); }},
        {"AutoContrast", [](auto d, auto r, auto o, auto p) { return entry<AutoContrast_fn>("AutoContrast")(d, r, o, p); }},
        {"GrayArea", [](auto d, auto r, auto o, auto p) { return entry<GrayArea_fn>("GrayArea")(d, r, o, p); }},
        {"ThresholdDib", [](auto d, auto r, auto o, auto p) { return entry<ThresholdDib_fn>("ThresholdDib")(d, 128, 1, r, o, p); }},
        {"Enhance", [](auto d, auto r, auto o, auto p) { return entry<Enhance_fn>("Enhance")(d, 10, 40, 12, 10, 8, r, o, p); }},
        {"PinchHole", [](auto d, auto r, auto o, auto p) { return entry<PinchHole_fn>("PinchHole")(d, -15.0, r, o, p); }},
        {"Whirl", [](auto d, auto r, auto o, auto p) { return entry<Whirl_fn>("Whirl")(d, 180.0, r, o, p); }},
        {"Wave", [](auto d, auto r, auto o, auto p) { return entry<Wave_fn>("Wave")(d, 40.0, 9, 0.0, 1, 0, r, o, p); }},
        {"Jiggle", [](auto d, auto r, auto o, auto p) { return entry<Jiggle_fn>("Jiggle")(d, 7, 3, 1, r, o, p); }},
        {"RecToPolar", [](auto d, auto r, auto o, auto p) { return entry<RecToPolar_fn>("RecToPolar")(d, 100, 30, 0, 0, r, o, p); }},
        {"RecToPolar inverse", [](auto d, auto r, auto o, auto p) { return entry<RecToPolar_fn>("RecToPolar")(d, 100, 0, -1, -1, r, o, p); }},
        {"Curl", [](auto d, auto r, auto o, auto p) {
             return entry<Curl_fn>("Curl")(d, 1, 0, 0, 0, 1, 0.25, 1, 0, 1, 0, 0, 0, 0, 200, 200, 200, 0, 0, 90, r, o, p);
         }},
    };
}

// A recording canvas for the transitions.
struct Recorder {
    int w = 0, h = 0;
    std::vector<int> covered;  // times each pixel was drawn
    std::vector<std::array<int, 4>> pieces;
    int waits = 0;
    int stopAfter = -1;  // waits answered before a stop
    static int blit(void* c, void*, int32_t x, int32_t y, int32_t w, int32_t h)
    {
        auto* r = static_cast<Recorder*>(c);
        r->pieces.push_back({x, y, w, h});
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i) {
                if (i < 0 || j < 0 || i >= r->w || j >= r->h)
                    return 0;
                ++r->covered[std::size_t(j) * r->w + i];
            }
        return 1;
    }
    static int wait(void* c, int32_t)
    {
        auto* r = static_cast<Recorder*>(c);
        ++r->waits;
        return r->stopAfter >= 0 && r->waits > r->stopAfter ? 0 : 1;
    }
};

}  // namespace

class EffectsEngineTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void identities_data();
    void identities();
    void quarterTurnsAndMirrors();
    void rotationGrowsAndFills();
    void toneArithmetic();
    void paletteTablesChangeOnlyTheTable();
    void effectsStayInsideTheRectangle();
    void stopAnswerEndsWithNoPicture();
    void inPlaceStopLeavesPictureAlone();
    void hostileHeadersFail();
    void scaleKeepsAverageColour();
    void reduceDibPalettesAndDithering();
    void reduceColorsCountsColours();
    void scaleToGrayModes();
    void blurSpreadsButKeepsLight();
    void filtersDoWhatTheySay();
    void distortionsMoveTheRightPixels();
    void dropDibPastesWithKeyAndClipping();
    void warpSendsFrames();
    void tileAndExtrude();
    void transitionsCoverThePicture_data();
    void transitionsCoverThePicture();
    void transitionStops();
};

void EffectsEngineTest::initTestCase()
{
    QVERIFY2(engine(), "ISP2000.so not found next to the test");
}

void EffectsEngineTest::identities_data()
{
    QTest::addColumn<int>("bits");
    QTest::newRow("24 bits") << 24;
    QTest::newRow("32 bits") << 32;
}

void EffectsEngineTest::identities()
{
    QFETCH(int, bits);
    Owned original(patterned(37, 23, bits));
    Owned work(dibcore::copyBlock(original.get()));
    // invert twice, mirror twice each way, brightness 0, gamma 1.0
    QCOMPARE(entry<ILInvert_fn>("ILInvert")(work.get()), 1);
    QVERIFY(!samePixels(work.get(), original.get()));
    QCOMPARE(pixel(work.get(), 3, 4), qRgb(255 - qRed(pixel(original.get(), 3, 4)),
                                           255 - qGreen(pixel(original.get(), 3, 4)),
                                           255 - qBlue(pixel(original.get(), 3, 4))));
    QCOMPARE(entry<ILInvert_fn>("ILInvert")(work.get()), 1);
    QCOMPARE(entry<ILMirror_fn>("ILMirror")(work.get(), -1, 0), 1);
    QCOMPARE(entry<ILMirror_fn>("ILMirror")(work.get(), -1, 0), 1);
    QCOMPARE(entry<ILMirror_fn>("ILMirror")(work.get(), 0, -1), 1);
    QCOMPARE(entry<ILMirror_fn>("ILMirror")(work.get(), 0, -1), 1);
    QCOMPARE(entry<ILBrightness_fn>("ILBrightness")(work.get(), 0), 1);
    QCOMPARE(entry<ILGamma_fn>("ILGamma")(work.get(), 10), 1);
    QVERIFY(sameBytes(work.get(), original.get()));

    Owned turned(dibcore::copyBlock(original.get()));
    for (int i = 0; i < 4; ++i) {
        Owned next(entry<ILRotate_fn>("ILRotate")(turned.get(), 90.0, nullptr, 0));
        QVERIFY(next.get());
        QCOMPARE(width(next.get()), i % 2 == 0 ? 23 : 37);
        turned.reset(next.get());
        next.ref() = nullptr;
    }
    QVERIFY(samePixels(turned.get(), original.get()));
    if (bits == 32)
        QCOMPARE(spareByte(turned.get(), 5, 6), 0x5A);
}

void EffectsEngineTest::quarterTurnsAndMirrors()
{
    // 3 x 2 picture: the top-right pixel goes to the top-left on a
    // counter-clockwise quarter turn
    Owned dib(makeDib(3, 2, 24, [](int x, int y) { return qRgb(x * 80, y * 80, 7); }));
    Owned left(entry<ILRotate_fn>("ILRotate")(dib.get(), 90.0, nullptr, 0));
    QCOMPARE(width(left.get()), 2);
    QCOMPARE(height(left.get()), 3);
    QCOMPARE(pixel(left.get(), 0, 0), qRgb(160, 0, 7));
    QCOMPARE(pixel(left.get(), 1, 2), qRgb(0, 80, 7));
    Owned half(entry<ILRotate_fn>("ILRotate")(dib.get(), -180.0, nullptr, 0));
    QCOMPARE(pixel(half.get(), 0, 0), qRgb(160, 80, 7));

    QCOMPARE(entry<ILMirror_fn>("ILMirror")(dib.get(), 0, -1), 1);
    QCOMPARE(pixel(dib.get(), 0, 1), qRgb(160, 80, 7));
    QCOMPARE(entry<ILMirror_fn>("ILMirror")(dib.get(), -1, 0), 1);
    QCOMPARE(pixel(dib.get(), 0, 0), qRgb(160, 80, 7));

    // palette pictures flip exactly, 1 and 4 bits included
    for (int bits : {1, 4, 8}) {
        const int colours = bits == 1 ? 2 : 16;
        Owned indexed(makeIndexedDib(11, 3, bits, dibcore::greyPalette(colours),
                                     [colours](int x, int y) { return (x + 3 * y) % colours; }));
        QCOMPARE(entry<ILMirror_fn>("ILMirror")(indexed.get(), -1, -1), 1);
        const QRgb expected = dibcore::greyPalette(colours)[std::size_t((10 + 3 * 2) % colours)].red * 0x010101u;
        QCOMPARE(pixel(indexed.get(), 0, 0) & 0xFFFFFF, expected);
    }
}

void EffectsEngineTest::rotationGrowsAndFills()
{
    Owned dib(makeDib(40, 20, 24, [](int, int) { return qRgb(10, 200, 30); }));
    Owned turned(entry<ILRotate_fn>("ILRotate")(dib.get(), 30.0, nullptr, 0x00FF0000));  // blue fill
    // 40 cos 30 + 20 sin 30 = 44.6, 40 sin 30 + 20 cos 30 = 37.3
    QCOMPARE(width(turned.get()), 45);
    QCOMPARE(height(turned.get()), 38);
    QCOMPARE(pixel(turned.get(), 0, 0), qRgb(0, 0, 255));
    QCOMPARE(pixel(turned.get(), 22, 19), qRgb(10, 200, 30));

    // a rectangle turns within itself; outside stays
    Owned busy(patterned(30, 30));
    const IspRect r{5, 5, 25, 25};
    Owned part(entry<ILRotate_fn>("ILRotate")(busy.get(), 45.0, &r, 0));
    QCOMPARE(width(part.get()), 30);
    QVERIFY(samePixels(part.get(), busy.get(), 5, 5, 25, 25));
    QCOMPARE(pixel(part.get(), 5, 5), qRgb(0, 0, 0));  // corner uncovered
}

void EffectsEngineTest::toneArithmetic()
{
    Owned dib(makeDib(4, 1, 24, [](int x, int) { return qRgb(250, 100, x * 60); }));
    QCOMPARE(entry<ILBrightness_fn>("ILBrightness")(dib.get(), 10), 1);
    QCOMPARE(pixel(dib.get(), 1, 0), qRgb(255, 110, 70));
    QCOMPARE(entry<ILBrightness_fn>("ILBrightness")(dib.get(), -400), 1);  // limited to -255
    QCOMPARE(pixel(dib.get(), 1, 0), qRgb(0, 0, 0));

    Owned mid(makeDib(1, 1, 24, [](int, int) { return qRgb(64, 128, 0); }));
    QCOMPARE(entry<ILGamma_fn>("ILGamma")(mid.get(), 20), 1);  // gamma 2: 255 * sqrt(v / 255)
    QCOMPARE(pixel(mid.get(), 0, 0), qRgb(128, 181, 0));

    // enhance with neutral values changes nothing; contrast spreads
    Owned busy(patterned(16, 16));
    Owned neutral(entry<Enhance_fn>("Enhance")(busy.get(), 0, 0, 10, 10, 10, nullptr, nullptr, nullptr));
    QVERIFY(sameBytes(neutral.get(), busy.get()));
    Owned flat(makeDib(2, 1, 24, [](int x, int) { return x ? qRgb(150, 150, 150) : qRgb(100, 100, 100); }));
    Owned contrast(entry<Enhance_fn>("Enhance")(flat.get(), 0, 100, 10, 10, 10, nullptr, nullptr, nullptr));
    QVERIFY(qRed(pixel(contrast.get(), 0, 0)) < 100 - 10);
    QVERIFY(qRed(pixel(contrast.get(), 1, 0)) > 150 + 10);

    // hue and saturation: nothing asked, nothing changed; a shift of 120
    // makes red green; only the chosen range moves
    Owned colours(makeDib(2, 1, 24, [](int x, int) { return x ? qRgb(0, 0, 255) : qRgb(255, 0, 0); }));
    Owned copy(dibcore::copyBlock(colours.get()));
    const auto hue = entry<ilHueAndSaturation_fn>("ilHueAndSaturation");
    QCOMPARE(hue(copy.get(), 1, 1, 1, 1, 1, 1, 0, 0, 0, nullptr, nullptr, nullptr), 1);
    QVERIFY(sameBytes(copy.get(), colours.get()));
    QCOMPARE(hue(copy.get(), 1, 0, 0, 0, 0, 0, 120, 0, 0, nullptr, nullptr, nullptr), 1);
    QCOMPARE(pixel(copy.get(), 0, 0), qRgb(0, 255, 0));
    QCOMPARE(pixel(copy.get(), 1, 0), qRgb(0, 0, 255));
    QCOMPARE(hue(copy.get(), 1, 1, 1, 1, 1, 1, 0, -100, 0, nullptr, nullptr, nullptr), 1);  // no saturation
    QCOMPARE(qRed(pixel(copy.get(), 1, 0)), qBlue(pixel(copy.get(), 1, 0)));

    // auto contrast stretches 100..150 to the full range
    Owned dull(makeDib(51, 1, 24, [](int x, int) { return qRgb(100 + x, 100 + x, 100 + x); }));
    Owned stretched(entry<AutoContrast_fn>("AutoContrast")(dull.get(), nullptr, nullptr, nullptr));
    QCOMPARE(qRed(pixel(stretched.get(), 0, 0)), 0);
    QCOMPARE(qRed(pixel(stretched.get(), 50, 0)), 255);

    Owned grey(entry<GrayArea_fn>("GrayArea")(colours.get(), nullptr, nullptr, nullptr));
    QCOMPARE(pixel(grey.get(), 0, 0), qRgb(76, 76, 76));
    QCOMPARE(pixel(grey.get(), 1, 0), qRgb(29, 29, 29));
}

void EffectsEngineTest::paletteTablesChangeOnlyTheTable()
{
    Owned dib(makeIndexedDib(5, 2, 8, {dibcore::rgb(10, 20, 30), dibcore::rgb(200, 100, 0)},
                             [](int x, int) { return x % 2; }));
    Owned before(dibcore::copyBlock(dib.get()));
    QCOMPARE(entry<ILInvert_fn>("ILInvert")(dib.get()), 1);
    QCOMPARE(pixel(dib.get(), 0, 0), qRgb(245, 235, 225));
    QCOMPARE(pixel(dib.get(), 1, 1), qRgb(55, 155, 255));
    QCOMPARE(entry<ILInvert_fn>("ILInvert")(dib.get()), 1);
    QVERIFY(sameBytes(dib.get(), before.get()));
}

void EffectsEngineTest::effectsStayInsideTheRectangle()
{
    Owned dib(patterned(64, 48));
    const IspRect r{10, 8, 40, 30};
    for (const auto& [name, effect] : rectEffects()) {
        Owned out(effect(dib.get(), &r, nullptr, nullptr));
        QVERIFY2(out.get(), name);
        QVERIFY2(samePixels(out.get(), dib.get(), 10, 8, 40, 30), name);
        QVERIFY2(!samePixels(out.get(), dib.get(), 10, 8, 40, 30, true), name);
    }
    // a rectangle past the picture is clipped; an empty one changes nothing
    const IspRect past{50, 40, 500, 400};
    Owned clipped(entry<Blur_fn>("Blur")(dib.get(), 4, &past, nullptr, nullptr));
    QVERIFY(samePixels(clipped.get(), dib.get(), 50, 40, 64, 48));
    const IspRect empty{20, 20, 20, 30};
    Owned same(entry<Blur_fn>("Blur")(dib.get(), 4, &empty, nullptr, nullptr));
    QVERIFY(sameBytes(same.get(), dib.get()));
}

void EffectsEngineTest::stopAnswerEndsWithNoPicture()
{
    Owned dib(patterned(40, 40));
    for (const auto& [name, effect] : rectEffects()) {
        QVERIFY2(!effect(dib.get(), nullptr, nullptr, stopAtOnce), name);
        Counter counter;
        Owned out(effect(dib.get(), nullptr, &counter, countCalls));
        QVERIFY2(out.get() && counter.calls >= 2 && counter.last == 100, name);
    }
    QVERIFY(!entry<HToneImage_fn>("HToneImage")(dib.get(), 4, 45.0f, 0, nullptr, stopAtOnce));
    QVERIFY(!entry<TileDib_fn>("TileDib")(dib.get(), nullptr, stopAtOnce));
    QVERIFY(!entry<ExtrudeDib_fn>("ExtrudeDib")(dib.get(), 1, 2, nullptr, stopAtOnce));
    QVERIFY(!entry<Warp_fn>("Warp")(dib.get(), 1, 1, 1, 20, 90, 3, 10, nullptr, stopAtOnce, nullptr));
    QVERIFY(!entry<ReduceDib_fn>("ReduceDib")(dib.get(), 8, 4, 0, 0, 0, nullptr, stopAtOnce));
}

void EffectsEngineTest::inPlaceStopLeavesPictureAlone()
{
    Owned dib(patterned(30, 30));
    Owned before(dibcore::copyBlock(dib.get()));
    const auto hue = entry<ilHueAndSaturation_fn>("ilHueAndSaturation");
    QCOMPARE(hue(dib.get(), 1, 1, 1, 1, 1, 1, 90, 50, 10, nullptr, nullptr, stopAtOnce), 0);
    QVERIFY(sameBytes(dib.get(), before.get()));
    const IspRect r{0, 0, 10, 10};
    QCOMPARE(hue(dib.get(), 1, 1, 1, 1, 1, 1, 90, 50, 10, &r, nullptr, nullptr), 1);
    QVERIFY(samePixels(dib.get(), before.get(), 0, 0, 10, 10));
    QVERIFY(!samePixels(dib.get(), before.get(), 0, 0, 10, 10, true));
}

void EffectsEngineTest::hostileHeadersFail()
{
    Owned good(patterned(8, 8));
    const auto lying = [&](auto patch) {
        GlobalHandle h = dibcore::copyBlock(good.get());
        auto* p = static_cast<std::uint8_t*>(globalmem::lock(h));
        patch(p);
        globalmem::unlock(h);
        return h;
    };
    std::vector<GlobalHandle> bad = {
        lying([](std::uint8_t* p) { dibcore::putLe32(p + 4, 100000); }),   // wider than the block
        lying([](std::uint8_t* p) { dibcore::putLe32(p + 8, 100000); }),   // taller
        lying([](std::uint8_t* p) { dibcore::putLe32(p + 4, 0); }),        // no width
        lying([](std::uint8_t* p) { dibcore::putLe32(p + 4, std::uint32_t(-8)); }),
        lying([](std::uint8_t* p) { dibcore::putLe16(p + 14, 7); }),       // no such depth
        lying([](std::uint8_t* p) { dibcore::putLe32(p + 16, 1); }),       // RLE at 24 bits
        lying([](std::uint8_t* p) { dibcore::putLe32(p, 4000); }),         // header size past the block
        globalmem::alloc(12),
    };
    for (GlobalHandle h : bad) {
        Owned guard(h);
        QVERIFY(!entry<Blur_fn>("Blur")(h, 3, nullptr, nullptr, nullptr));
        QVERIFY(!entry<ILRotate_fn>("ILRotate")(h, 30.0, nullptr, 0));
        QVERIFY(!entry<ScaleDib_fn>("ScaleDib")(h, 4, 4));
        QVERIFY(!entry<ScaleToGray_fn>("ScaleToGray")(h, 6, 4, 4));
        QVERIFY(!entry<ReduceDib_fn>("ReduceDib")(h, 8, 4, 0, 0, 0, nullptr, nullptr));
        QCOMPARE(entry<ILInvert_fn>("ILInvert")(h), 0);
        QCOMPARE(entry<ILMirror_fn>("ILMirror")(h, -1, -1), 0);
        QVERIFY(!entry<DropDib_fn>("DropDib")(good.get(), h, -1, -1, -1, 0, 0));
    }
    QVERIFY(!entry<Blur_fn>("Blur")(nullptr, 3, nullptr, nullptr, nullptr));
    int notABlock[64] = {};
    QVERIFY(!entry<Blur_fn>("Blur")(reinterpret_cast<GlobalHandle>(notABlock), 3, nullptr, nullptr, nullptr));
    QVERIFY(!entry<ScaleDib_fn>("ScaleDib")(good.get(), 0, 5));
    QVERIFY(!entry<ScaleDib_fn>("ScaleDib")(good.get(), 100000, 100000));  // over the size limit
}

void EffectsEngineTest::scaleKeepsAverageColour()
{
    Owned dib(patterned(301, 199));
    for (auto [w, h] : {std::pair{97, 61}, std::pair{150, 99}, std::pair{3, 2}, std::pair{640, 400}}) {
        Owned scaled(entry<ScaleDib_fn>("ScaleDib")(dib.get(), w, h));
        QCOMPARE(width(scaled.get()), w);
        QCOMPARE(height(scaled.get()), h);
        for (int c = 0; c < 3; ++c) {
            const double tolerance = w > 301 ? 2.0 : 0.6;
            QVERIFY2(std::abs(mean(scaled.get(), c) - mean(dib.get(), c)) < tolerance,
                     qPrintable(QStringLiteral("%1x%2 channel %3: %4 vs %5").arg(w).arg(h).arg(c)
                                    .arg(mean(scaled.get(), c)).arg(mean(dib.get(), c))));
        }
    }
    // halving a checkerboard gives its average everywhere, 32 bits too
    Owned checker(makeDib(8, 8, 32, [](int x, int y) { return (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0); }));
    Owned half(entry<ScaleDib_fn>("ScaleDib")(checker.get(), 4, 4));
    QCOMPARE(bitCount(half.get()), 32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            QVERIFY(std::abs(qRed(pixel(half.get(), x, y)) - 128) <= 1);
    // palette pictures come back with 24 bits
    Owned indexed(makeIndexedDib(6, 6, 4, dibcore::vgaPalette(), [](int x, int) { return x % 16; }));
    Owned wide(entry<ScaleDib_fn>("ScaleDib")(indexed.get(), 12, 12));
    QCOMPARE(bitCount(wide.get()), 24);
    QCOMPARE(pixel(wide.get(), 0, 0), pixel(indexed.get(), 0, 0));
}

void EffectsEngineTest::reduceDibPalettesAndDithering()
{
    // a grey ramp, 256 wide
    Owned ramp(makeDib(256, 16, 24, [](int x, int) { return qRgb(x, x, x); }));
    const auto reduce = entry<ReduceDib_fn>("ReduceDib");
    for (int dither : {1, 2, 4}) {
        Owned mono(reduce(ramp.get(), 1, static_cast<short>(dither), 0, 0, 0, nullptr, nullptr));
        QCOMPARE(bitCount(mono.get()), 1);
        QCOMPARE(palette(mono.get()).size(), std::size_t(2));
        // the share of white pixels follows the ramp in every 32-wide band
        for (int band = 0; band < 8; ++band) {
            int white = 0;
            for (int y = 0; y < 16; ++y)
                for (int x = band * 32; x < band * 32 + 32; ++x)
                    white += qRed(pixel(mono.get(), x, y)) == 255 ? 1 : 0;
            const double expected = (band * 32 + 15.5) / 255.0;
            QVERIFY2(std::abs(white / 512.0 - expected) < 0.08,
                     qPrintable(QStringLiteral("dither %1 band %2: %3").arg(dither).arg(band).arg(white / 512.0)));
        }
    }
    // without dithering a ramp splits in two halves
    Owned plain(reduce(ramp.get(), 1, 0, 0, 0, 0, nullptr, nullptr));
    QCOMPARE(pixel(plain.get(), 100, 3), qRgb(0, 0, 0));
    QCOMPARE(pixel(plain.get(), 160, 3), qRgb(255, 255, 255));

    // 4 bits of a grey picture: 16 greys; grey dither from colour too
    Owned four(reduce(ramp.get(), 4, 4, 0, 0, 0, nullptr, nullptr));
    QCOMPARE(bitCount(four.get()), 4);
    QVERIFY(dibcore::isGreyPalette(palette(four.get())));
    QVERIFY(std::abs(mean(four.get(), 1) - mean(ramp.get(), 1)) < 2.0);
    Owned colour(makeDib(64, 64, 24, [](int x, int y) { return qRgb(x * 4, y * 4, 255 - x * 2); }));
    Owned greyed(reduce(colour.get(), 8, 8, 0, 0, 0, nullptr, nullptr));
    QVERIFY(dibcore::isGreyPalette(palette(greyed.get())));

    // 8 bits: a picture with few colours keeps them exactly; many colours
    // get an optimal palette close to the picture
    Owned few(makeDib(20, 20, 24, [](int x, int) { return qRgb(x * 10, 3, 250 - x * 10); }));
    Owned exact(reduce(few.get(), 8, 4, 0, 0, 0, nullptr, nullptr));
    QVERIFY(samePixels(exact.get(), few.get()));
    Owned many(reduce(colour.get(), 8, 4, 0, 0, 0, nullptr, nullptr));
    QCOMPARE(palette(many.get()).size(), std::size_t(256));
    for (int c = 0; c < 3; ++c)
        QVERIFY(std::abs(mean(many.get(), c) - mean(colour.get(), c)) < 1.5);
    // the fixed palette option takes the colour cube
    Owned cube(reduce(colour.get(), 8, 0, 0, 0, 1, nullptr, nullptr));
    QVERIFY(palette(cube.get()) == dibcore::halftonePalette());
    QVERIFY(!reduce(colour.get(), 5, 0, 0, 0, 0, nullptr, nullptr));
}

void EffectsEngineTest::reduceColorsCountsColours()
{
    Owned colour(makeDib(64, 64, 24, [](int x, int y) { return qRgb(x * 4, y * 4, 128); }));
    for (auto [count, bits] : {std::pair{2, 1}, std::pair{5, 4}, std::pair{16, 4}, std::pair{100, 8}, std::pair{256, 8}}) {
        Owned reduced(entry<ILReduceColors_fn>("ILReduceColors")(colour.get(), count, 4));
        QCOMPARE(bitCount(reduced.get()), bits);
        std::set<QRgb> used;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                used.insert(pixel(reduced.get(), x, y));
        QVERIFY(int(used.size()) <= count);
        QVERIFY(int(used.size()) >= std::min(count, 4));
    }
    Owned grey(entry<ILReduceColors_fn>("ILReduceColors")(colour.get(), 10, 8));
    QVERIFY(dibcore::isGreyPalette(palette(grey.get())));
}

void EffectsEngineTest::scaleToGrayModes()
{
    // black text lines one pixel thick every 4 rows on white, 1 bit
    Owned lines(makeIndexedDib(64, 64, 1, dibcore::monoPalette(), [](int, int y) { return y % 4 == 0 ? 0 : 1; }));
    const auto gray = entry<ScaleToGray_fn>("ScaleToGray");
    int previous = -1;
    for (int mode : {1, 2, 3, 4}) {  // ink weights 0.8, 1.2, 2.0, 2.4 make it darker
        Owned small(gray(lines.get(), mode, 16, 16));
        QCOMPARE(bitCount(small.get()), 4);
        QVERIFY(dibcore::isGreyPalette(palette(small.get())));
        const int level = qRed(pixel(small.get(), 5, 5));
        QVERIFY(previous < 0 || level < previous);
        previous = level;
    }
    Owned anti(gray(lines.get(), 7, 16, 16));  // 256 greys, plain average: 3/4 white
    QCOMPARE(bitCount(anti.get()), 8);
    QVERIFY(std::abs(qRed(pixel(anti.get(), 3, 3)) - 191) <= 1);
    Owned anti16(gray(lines.get(), 6, 16, 16));
    QCOMPARE(qRed(pixel(anti16.get(), 3, 3)), 187);  // level 11 of 15
    Owned point(gray(lines.get(), 0, 16, 16));  // point sampled: whole rows
    QVERIFY(qRed(pixel(point.get(), 0, 0)) == 0 || qRed(pixel(point.get(), 0, 0)) == 255);
    Owned dark(gray(lines.get(), 5, 16, 16));
    QCOMPARE(bitCount(dark.get()), 8);
    QVERIFY(qRed(pixel(dark.get(), 3, 3)) < 191);
    QVERIFY(!gray(lines.get(), 8, 16, 16));
}

void EffectsEngineTest::blurSpreadsButKeepsLight()
{
    Owned flat(makeDib(50, 40, 24, [](int, int) { return qRgb(90, 120, 200); }));
    Owned same(entry<Blur_fn>("Blur")(flat.get(), 20, nullptr, nullptr, nullptr));
    QVERIFY(sameBytes(same.get(), flat.get()));

    Owned dot(makeDib(61, 61, 24, [](int x, int y) { return x == 30 && y == 30 ? qRgb(255, 255, 255) : qRgb(0, 0, 0); }));
    Owned spread(entry<Blur_fn>("Blur")(dot.get(), 8, nullptr, nullptr, nullptr));  // sigma 4
    double total = 0;
    for (int y = 0; y < 61; ++y)
        for (int x = 0; x < 61; ++x)
            total += qRed(pixel(spread.get(), x, y));
    QVERIFY(std::abs(total - 255.0) < 255.0 * 0.25);
    QVERIFY(qRed(pixel(spread.get(), 30, 30)) < 20);
    QCOMPARE(qRed(pixel(spread.get(), 34, 30)), qRed(pixel(spread.get(), 26, 30)));  // symmetric
    // rows and columns agree up to the rounding between passes
    QVERIFY(std::abs(qRed(pixel(spread.get(), 30, 34)) - qRed(pixel(spread.get(), 34, 30))) <= 1);
    QVERIFY(qRed(pixel(spread.get(), 30, 30)) >= qRed(pixel(spread.get(), 33, 30)));
}

void EffectsEngineTest::filtersDoWhatTheySay()
{
    // a hard vertical edge: black left half, white right half
    Owned edge(makeDib(20, 10, 24, [](int x, int) { return x < 10 ? qRgb(0, 0, 0) : qRgb(255, 255, 255); }));
    Owned found(entry<Edge_fn>("Edge")(edge.get(), 8, nullptr, nullptr, nullptr));
    QCOMPARE(pixel(found.get(), 2, 5), qRgb(0, 0, 0));
    QVERIFY(qRed(pixel(found.get(), 9, 5)) > 200);

    Owned grey(makeDib(20, 10, 24, [](int x, int) { return x < 10 ? qRgb(100, 100, 100) : qRgb(150, 150, 150); }));
    Owned sharper(entry<Better_fn>("Better")(grey.get(), 6, nullptr, nullptr, nullptr));
    QVERIFY(qRed(pixel(sharper.get(), 9, 5)) < 100);   // overshoot on the dark side
    QVERIFY(qRed(pixel(sharper.get(), 10, 5)) > 150);  // and on the light side
    Owned softer(entry<Better_fn>("Better")(grey.get(), -9, nullptr, nullptr, nullptr));
    QVERIFY(qRed(pixel(softer.get(), 9, 5)) > 100 && qRed(pixel(softer.get(), 10, 5)) < 150);
    Owned unchanged(entry<Better_fn>("Better")(grey.get(), 0, nullptr, nullptr, nullptr));
    QVERIFY(sameBytes(unchanged.get(), grey.get()));

    Owned relief(entry<Engrave_fn>("Engrave")(grey.get(), 1, nullptr, nullptr, nullptr));
    QCOMPARE(pixel(relief.get(), 3, 5), qRgb(128, 128, 128));
    QCOMPARE(pixel(relief.get(), 9, 5), qRgb(178, 178, 178));

    // despeckle removes a lone speck and nothing else
    Owned speck(makeDib(9, 9, 24, [](int x, int y) { return x == 4 && y == 4 ? qRgb(255, 255, 255) : qRgb(40, 40, 40); }));
    Owned clean(entry<PixelFix_fn>("PixelFix")(speck.get(), 50, nullptr, nullptr, nullptr));
    QCOMPARE(pixel(clean.get(), 4, 4), qRgb(40, 40, 40));
    Owned kept(entry<PixelFix_fn>("PixelFix")(speck.get(), 0, nullptr, nullptr, nullptr));
    QVERIFY(sameBytes(kept.get(), speck.get()));

    // threshold: black and white only, grey steps with anti-aliasing
    Owned ramp(makeDib(64, 4, 24, [](int x, int) { return qRgb(x * 4, x * 4, x * 4); }));
    Owned hard(entry<ThresholdDib_fn>("ThresholdDib")(ramp.get(), 128, 0, nullptr, nullptr, nullptr));
    QCOMPARE(pixel(hard.get(), 31, 1), qRgb(0, 0, 0));
    QCOMPARE(pixel(hard.get(), 32, 1), qRgb(255, 255, 255));
    Owned soft(entry<ThresholdDib_fn>("ThresholdDib")(ramp.get(), 128, 1, nullptr, nullptr, nullptr));
    QVERIFY(qRed(pixel(soft.get(), 32, 1)) > 0 && qRed(pixel(soft.get(), 32, 1)) < 255);

    // halftone: every channel is ink or paper, and the mean follows the tone
    Owned tone(makeDib(64, 64, 24, [](int, int) { return qRgb(64, 128, 192); }));
    Owned dots(entry<HToneImage_fn>("HToneImage")(tone.get(), 8, 30.0f, 0, nullptr, nullptr));
    for (int y = 0; y < 64; y += 7)
        for (int x = 0; x < 64; x += 5) {
            const QRgb c = pixel(dots.get(), x, y);
            QVERIFY((qRed(c) == 0 || qRed(c) == 255) && (qGreen(c) == 0 || qGreen(c) == 255));
        }
    QVERIFY(std::abs(mean(dots.get(), 2) - 64) < 20);
    QVERIFY(std::abs(mean(dots.get(), 0) - 192) < 20);

    // noise: repeatable, zero-mean, grey noise moves all channels alike
    Owned mid(makeDib(64, 64, 24, [](int, int) { return qRgb(128, 128, 128); }));
    Owned n1(entry<Noise_fn>("Noise")(mid.get(), 0, 1, 20, 20, 20, nullptr, nullptr, nullptr));
    Owned n2(entry<Noise_fn>("Noise")(mid.get(), 0, 1, 20, 20, 20, nullptr, nullptr, nullptr));
    QVERIFY(sameBytes(n1.get(), n2.get()));
    QVERIFY(std::abs(mean(n1.get(), 1) - 128) < 1.5);
    QCOMPARE(qRed(pixel(n1.get(), 7, 7)), qBlue(pixel(n1.get(), 7, 7)));
    QVERIFY(differingPixels(n1.get(), mid.get()) > 3000);

    // oil painting of radius 0 and motion of 0 change nothing
    Owned busy(patterned(20, 20));
    Owned oil0(entry<OilPainting_fn>("OilPainting")(busy.get(), 0, nullptr, nullptr, nullptr));
    QVERIFY(sameBytes(oil0.get(), busy.get()));
    Owned oil(entry<OilPainting_fn>("OilPainting")(edge.get(), 2, nullptr, nullptr, nullptr));
    QVERIFY(samePixels(oil.get(), edge.get()));  // two flat areas stay
    // a horizontal line blur leaves rows of a vertical ramp alone
    Owned rows(makeDib(20, 20, 24, [](int, int y) { return qRgb(y * 10, y * 10, y * 10); }));
    Owned moved(entry<Motion_fn>("Motion")(rows.get(), 9, 0, 3, nullptr, nullptr, nullptr));
    QVERIFY(samePixels(moved.get(), rows.get()));

    // fade: the border takes the colour, the middle stays
    Owned faded(entry<FadeDib_fn>("FadeDib")(busy.get(), 5, 255, 0, 0, nullptr, nullptr, nullptr));
    QCOMPARE(pixel(faded.get(), 0, 10), qRgb(255, 0, 0));
    QCOMPARE(pixel(faded.get(), 10, 10), pixel(busy.get(), 10, 10));

    // mosaic with smoothing: square tiles of one colour each
    Owned mosaic(entry<Mosaic_fn>("Mosaic")(busy.get(), 10, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, nullptr, nullptr, nullptr));
    QCOMPARE(pixel(mosaic.get(), 1, 1), pixel(mosaic.get(), 8, 8));
    QVERIFY(pixel(mosaic.get(), 1, 1) != pixel(mosaic.get(), 11, 1));

    // bleed with 0 and spray with 0 change nothing
    Owned bled(entry<Bled_fn>("Bled")(busy.get(), 0, nullptr, nullptr, nullptr));
    QVERIFY(sameBytes(bled.get(), busy.get()));
    Owned glow(entry<Bled_fn>("Bled")(busy.get(), 255, nullptr, nullptr, nullptr));
    QVERIFY(mean(glow.get(), 1) > mean(busy.get(), 1));
}

void EffectsEngineTest::distortionsMoveTheRightPixels()
{
    Owned busy(patterned(41, 41));
    // the centre of a pinch, whirl and polar wrap stays where it is
    Owned pinch(entry<PinchHole_fn>("PinchHole")(busy.get(), -20.0, nullptr, nullptr, nullptr));
    QCOMPARE(pixel(pinch.get(), 20, 20), pixel(busy.get(), 20, 20));
    QCOMPARE(pixel(pinch.get(), 0, 0), pixel(busy.get(), 0, 0));  // outside the ellipse
    QVERIFY(pixel(pinch.get(), 25, 20) != pixel(busy.get(), 25, 20));
    Owned none(entry<PinchHole_fn>("PinchHole")(busy.get(), 0.0, nullptr, nullptr, nullptr));
    QVERIFY(sameBytes(none.get(), busy.get()));
    Owned whirl(entry<Whirl_fn>("Whirl")(busy.get(), 90.0, nullptr, nullptr, nullptr));
    QCOMPARE(pixel(whirl.get(), 20, 20), pixel(busy.get(), 20, 20));

    // jiggle shifts whole rows: a picture of vertical stripes... of rows
    Owned rows(makeDib(40, 40, 24, [](int, int y) { return qRgb(y * 6, 0, 0); }));
    Owned jig(entry<Jiggle_fn>("Jiggle")(rows.get(), 10, 5, 0, nullptr, nullptr, nullptr));
    QVERIFY(samePixels(jig.get(), rows.get()));
    // a wave of whole periods with amplitude in tenths
    Owned cols(makeDib(40, 40, 24, [](int x, int) { return qRgb(0, x * 6, 0); }));
    Owned waved(entry<Wave_fn>("Wave")(cols.get(), 20.0, 40, 0.0, 1, 0, nullptr, nullptr, nullptr));
    // row 10: x moves by 2 x sin(pi / 2) = 2 pixels
    QCOMPARE(pixel(waved.get(), 5, 10), pixel(cols.get(), 7, 10));

    // polar wrap there and back keeps the middle of the picture recognisable
    Owned polar(entry<RecToPolar_fn>("RecToPolar")(busy.get(), 100, 0, 0, 0, nullptr, nullptr, nullptr));
    QVERIFY(differingPixels(polar.get(), busy.get()) > 41 * 41 / 2);

    // curl: the chosen corner shows the background colour
    const auto curl = entry<Curl_fn>("Curl");
    Owned curled(curl(busy.get(), 1, 0, 0, 0, 1, 1.0, 0, 0, 1, 0, 0, 0, 0, 255, 255, 255, 0, 90, 0, nullptr, nullptr, nullptr));
    QCOMPARE(pixel(curled.get(), 40, 40), qRgb(0, 90, 0));
    QCOMPARE(pixel(curled.get(), 0, 0), pixel(busy.get(), 0, 0));
    Owned kept(curl(busy.get(), 1, 0, 1, 0, 1, 1.0, 0, 1, 0, 0, 0, 0, 0, 255, 255, 255, 0, 90, 0, nullptr, nullptr, nullptr));
    QCOMPARE(pixel(kept.get(), 0, 40), pixel(busy.get(), 0, 40));  // picture kept under the curl
}

void EffectsEngineTest::dropDibPastesWithKeyAndClipping()
{
    Owned target(makeDib(10, 10, 24, [](int, int) { return qRgb(1, 2, 3); }));
    Owned source(makeDib(4, 4, 32, [](int x, int) { return x == 0 ? qRgb(0, 255, 0) : qRgb(200, 0, 0); }));
    const auto drop = entry<DropDib_fn>("DropDib");
    Owned merged(drop(target.get(), source.get(), -1, -1, -1, 2, 3));
    QCOMPARE(pixel(merged.get(), 3, 2), qRgb(0, 255, 0));
    QCOMPARE(pixel(merged.get(), 4, 5), qRgb(200, 0, 0));
    QCOMPARE(pixel(merged.get(), 7, 2), qRgb(1, 2, 3));
    QCOMPARE(pixel(merged.get(), 4, 6), qRgb(1, 2, 3));
    Owned keyed(drop(target.get(), source.get(), 0, 255, 0, 2, 3));  // green is the key
    QCOMPARE(pixel(keyed.get(), 3, 2), qRgb(1, 2, 3));
    Owned clipped(drop(target.get(), source.get(), -1, -1, -1, -2, 8));
    QCOMPARE(pixel(clipped.get(), 8, 0), qRgb(0, 255, 0));
    QCOMPARE(pixel(clipped.get(), 9, 1), qRgb(200, 0, 0));
    QCOMPARE(pixel(clipped.get(), 9, 2), qRgb(1, 2, 3));
    Owned away(drop(target.get(), source.get(), -1, -1, -1, 100, -100));
    QVERIFY(sameBytes(away.get(), target.get()));
}

namespace {

int framesSeen = 0;
int frameLimit = 100;
int onFrame(GlobalHandle frame, void*)
{
    ++framesSeen;
    return globalmem::isValid(frame) && framesSeen < frameLimit ? 1 : 0;
}

}  // namespace

void EffectsEngineTest::warpSendsFrames()
{
    Owned busy(patterned(32, 32));
    const auto warp = entry<Warp_fn>("Warp");
    framesSeen = 0;
    frameLimit = 100;
    Owned warped(warp(busy.get(), 1, 1, 1, 20, 90, 4, 10, nullptr, nullptr, onFrame));
    QVERIFY(warped.get());
    QCOMPARE(framesSeen, 3);
    QVERIFY(differingPixels(warped.get(), busy.get()) > 100);
    framesSeen = 0;
    frameLimit = 2;  // the second frame answers 0
    QVERIFY(!warp(busy.get(), 1, 1, 1, 20, 90, 4, 10, nullptr, nullptr, onFrame));
    QCOMPARE(framesSeen, 2);
    Owned still(warp(busy.get(), 0, 0, 0, 20, 90, 4, 0, nullptr, nullptr, nullptr));
    QVERIFY(sameBytes(still.get(), busy.get()));
}

void EffectsEngineTest::tileAndExtrude()
{
    Owned quad(makeDib(8, 6, 24, [](int x, int y) { return qRgb(x < 4 ? 200 : 0, y < 3 ? 200 : 0, 50); }));
    Owned tiled(entry<TileDib_fn>("TileDib")(quad.get(), nullptr, nullptr));
    QCOMPARE(width(tiled.get()), 8);
    QCOMPARE(pixel(tiled.get(), 0, 0), qRgb(200, 200, 50));
    QCOMPARE(pixel(tiled.get(), 4, 0), qRgb(200, 200, 50));
    QCOMPARE(pixel(tiled.get(), 4, 3), qRgb(200, 200, 50));
    QCOMPARE(pixel(tiled.get(), 3, 2), qRgb(0, 0, 50));

    Owned flat(makeDib(16, 16, 24, [](int, int) { return qRgb(100, 100, 100); }));
    Owned blocks(entry<ExtrudeDib_fn>("ExtrudeDib")(flat.get(), 0, 2, nullptr, nullptr));  // 8-pixel blocks
    QVERIFY(qRed(pixel(blocks.get(), 0, 4)) > 100);   // lit left side
    QVERIFY(qRed(pixel(blocks.get(), 7, 4)) < 100);   // shaded right side
    QCOMPARE(pixel(blocks.get(), 4, 4), qRgb(100, 100, 100));
}

void EffectsEngineTest::transitionsCoverThePicture_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("thickness");
    for (const char* n : {"FXSkipHorizontal", "FXSkipVertical", "FXSkipDiagonals", "FXSkipDiagonalSquares", "FXSkipRectangles"}) {
        QTest::newRow(qPrintable(QStringLiteral("%1 1").arg(n))) << QString::fromLatin1(n) << 1;
        QTest::newRow(qPrintable(QStringLiteral("%1 7").arg(n))) << QString::fromLatin1(n) << 7;
    }
}

void EffectsEngineTest::transitionsCoverThePicture()
{
    QFETCH(QString, name);
    QFETCH(int, thickness);
    Recorder rec;
    rec.w = 53;
    rec.h = 31;
    rec.covered.assign(std::size_t(rec.w * rec.h), 0);
    const IspCanvas canvas{&rec, Recorder::blit, Recorder::wait};
    const IspPicture picture{nullptr, rec.w, rec.h};
    int result;
    if (name == QLatin1String("FXSkipRectangles"))
        result = entry<FXSkipRectangles_fn>("FXSkipRectangles")(&canvas, &picture, 0);
    else
        result = reinterpret_cast<FXSkipHorizontal_fn>(ModuleLoader::symbol(engine(), qPrintable(name)))(
            &canvas, &picture, thickness, 0);
    QCOMPARE(result, 1);
    for (int c : rec.covered)
        QCOMPARE(c, 1);  // every pixel drawn exactly once
    QVERIFY(rec.waits >= 2);
    if (name == QLatin1String("FXSkipHorizontal")) {
        // strips 0, 2, 4 ... first
        QCOMPARE(rec.pieces[0], (std::array<int, 4>{0, 0, 53, thickness}));
        QCOMPARE(rec.pieces[1], (std::array<int, 4>{0, 2 * thickness, 53, thickness}));
    }
}

void EffectsEngineTest::transitionStops()
{
    Recorder rec;
    rec.w = 20;
    rec.h = 20;
    rec.covered.assign(400, 0);
    rec.stopAfter = 2;
    const IspCanvas canvas{&rec, Recorder::blit, Recorder::wait};
    const IspPicture picture{nullptr, 20, 20};
    QCOMPARE(entry<FXSkipVertical_fn>("FXSkipVertical")(&canvas, &picture, 2, 0), 0);
    QCOMPARE(rec.waits, 3);
    const IspPicture empty{nullptr, 0, 20};
    QCOMPARE(entry<FXSkipVertical_fn>("FXSkipVertical")(&canvas, &empty, 2, 0), 0);
    QCOMPARE(entry<FXSkipVertical_fn>("FXSkipVertical")(nullptr, &picture, 2, 0), 0);
}

QTEST_GUILESS_MAIN(EffectsEngineTest)
#include "tst_effectsengine.moc"
