// The effects binding: the common frame, the calls outside it, the bitmap
// effects, the transitions and the undo ring.

#include "dibfixtures.h"

#include "codec/binding/codecmodule.h"
#include "codec/binding/codecstate.h"
#include "codec/binding/dibconvert.h"
#include "codec/binding/errorinvalid.h"
#include "codec/binding/tbitmap.h"
#include "effects/effectcalls.h"
#include "effects/effectsmodule.h"
#include "effects/effectssession.h"
#include "effects/effectsstate.h"
#include "effects/graphiceffects.h"
#include "effects/transitioncalls.h"
#include "effects/undoring.h"
#include "platform/colors.h"
#include "platform/messagebox.h"
#include "platform/moduleloader.h"

#include <QPainter>
#include <QtTest>

using namespace fixtures;

namespace {

// Points the binding at the stand-in module for the length of a test.
class FakeModule {
public:
    FakeModule()
    {
        EffectsModule::unload();
        CodecModule::setLibraryFolder(QStringLiteral(KV_FAKE_MODULE_DIR));
        EffectsModule::setModuleName(QStringLiteral("fakeisp.so"));
    }
    ~FakeModule()
    {
        EffectsModule::unload();
        CodecModule::setLibraryFolder(QString());
        EffectsModule::setModuleName(QString::fromLatin1(EffectsModule::kDefaultName));
    }
    static int recorded(int index)
    {
        void* h = ModuleLoader::load(QStringLiteral("fakeisp.so"), QStringLiteral(KV_FAKE_MODULE_DIR));
        const auto fn = reinterpret_cast<int (*)(int)>(ModuleLoader::symbol(h, "FakeIspRecorded"));
        const int v = fn ? fn(index) : -12345;
        ModuleLoader::unload(h);
        return v;
    }
};

TBitmap bitmapOf(QRgb colour, int w = 6, int h = 4)
{
    QImage img(w, h, QImage::Format_RGB888);
    img.fill(colour);
    return TBitmap(img, pf24bit);
}

short stopAtOnce(short, void*)
{
    return 0;
}

}  // namespace

class EffectsBindingTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup();
    void lowDepthPicturesComeBackAtTheirDepth();
    void wholePictureWhenRightOrBottomIsZero();
    void operationTextNamesTheCall();
    void stopAndLeaks();
    void noiseNeedsAllThreeAmounts();
    void scaleDibResultDepth();
    void inPlaceCalls();
    void rotateAdaptsDepthAndResolvesColours();
    void reduceCalls();
    void increaseDepthRules();
    void dropDibAdaptsBothPictures();
    void moduleExceptionShowsMessage();
    void reduceColorsArguments();
    void loadingErrorNamesTheModule();
    void graphicEffectsAndSnapshots();
    void undoRingKeepsFourSteps();
    void transitionsDrawThePicture();
    void helpFileLocation();
};

void EffectsBindingTest::cleanup()
{
    ClearUndo();
    MessageBox::setScript({});
}

void EffectsBindingTest::lowDepthPicturesComeBackAtTheirDepth()
{
    for (int bits : {1, 4, 8}) {
        const int colours = 1 << bits;
        Owned dib(makeIndexedDib(24, 16, bits, dibcore::greyPalette(colours),
                                 [colours](int x, int y) { return (x / 3 + y) % 2 ? colours - 1 : 0; }));
        Owned before(dibcore::copyBlock(dib.get()));
        Owned blurred(Blur(dib.get(), 0, 0, 0, 0, 3));
        QVERIFY(blurred.get());
        QCOMPARE(bitCount(blurred.get()), bits == 1 ? 4 : bits);
        QVERIFY(sameBytes(dib.get(), before.get()));  // input untouched
        QVERIFY2(differingPixels(blurred.get(), dib.get()) > 0, qPrintable(QString::number(bits)));
    }
    // 16-bit pictures have no reducer: they come back with 24 bits
    GlobalHandle sixteen = dibcore::allocDib(8, 8, 16);
    Owned guard(sixteen);
    Owned grey(GrayArea(sixteen, 0, 0, 0, 0));
    QCOMPARE(bitCount(grey.get()), 24);
}

void EffectsBindingTest::wholePictureWhenRightOrBottomIsZero()
{
    Owned dib(patterned(30, 20));
    Owned whole(Blur(dib.get(), 0, 0, 30, 20, 4));
    Owned zeroRight(Blur(dib.get(), 0, 0, 0, 10, 4));
    Owned zeroBottom(Blur(dib.get(), 0, 0, 15, 0, 4));
    QVERIFY(sameBytes(whole.get(), zeroRight.get()));
    QVERIFY(sameBytes(whole.get(), zeroBottom.get()));
    Owned part(Blur(dib.get(), 0, 0, 15, 10, 4));
    QVERIFY(!sameBytes(whole.get(), part.get()));
    QVERIFY(samePixels(part.get(), dib.get(), 0, 0, 15, 10));
}

void EffectsBindingTest::operationTextNamesTheCall()
{
    Owned dib(patterned(10, 10));
    const auto check = [&](GlobalHandle result, const char* text) {
        Owned guard(result);
        QVERIFY(result);
        QCOMPARE(OperationText(), QString::fromLatin1(text));
    };
    check(Blur(dib.get(), 0, 0, 0, 0, 2), "Blurring Image ");
    check(Better(dib.get(), 0, 0, 0, 0, 2), "Sharpen Image ");
    check(PixelFix(dib.get(), 0, 0, 0, 0, 50), "Despeckling Image ");
    check(Warp(dib.get(), true, true, true, 20, 90, 2, 10), "Warp disolve Image ");
    check(HToneImage(dib.get(), 4, 45.0f, 5), "Half Toning Image ");
    check(ScaleDib(dib.get(), 5, 5, 24), "Resizing Image");
    check(ScaleToGray(dib.get(), S_Gray_Anti_16, 5, 5), "Scaling Image To Gray");
    check(ILBrightness(dib.get(), 5), "Brighten Image ");
    check(ILMirror(dib.get(), true, false), "Mirroring Image ");
    GlobalHandle h = dibcore::copyBlock(dib.get());
    QVERIFY(ILInvert(h));
    QCOMPARE(OperationText(), QStringLiteral("Inverting Image"));
    FreeDIB(h);
}

void EffectsBindingTest::stopAndLeaks()
{
    // the stop answer ends the call with no picture, also through the
    // 24-bit copy of a palette picture (LeakSanitizer checks the rest)
    Owned dib(makeIndexedDib(40, 30, 8, dibcore::greyPalette(256), [](int x, int y) { return (x * y) % 256; }));
    QVERIFY(!Blur(dib.get(), 0, 0, 0, 0, 5, nullptr, stopAtOnce));
    QVERIFY(!OilPainting(dib.get(), 0, 0, 0, 0, 3, nullptr, stopAtOnce));
    QVERIFY(!TileDib(dib.get(), nullptr, stopAtOnce));
    QVERIFY(!ReduceDib(dib.get(), 4, 4, 0, 0, nullptr, stopAtOnce));

    // the in-place calls report a stop or a refusal as a failure; below 24
    // bits the variable keeps its picture, unchanged
    const GlobalHandle original = dib.get();
    Owned before(dibcore::copyBlock(original));
    QVERIFY(!ilHueAndSaturation(dib.ref(), HueChannels{}, 120, 0, 0, nullptr, nullptr, stopAtOnce));
    QVERIFY(dib.get() == original);
    QVERIFY(sameBytes(dib.get(), before.get()));
    Owned wide(makeDib(6, 6, 24, [](int x, int y) { return qRgb(x * 40, y * 40, 90); }));
    QVERIFY(!ilHueAndSaturation(wide.ref(), HueChannels{}, 120, 0, 0, nullptr, nullptr, stopAtOnce));
    GlobalHandle rle = dibcore::copyBlock(wide.get());
    dibcore::putLe32(static_cast<std::uint8_t*>(globalmem::lock(rle)) + 16, 1);  // RLE at 24 bits
    globalmem::unlock(rle);
    QVERIFY(!ILInvert(rle));
    FreeDIB(rle);
}

void EffectsBindingTest::noiseNeedsAllThreeAmounts()
{
    Owned dib(patterned(10, 10));
    QVERIFY(!Noise(dib.get(), 0, 0, 0, 0, true, false, 0, 20, 20));
    QVERIFY(!Noise(dib.get(), 0, 0, 0, 0, true, false, 20, 20, 0));
    Owned noisy(Noise(dib.get(), 0, 0, 0, 0, true, false, 20, 20, 20));
    QVERIFY(noisy.get());
}

void EffectsBindingTest::scaleDibResultDepth()
{
    Owned dib(makeIndexedDib(20, 20, 8, dibcore::vgaPalette(), [](int x, int) { return x % 16; }));
    Owned own(ScaleDib(dib.get(), 10, 10, 8));
    QCOMPARE(bitCount(own.get()), 8);
    Owned wide(ScaleDib(dib.get(), 10, 10, 24));
    QCOMPARE(bitCount(wide.get()), 24);
    Owned mono(makeIndexedDib(16, 16, 1, dibcore::monoPalette(), [](int x, int) { return x % 2; }));
    Owned monoScaled(ScaleDib(mono.get(), 8, 8, 1));
    QCOMPARE(bitCount(monoScaled.get()), 1);
}

void EffectsBindingTest::inPlaceCalls()
{
    // brightness at 24 bits changes the input and answers a copy
    Owned dib(makeDib(4, 4, 24, [](int, int) { return qRgb(100, 100, 100); }));
    Owned brighter(ILBrightness(dib.get(), 400));  // limited to 255
    QCOMPARE(pixel(dib.get(), 0, 0), qRgb(255, 255, 255));
    QVERIFY(sameBytes(brighter.get(), dib.get()));
    // below 24 bits the input stays and the answer keeps the depth
    Owned indexed(makeIndexedDib(4, 4, 8, dibcore::greyPalette(256), [](int, int) { return 100; }));
    Owned before(dibcore::copyBlock(indexed.get()));
    Owned gamma(ILGamma(indexed.get(), 5));  // limited to 1.0
    QCOMPARE(bitCount(gamma.get()), 8);
    QCOMPARE(pixel(gamma.get(), 1, 1), qRgb(100, 100, 100));
    QVERIFY(sameBytes(indexed.get(), before.get()));
    Owned darker(ILBrightness(indexed.get(), -50));
    QCOMPARE(pixel(darker.get(), 1, 1), qRgb(50, 50, 50));

    // mirror changes the picture and answers a copy of it
    Owned two(makeDib(2, 1, 24, [](int x, int) { return x ? qRgb(9, 9, 9) : qRgb(1, 1, 1); }));
    Owned mirrored(ILMirror(two.get(), false, true));
    QCOMPARE(pixel(two.get(), 0, 0), qRgb(9, 9, 9));
    QVERIFY(sameBytes(mirrored.get(), two.get()));

    // hue and saturation on a palette picture: replaced at its depth
    GlobalHandle h = makeIndexedDib(4, 4, 4, dibcore::vgaPalette(), [](int x, int) { return 9 + x % 2; });
    const GlobalHandle original = h;
    QVERIFY(ilHueAndSaturation(h, HueChannels{}, 120, 0, 0, nullptr));
    QVERIFY(h != original);
    QCOMPARE(bitCount(h), 4);
    QCOMPARE(pixel(h, 0, 0), qRgb(0, 255, 0));  // red turned green
    FreeDIB(h);
}

void EffectsBindingTest::rotateAdaptsDepthAndResolvesColours()
{
    GlobalHandle h = makeIndexedDib(6, 4, 8, dibcore::vgaPalette(), [](int x, int y) { return (x + y) % 16; });
    Owned before(dibcore::copyBlock(h));
    QVERIFY(ILRotate(h, 0, 0, 0, 0, 90.0, colors::kButtonFace));
    QCOMPARE(bitCount(h), 8);
    QCOMPARE(width(h), 4);
    QCOMPARE(pixel(h, 0, 0), pixel(before.get(), 5, 0));
    QVERIFY(ILRotate(h, 0, 0, 0, 0, -90.0, 0));
    QVERIFY(samePixels(h, before.get()));
    FreeDIB(h);

    FakeModule fake;
    Owned dib(patterned(5, 5));
    GlobalHandle r = dibcore::copyBlock(dib.get());
    QVERIFY(ILRotate(r, 0, 0, 0, 0, 30.0, colors::kButtonFace));
    const QColor face = colors::toQColor(colors::kButtonFace);
    QCOMPARE(FakeModule::recorded(2), int(colors::fromQColor(face)));
    QVERIFY(!colors::isSystemColour(FakeModule::recorded(2)));
    FreeDIB(r);
}

void EffectsBindingTest::reduceCalls()
{
    QVERIFY(!ReduceDib(nullptr, 8, 0, 0, 0));
    // 32 bits go through 24 bits first, then the module reduces
    Owned deep(patterned(16, 16, 32));
    Owned eight(ReduceDib(deep.get(), 8, 4, 0, 0));
    QCOMPARE(bitCount(eight.get()), 8);
    Owned rgb(ReduceDib(deep.get(), 24, 0, 0, 0));
    QCOMPARE(bitCount(rgb.get()), 24);

    // ILReduceColors takes the picture: a 32-bit input is replaced
    GlobalHandle h = patterned(16, 16, 32);
    GlobalHandle reduced = ILReduceColors(h, 256, IL_FLOYD);
    QCOMPARE(bitCount(reduced), 8);
    FreeDIB(reduced);
}

void EffectsBindingTest::increaseDepthRules()
{
    Owned one(makeIndexedDib(8, 8, 1, dibcore::monoPalette(), [](int x, int) { return x % 2; }));
    Owned four(makeIndexedDib(8, 8, 4, dibcore::vgaPalette(), [](int x, int) { return x; }));
    Owned eight(makeIndexedDib(8, 8, 8, dibcore::vgaPalette(), [](int x, int) { return x; }));
    Owned rgb(patterned(8, 8));
    for (auto [from, to, bits] : {std::tuple{one.get(), 4, 4}, std::tuple{one.get(), 8, 8}, std::tuple{one.get(), 24, 24},
                                 std::tuple{four.get(), 8, 8}, std::tuple{four.get(), 24, 24},
                                 std::tuple{eight.get(), 24, 24}}) {
        Owned wider(IncreaseDepth(from, to));
        QCOMPARE(bitCount(wider.get()), bits);
        QVERIFY(samePixels(wider.get(), from));
    }
    QVERIFY(!IncreaseDepth(rgb.get(), 24));
    QVERIFY(!IncreaseDepth(eight.get(), 8));
    QVERIFY(!IncreaseDepth(eight.get(), 4));
    QVERIFY(!IncreaseDepth(four.get(), 16));
}

void EffectsBindingTest::dropDibAdaptsBothPictures()
{
    Owned target(makeIndexedDib(10, 10, 8, dibcore::vgaPalette(), [](int, int) { return 1; }));
    Owned source(makeIndexedDib(3, 3, 4, dibcore::vgaPalette(), [](int, int) { return 12; }));
    Owned merged(DropDib(target.get(), source.get(), -1, -1, -1, 2, 4));
    QCOMPARE(bitCount(merged.get()), 8);
    QCOMPARE(pixel(merged.get(), 5, 3), pixel(source.get(), 0, 0));
    QCOMPARE(pixel(merged.get(), 0, 0), pixel(target.get(), 0, 0));
    Owned deep(patterned(10, 10, 32));
    Owned onDeep(DropDib(deep.get(), source.get(), -1, -1, -1, 0, 0));
    QCOMPARE(bitCount(onDeep.get()), 32);
    QCOMPARE(pixel(onDeep.get(), 1, 1), pixel(source.get(), 0, 0));
}

void EffectsBindingTest::moduleExceptionShowsMessage()
{
    FakeModule fake;
    QStringList shown;
    MessageBox::setScript([&](const MessageBox::Request& r) {
        shown << r.text;
        return QMessageBox::Ok;
    });
    Owned dib(patterned(5, 5));
    QVERIFY(!Blur(dib.get(), 0, 0, 0, 0, 3));
    QCOMPARE(shown, QStringList{QStringLiteral("An exception error occured in the piclib dll. We recommend to exit "
                                               "the application and to restart it by clicking its icon!")});
    // a missing entry answers nothing, quietly
    QVERIFY(!Edge(dib.get(), 0, 0, 0, 0, 3));
    QCOMPARE(shown.size(), 1);
    QVERIFY(FakeModule::recorded(-1) > 0);  // DllInit ran before the lookups
}

void EffectsBindingTest::reduceColorsArguments()
{
    FakeModule fake;
    struct Case {
        int count;
        TSortDither dither;
        int passedCount;
        int passedDither;
    };
    for (const Case& c : {Case{256, IL_BAYER, 255, 1}, Case{1, IL_BURKES, 2, 2}, Case{17, IL_FLOYD, 17, 4},
                          Case{300, IL_GRAYSCALE, 255, 8}}) {
        GlobalHandle h = patterned(4, 4);
        GlobalHandle out = ILReduceColors(h, c.count, c.dither);
        QVERIFY(out != h);
        QCOMPARE(FakeModule::recorded(0), c.passedCount);
        QCOMPARE(FakeModule::recorded(1), c.passedDither);
        FreeDIB(out);
    }
    // an answer of 9 bytes or less leaves the input
    GlobalHandle h = patterned(4, 4);
    QCOMPARE(ILReduceColors(h, 3, IL_BAYER), h);
    FreeDIB(h);
}

void EffectsBindingTest::loadingErrorNamesTheModule()
{
    EffectsModule::unload();
    EffectsModule::setModuleName(QStringLiteral("NOSUCH.so"));
    Owned dib(patterned(4, 4));
    try {
        Owned out(Blur(dib.get(), 0, 0, 0, 0, 2));
        QFAIL("no error");
    } catch (const ErrorInvalid& e) {
        QCOMPARE(e.message(), QStringLiteral("Can't load NOSUCH.so. Make sure its located in the application's searchpath."));
    }
    EffectsModule::setModuleName(QString::fromLatin1(EffectsModule::kDefaultName));
    Owned out(Blur(dib.get(), 0, 0, 0, 0, 2));
    QVERIFY(out.get());
}

void EffectsBindingTest::graphicEffectsAndSnapshots()
{
    TBitmap picture = bitmapOf(qRgb(10, 20, 30));
    QVERIFY(InvertGraphic(&picture, true));
    QCOMPARE(picture.image().pixel(2, 2), qRgb(245, 235, 225));
    QVERIFY(UndoAvailable());
    TBitmap back;
    PopUndo(back);
    QCOMPARE(back.image().pixel(2, 2), qRgb(10, 20, 30));

    QVERIFY(RotateGraphic(&picture, 0, 0, 0, 0, 90.0, 0));
    QCOMPARE(picture.width(), 4);
    QCOMPARE(picture.height(), 6);
    QVERIFY(!UndoAvailable());

    TBitmap colour = bitmapOf(qRgb(200, 0, 0), 8, 8);
    QVERIFY(GrayAreaGraphic(&colour, 0, 0, 4, 8, true));
    QCOMPARE(colour.image().pixel(1, 1), qRgb(60, 60, 60));
    QCOMPARE(colour.image().pixel(6, 1), qRgb(200, 0, 0));
    QVERIFY(UndoAvailable());

    TBitmap empty;
    QVERIFY_THROWS_EXCEPTION(ErrorInvalid, InvertGraphic(&empty, false));
    QVERIFY_THROWS_EXCEPTION(ErrorInvalid, RotateGraphic(nullptr, 0, 0, 0, 0, 90, 0));

    Owned atFour(BitmapToDibAtDepth(bitmapOf(qRgb(255, 0, 0)), 4));
    QCOMPARE(bitCount(atFour.get()), 4);
    QCOMPARE(pixel(atFour.get(), 0, 0), qRgb(255, 0, 0));
}

void EffectsBindingTest::undoRingKeepsFourSteps()
{
    for (int i = 1; i <= 5; ++i)
        PushUndo(bitmapOf(qRgb(i * 10, 0, 0)));
    TBitmap target = bitmapOf(qRgb(1, 2, 3));
    for (int i = 5; i >= 2; --i) {
        QVERIFY(UndoAvailable());
        PopUndo(target);
        QCOMPARE(target.image().pixel(0, 0), qRgb(i * 10, 0, 0));
    }
    QVERIFY(!UndoAvailable());
    PopUndo(target);  // the fifth pop leaves the bitmap alone
    QCOMPARE(target.image().pixel(0, 0), qRgb(20, 0, 0));
}

void EffectsBindingTest::transitionsDrawThePicture()
{
    QImage source(37, 23, QImage::Format_RGB32);
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 37; ++x)
            source.setPixel(x, y, qRgb(x * 6, y * 10, 77));
    for (TFXMethod m : {FXHorizontal, FXVertical, FXDiagonal, FXDiagonalSquares, FXRectangles}) {
        QImage target(37, 23, QImage::Format_RGB32);
        target.fill(Qt::black);
        int pauses = 0;
        {
            QPainter p(&target);
            QVERIFY(PlayTransition(m, p, source, 3, 0, [&](int ms) {
                ++pauses;
                return ms == 0;
            }));
        }
        QCOMPARE(target, source);
        QVERIFY(pauses > 1);
        QCOMPARE(OperationText(), QStringLiteral("Transition Image "));
    }
    QImage target(37, 23, QImage::Format_RGB32);
    target.fill(Qt::black);
    bool queuedRan = false;
    QMetaObject::invokeMethod(qApp, [&] { queuedRan = true; }, Qt::QueuedConnection);
    {
        QPainter p(&target);
        QVERIFY(FXSkipHorizontal(p, source, 3, 0));  // the default pause lets events run
    }
    QCOMPARE(target, source);
    QVERIFY(queuedRan);
    target.fill(Qt::black);
    QPainter p(&target);
    QVERIFY(!PlayTransition(FXNone, p, source, 3, 0));
    QVERIFY(!FXSkipHorizontal(p, source, 3, 0, [](int) { return false; }));  // stopped
}

// A program's effects session: the help page is fixed from its start; at
// its end the module is unloaded and the undo ring is empty.
void EffectsBindingTest::helpFileLocation()
{
    ShutdownEffects();
    {
        const EffectsSession session;
        QVERIFY(EffectsHelpFile().endsWith(QStringLiteral("/effects.html")));
        TBitmap picture = bitmapOf(qRgb(10, 20, 30));
        QVERIFY(InvertGraphic(&picture, true));
        QVERIFY(EffectsModule::isLoaded());
        QVERIFY(UndoAvailable());
    }
    QVERIFY(EffectsHelpFile().isEmpty());
    QVERIFY(!EffectsModule::isLoaded());
    QVERIFY(!UndoAvailable());
}

QTEST_MAIN(EffectsBindingTest)
#include "tst_effectsbinding.moc"
