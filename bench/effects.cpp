// Milliseconds per effect on a 12-megapixel picture made here, through the
// effects binding; for ScaleDib, Blur and ILRotate also libvips on the same
// picture, single-threaded, as a ratio (our time / libvips time).
//
// libvips is timed as `vips OP` minus `vips copy` on the same files, so its
// loading and saving are left out; each command runs three times and the
// fastest counts. --compare-only stops after the three compared effects;
// --preview measures the effects dialog's previews instead.

#include "codec/binding/dibconvert.h"
#include "dibcore/dibcore.h"
#include "effects/effectcalls.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <functional>

// effectpreview.cpp
int previewLatency(GlobalHandle master);

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

// Smooth colour fields with fine texture, so no effect meets a flat picture.
GlobalHandle makePicture()
{
    GlobalHandle h = dibcore::allocDib(kWidth, kHeight, 24);
    dibcore::DibView v = dibcore::lockView(h);
    for (int y = 0; y < kHeight; ++y) {
        std::uint8_t* row = v.mutableRow(y);
        for (int x = 0; x < kWidth; ++x) {
            const int texture = ((x * 7 + y * 13) ^ (x * y)) & 31;
            row[3 * x] = static_cast<std::uint8_t>((x * 255 / kWidth + texture) & 255);
            row[3 * x + 1] = static_cast<std::uint8_t>((y * 255 / kHeight + texture) & 255);
            row[3 * x + 2] = static_cast<std::uint8_t>(128 + 100 * std::sin((x + y) / 300.0));
        }
    }
    globalmem::unlock(h);
    return h;
}

// The picture as a binary PPM for libvips.
bool writePpm(GlobalHandle dib, const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(QStringLiteral("P6\n%1 %2\n255\n").arg(kWidth).arg(kHeight).toLatin1());
    dibcore::DibView v = dibcore::lockView(dib);
    QByteArray row(kWidth * 3, 0);
    for (int y = 0; y < kHeight; ++y) {
        const std::uint8_t* in = v.row(y);
        for (int x = 0; x < kWidth; ++x) {
            row[3 * x] = static_cast<char>(in[3 * x + 2]);
            row[3 * x + 1] = static_cast<char>(in[3 * x + 1]);
            row[3 * x + 2] = static_cast<char>(in[3 * x]);
        }
        f.write(row);
    }
    globalmem::unlock(dib);
    return true;
}

double timeMs(const std::function<void()>& run)
{
    QElapsedTimer t;
    t.start();
    run();
    return double(t.nsecsElapsed()) / 1e6;
}

// The fastest of three runs of a vips command, or -1 when it fails.
double vipsMs(const QStringList& args)
{
    double best = -1;
    for (int i = 0; i < 3; ++i) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VIPS_CONCURRENCY"), QStringLiteral("1"));
        p.setProcessEnvironment(env);
        QElapsedTimer t;
        t.start();
        p.start(QStringLiteral("vips"), args + QStringList{QStringLiteral("--vips-concurrency=1")});
        if (!p.waitForFinished(600000) || p.exitCode() != 0)
            return -1;
        const double ms = double(t.nsecsElapsed()) / 1e6;
        best = best < 0 ? ms : std::min(best, ms);
    }
    return best;
}

// Our time for one effect: the fastest of `runs` calls.
double effectMs(const std::function<GlobalHandle()>& effect, int runs)
{
    double best = -1;
    for (int i = 0; i < runs; ++i) {
        GlobalHandle out = nullptr;
        const double ms = timeMs([&] { out = effect(); });
        if (!out)
            return -1;
        FreeDIB(out);
        best = best < 0 ? ms : std::min(best, ms);
    }
    return best;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    GlobalHandle pic = makePicture();
    std::printf("picture %dx%d 24 bits\n", kWidth, kHeight);
    if (app.arguments().contains(QStringLiteral("--preview")))
        return previewLatency(pic);

    struct Compared {
        const char* name;
        std::function<GlobalHandle()> ours;
        QStringList vips;  // after the input and output files
        const char* vipsOp;
    };
    const std::vector<Compared> compared = {
        {"ScaleDib", [&] { return ScaleDib(pic, kWidth / 2, kHeight / 2, 24); }, {QStringLiteral("0.5")}, "resize"},
        {"Blur", [&] { return Blur(pic, 0, 0, 0, 0, 10); }, {QStringLiteral("5")}, "gaussblur"},
        {"ILRotate", [&] {
             GlobalHandle copy = dibcore::copyBlock(pic);
             return ILRotate(copy, 0, 0, 0, 0, 30.0, 0) ? copy : (FreeDIB(copy), nullptr);
         }, {QStringLiteral("30")}, "rotate"},
    };

    QTemporaryDir dir;
    const QString ppm = dir.filePath(QStringLiteral("in.ppm"));
    const QString native = dir.filePath(QStringLiteral("in.v"));
    const QString out = dir.filePath(QStringLiteral("out.v"));
    const bool vipsReady = writePpm(pic, ppm) &&
                           vipsMs({QStringLiteral("copy"), ppm, native}) >= 0;
    const double copyMs = vipsReady ? vipsMs({QStringLiteral("copy"), native, out}) : -1;
    if (!vipsReady)
        std::printf("libvips: not available, no comparison\n");
    else
        std::printf("libvips copy (load and save only) %.1f ms\n", copyMs);

    for (const Compared& c : compared) {
        const double ours = effectMs(c.ours, 3);
        if (!vipsReady) {
            std::printf("%-20s %9.1f ms\n", c.name, ours);
            continue;
        }
        const double raw = vipsMs(QStringList{QString::fromLatin1(c.vipsOp), native, out} + c.vips);
        const double net = raw - copyMs;
        std::printf("%-20s %9.1f ms   vips %s %.1f ms (net of load/save: %.1f ms)   ratio %.2f\n", c.name, ours,
                    c.vipsOp, raw, net, net > 0 ? ours / net : 0.0);
    }

    if (app.arguments().contains(QStringLiteral("--compare-only"))) {
        FreeDIB(pic);
        return 0;
    }
    const std::vector<std::pair<const char*, std::function<GlobalHandle()>>> others = {
        {"ScaleDib 2x", [&] { return ScaleDib(pic, kWidth * 2, kHeight * 2, 24); }},
        {"ScaleToGray", [&] { return ScaleToGray(pic, S_Gray_Anti_256, 400, 300); }},
        {"ILRotate 90", [&] {
             GlobalHandle copy = dibcore::copyBlock(pic);
             return ILRotate(copy, 0, 0, 0, 0, 90.0, 0) ? copy : (FreeDIB(copy), nullptr);
         }},
        {"ILMirror", [&] { return ILMirror(pic, true, true); }},
        {"ILBrightness", [&] { return ILBrightness(pic, 20); }},
        {"ILGamma", [&] { return ILGamma(pic, 15); }},
        {"AutoContrast", [&] { return AutoContrast(pic, 0, 0, 0, 0); }},
        {"Enhance", [&] { return Enhance(pic, 0, 0, 0, 0, 10, 20, 12, 10, 9); }},
        {"GrayArea", [&] { return GrayArea(pic, 0, 0, 0, 0); }},
        {"ThresholdDib", [&] { return ThresholdDib(pic, 0, 0, 0, 0, 120, true); }},
        {"ReduceDib 8", [&] { return ReduceDib(pic, 8, 4, 0, 0); }},
        {"ReduceDib 1", [&] { return ReduceDib(pic, 1, 1, 0, 0); }},
        {"Better", [&] { return Better(pic, 0, 0, 0, 0, 5); }},
        {"Edge", [&] { return Edge(pic, 0, 0, 0, 0, 8); }},
        {"Engrave", [&] { return Engrave(pic, 0, 0, 0, 0, 3); }},
        {"Bled", [&] { return Bled(pic, 0, 0, 0, 0, 120); }},
        {"PixelFix", [&] { return PixelFix(pic, 0, 0, 0, 0, 50); }},
        {"OilPainting", [&] { return OilPainting(pic, 0, 0, 0, 0, 3); }},
        {"HToneImage", [&] { return HToneImage(pic, 6, 45.0f, 0); }},
        {"Noise", [&] { return Noise(pic, 0, 0, 0, 0, true, false, 20, 20, 20); }},
        {"Motion line", [&] { return Motion(pic, 0, 0, 0, 0, 10, 30, 3); }},
        {"Mosaic", [&] { return Mosaic(pic, 0, 0, 0, 0, 40, 30, 2, 45, 2, true, 0, 1, 0, 0, 0, 255, 255, 255); }},
        {"Spray", [&] { return Spray(pic, 0, 0, 0, 0, 5, 1); }},
        {"FadeDib", [&] { return FadeDib(pic, 0, 0, 0, 0, 200, 255, 255, 255); }},
        {"PinchHole", [&] { return PinchHole(pic, 0, 0, 0, 0, -10.0); }},
        {"Whirl", [&] { return Whirl(pic, 0, 0, 0, 0, 180.0); }},
        {"Wave", [&] { return Wave(pic, 0, 0, 0, 0, 50.0, 20, 0.0, true, false); }},
        {"Jiggle", [&] { return Jiggle(pic, 0, 0, 0, 0, 20, 10, 0); }},
        {"RecToPolar", [&] { return RecToPolar(pic, 0, 0, 0, 0, 100, 0, false, false); }},
        {"Curl", [&] { return Curl(pic, 0, 0, 0, 0, CurlOptions{}); }},
        {"TileDib", [&] { return TileDib(pic); }},
        {"ExtrudeDib", [&] { return ExtrudeDib(pic, true, 5); }},
        {"Warp", [&] { return Warp(pic, true, true, true, 20, 90, 2, 10); }},
    };
    for (const auto& [name, run] : others)
        std::printf("%-20s %9.1f ms\n", name, effectMs(run, 1));
    FreeDIB(pic);
    return 0;
}
