// glimra-tool effect NAME [ARG...] [--rect L,T,R,B] IN OUT: one effect of
// the effects binding on a picture file. The ARGs are the call's own
// inputs, as numbers, in the order the binding takes them; OUT is written
// by its extension (BMP and DIB as they are, PNG and JPEG through Qt,
// others through the codec binding's encoders, see picturewriter.h).

#include "picturefile.h"
#include "picturewriter.h"
#include "toolcommands.h"
#include "toolerror.h"

#include "codec/binding/codecwrappers.h"
#include "codec/binding/dibconvert.h"
#include "codec/binding/tbitmap.h"
#include "effects/effectcalls.h"

#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QtEndian>

#include <cmath>
#include <cstring>
#include <functional>
#include <optional>

namespace {

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// One effect: the numbers it takes, one letter each ('n' any number, 'b' an
// 8-bit value 0..255, 's' a 16-bit value -32768..32767), whether it takes a
// rectangle and how it runs. run answers the new picture or null; it may
// replace `dib`.
struct EffectSpec {
    const char* name;
    const char* args;
    bool rect;
    std::function<GlobalHandle(GlobalHandle& dib, const Rect& r, const std::vector<double>& a)> run;
};

int i(double v)
{
    return static_cast<int>(v);
}

// The numbers were checked against the effect's args before it runs.
qint16 s(double v)
{
    return static_cast<qint16>(v);
}

quint8 b(double v)
{
    return static_cast<quint8>(v);
}

// Whether v can be passed as an argument of kind.
bool fitsKind(double v, char kind)
{
    switch (kind) {
    case 'b':
        return v == std::trunc(v) && v >= 0 && v <= 255;
    case 's':
        return v == std::trunc(v) && v >= -32768 && v <= 32767;
    default:
        return true;
    }
}

const char* kindText(char kind)
{
    return kind == 'b' ? "a whole number from 0 to 255" : "a whole number from -32768 to 32767";
}

// A call that changes the picture held by dib: the changed picture is the
// result.
GlobalHandle taken(GlobalHandle& dib, bool ok)
{
    if (!ok)
        return nullptr;
    GlobalHandle out = dib;
    dib = nullptr;
    return out;
}

#define RECT_CALL(Fn, args, ...)                                                                       \
    EffectSpec                                                                                         \
    {                                                                                                  \
        #Fn, args, true, [](GlobalHandle& d, const Rect& r, const std::vector<double>& a) {            \
            (void)a;                                                                                   \
            return Fn(d, r.left, r.top, r.right, r.bottom __VA_OPT__(, ) __VA_ARGS__);                 \
        }                                                                                              \
    }

const std::vector<EffectSpec>& effectSpecs()
{
    static const std::vector<EffectSpec> specs = {
        RECT_CALL(Blur, "n", i(a[0])),
        RECT_CALL(OilPainting, "n", i(a[0])),
        RECT_CALL(Engrave, "n", i(a[0])),
        RECT_CALL(Bled, "n", i(a[0])),
        RECT_CALL(Edge, "n", i(a[0])),
        RECT_CALL(Better, "n", i(a[0])),
        RECT_CALL(PixelFix, "n", i(a[0])),
        RECT_CALL(PinchHole, "n", a[0]),
        RECT_CALL(Whirl, "n", a[0]),
        RECT_CALL(AutoContrast, ""),
        RECT_CALL(GrayArea, ""),
        RECT_CALL(Spray, "nn", i(a[0]), i(a[1])),
        RECT_CALL(Jiggle, "nns", i(a[0]), i(a[1]), s(a[2])),
        RECT_CALL(Motion, "nns", i(a[0]), i(a[1]), s(a[2])),
        RECT_CALL(RecToPolar, "nnnn", i(a[0]), i(a[1]), a[2] != 0, a[3] != 0),
        RECT_CALL(ThresholdDib, "nn", i(a[0]), a[1] != 0),
        RECT_CALL(FadeDib, "nnnn", i(a[0]), i(a[1]), i(a[2]), i(a[3])),
        RECT_CALL(Enhance, "nnnnn", i(a[0]), i(a[1]), i(a[2]), i(a[3]), i(a[4])),
        RECT_CALL(Noise, "nnnnn", a[0] != 0, a[1] != 0, i(a[2]), i(a[3]), i(a[4])),
        RECT_CALL(Wave, "nnnnn", a[0], i(a[1]), a[2], a[3] != 0, a[4] != 0),
        RECT_CALL(Mosaic, "nnnnnnnnbbbbbb", i(a[0]), i(a[1]), i(a[2]), i(a[3]), i(a[4]), a[5] != 0, i(a[6]),
                  i(a[7]), b(a[8]), b(a[9]), b(a[10]), b(a[11]), b(a[12]), b(a[13])),
        {"Curl", "nnnnnnnnnnnnnbbbbbb", true,
         [](GlobalHandle& d, const Rect& r, const std::vector<double>& a) {
             CurlOptions o;
             o.backUsesBackground = a[0] != 0;
             o.backUsesForeground = a[1] != 0;
             o.keepPicture = a[2] != 0;
             o.shadowUsesBackground = a[3] != 0;
             o.shadowUsesForeground = a[4] != 0;
             o.shadowTransparency = a[5];
             o.shadeUnder = a[6] != 0;
             o.leftBottom = a[7] != 0;
             o.rightBottom = a[8] != 0;
             o.leftTop = a[9] != 0;
             o.rightTop = a[10] != 0;
             o.vertical = a[11] != 0;
             o.horizontal = a[12] != 0;
             o.foreRed = b(a[13]), o.foreGreen = b(a[14]), o.foreBlue = b(a[15]);
             o.backRed = b(a[16]), o.backGreen = b(a[17]), o.backBlue = b(a[18]);
             return Curl(d, r.left, r.top, r.right, r.bottom, o);
         }},
        {"HToneImage", "nnn", false,
         [](GlobalHandle& d, const Rect&, const std::vector<double>& a) {
             return HToneImage(d, i(a[0]), static_cast<float>(a[1]), i(a[2]));
         }},
        {"TileDib", "", false, [](GlobalHandle& d, const Rect&, const std::vector<double>&) { return TileDib(d); }},
        {"ExtrudeDib", "nn", false,
         [](GlobalHandle& d, const Rect&, const std::vector<double>& a) { return ExtrudeDib(d, a[0] != 0, i(a[1])); }},
        {"Warp", "nnnnnnn", false,
         [](GlobalHandle& d, const Rect&, const std::vector<double>& a) {
             return Warp(d, a[0] != 0, a[1] != 0, a[2] != 0, i(a[3]), i(a[4]), i(a[5]), i(a[6]));
         }},
        {"ILRotate", "nn", true,
         [](GlobalHandle& d, const Rect& r, const std::vector<double>& a) {
             return taken(d, ILRotate(d, r.left, r.top, r.right, r.bottom, a[0], static_cast<qint32>(a[1])));
         }},
        {"ILMirror", "nn", false,
         [](GlobalHandle& d, const Rect&, const std::vector<double>& a) { return ILMirror(d, a[0] != 0, a[1] != 0); }},
        {"ILInvert", "", false, [](GlobalHandle& d, const Rect&, const std::vector<double>&) { return taken(d, ILInvert(d)); }},
        {"ILBrightness", "n", false,
         [](GlobalHandle& d, const Rect&, const std::vector<double>& a) { return ILBrightness(d, i(a[0])); }},
        {"ILGamma", "n", false,
         [](GlobalHandle& d, const Rect&, const std::vector<double>& a) { return ILGamma(d, i(a[0])); }},
        {"ilHueAndSaturation", "sssssssss", true,
         [](GlobalHandle& d, const Rect& r, const std::vector<double>& a) {
             const HueChannels c{s(a[0]), s(a[1]), s(a[2]), s(a[3]), s(a[4]), s(a[5])};
             const bool whole = r.right == 0 || r.bottom == 0;
             const IspRect rect{r.left, r.top, r.right, r.bottom};
             return taken(d, ilHueAndSaturation(d, c, s(a[6]), s(a[7]), s(a[8]), whole ? nullptr : &rect));
         }},
        {"ScaleDib", "nnn", false,
         [](GlobalHandle& d, const Rect&, const std::vector<double>& a) { return ScaleDib(d, i(a[0]), i(a[1]), i(a[2])); }},
        {"ScaleToGray", "nnn", false,
         [](GlobalHandle& d, const Rect&, const std::vector<double>& a) {
             if (a[0] < 0 || a[0] > int(S_Gray_Anti_256))
                 throw ToolError::usage(QStringLiteral("ScaleToGray: mode %1 is not 0 to 7").arg(a[0]));
             return ScaleToGray(d, static_cast<TScaleToGray>(i(a[0])), i(a[1]), i(a[2]));
         }},
        {"ILReduceColors", "nn", false,
         [](GlobalHandle& d, const Rect&, const std::vector<double>& a) {
             if (a[1] < 0 || a[1] > int(IL_GRAYSCALE))
                 throw ToolError::usage(QStringLiteral("ILReduceColors: dither %1 is not 0 to 3").arg(a[1]));
             GlobalHandle in = d;
             d = nullptr;
             GlobalHandle out = ILReduceColors(in, i(a[0]), static_cast<TSortDither>(i(a[1])));
             if (out == in)  // nothing came back: no reduced picture
                 d = in;
             return out == in ? nullptr : out;
         }},
        {"ReduceDib", "nsns", false,
         [](GlobalHandle& d, const Rect&, const std::vector<double>& a) {
             return ReduceDib(d, i(a[0]), s(a[1]), i(a[2]), s(a[3]));
         }},
    };
    return specs;
}

#undef RECT_CALL

const EffectSpec* findSpec(const QString& name)
{
    for (const EffectSpec& e : effectSpecs())
        if (name == QLatin1String(e.name))
            return &e;
    return nullptr;
}

double number(const QString& text, const char* effect)
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v) || std::abs(v) > 1e9)
        throw ToolError::usage(QStringLiteral("%1: %2 is not a number").arg(QLatin1String(effect), text));
    return v;
}

Rect parseRect(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    Rect r;
    bool ok[4] = {false, false, false, false};
    if (parts.size() == 4) {
        r.left = parts[0].toInt(&ok[0]);
        r.top = parts[1].toInt(&ok[1]);
        r.right = parts[2].toInt(&ok[2]);
        r.bottom = parts[3].toInt(&ok[3]);
    }
    if (!(ok[0] && ok[1] && ok[2] && ok[3]))
        throw ToolError::usage(QStringLiteral("--rect needs L,T,R,B as whole numbers, not %1").arg(text));
    return r;
}

}  // namespace

int runEffectCommand(const QStringList& args)
{
    QStringList rest;
    std::optional<Rect> rect;
    for (int k = 0; k < args.size(); ++k) {
        if (args[k] == QLatin1String("--rect")) {
            if (rect || k + 1 >= args.size())
                throw ToolError::usage(QStringLiteral("--rect needs one L,T,R,B"));
            rect = parseRect(args[++k]);
        } else {
            rest << args[k];
        }
    }
    if (rest.size() < 3)
        throw ToolError::usage(QStringLiteral("expected NAME, its numbers, IN and OUT"));
    const EffectSpec* spec = findSpec(rest.first());
    if (!spec)
        throw ToolError::usage(QStringLiteral("unknown effect %1").arg(rest.first()));
    const QStringList numbers = rest.mid(1, rest.size() - 3);
    const int argCount = int(std::strlen(spec->args));
    if (numbers.size() != argCount)
        throw ToolError::usage(QStringLiteral("%1 takes %2 numbers, not %3")
                                   .arg(QLatin1String(spec->name))
                                   .arg(argCount)
                                   .arg(numbers.size()));
    if (rect && !spec->rect)
        throw ToolError::usage(QStringLiteral("%1 takes no rectangle").arg(QLatin1String(spec->name)));
    std::vector<double> values;
    for (int k = 0; k < argCount; ++k) {
        const double v = number(numbers[k], spec->name);
        if (!fitsKind(v, spec->args[k]))
            throw ToolError::usage(QStringLiteral("%1: number %2 (%3) is not %4")
                                       .arg(QLatin1String(spec->name))
                                       .arg(k + 1)
                                       .arg(numbers[k], QLatin1String(kindText(spec->args[k]))));
        values.push_back(v);
    }

    const QString in = rest[rest.size() - 2];
    const QString out = rest.last();
    PictureFile file(in);
    const TBitmap bitmap = file.decode(0, 0);
    GlobalHandle dib = GraphicToDIB(&bitmap);
    if (!dib)
        throw ToolError::failure(QStringLiteral("%1: cannot turn the picture into a DIB").arg(in));
    GlobalHandle result = nullptr;
    try {
        result = spec->run(dib, rect.value_or(Rect{}), values);
    } catch (...) {
        FreeDIB(dib);
        throw;
    }
    FreeDIB(dib);
    if (!result)
        throw ToolError::failure(QStringLiteral("%1: the effect gave no picture").arg(QLatin1String(spec->name)));
    try {
        writePicture(out, result);
    } catch (...) {
        FreeDIB(result);
        throw;
    }
    FreeDIB(result);
    return 0;
}
