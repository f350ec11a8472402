// Milliseconds of our full decode through the codec binding (file to a
// 24-bit DIB) beside the reference library's own tool on the same file in
// the same run, as a ratio (ours / theirs): djpeg for JPEG, pngtopnm for
// PNG, tiffcp (to an uncompressed copy) for TIFF, and ImageMagick
// (single-threaded, to PPM) for every file.
//
// The photos are the JPEGs of 12 megapixels and more in ../shared/corpus/
// when present, else one the bench makes (4000x3000, quality 90). The PNG
// and the TIFF (LZW) are made here from the first photo by our writers.
// Each decode runs three times (five for ours) and the fastest counts; the
// tools' times include starting their process (a few milliseconds).
//
// Usage: bench_decode [CORPUS_FOLDER]

#include "fastest.h"

#include "codec/binding/codecwrappers.h"
#include "codec/binding/dibconvert.h"
#include "codec/binding/tiffnames.h"
#include "dibcore/dibcore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <functional>

namespace {

constexpr qint64 kMinPixels = 12'000'000;

struct Sample {
    QString path;
    QString label;
    int width = 0;
    int height = 0;
};

bool runTool(const QString& program, const QStringList& args, const QString& stdoutFile = "/dev/null")
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("MAGICK_THREAD_LIMIT", "1");
    env.insert("OMP_NUM_THREADS", "1");
    p.setProcessEnvironment(env);
    p.setStandardOutputFile(stdoutFile);
    p.start(program, args);
    return p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool ourDecode(const QString& path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    GlobalHandle dib = nullptr;
    bool ok = false;
    if (ext == "jpg" || ext == "jpeg")
        ok = ReadJpgFileDib(path, 24, false, dib);
    else if (ext == "png")
        ok = ReadPngFileDib(path, 24, false, dib);
    else
        ok = ReadTiffFileDib(path, 24, false, 0, dib);
    FreeDIB(dib);
    return ok;
}

// The reference library's own tool for the file's type.
QString referenceName(const QString& path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    return ext == "png" ? "pngtopnm" : (ext == "tif" ? "tiffcp" : "djpeg");
}

bool referenceDecode(const QString& path, const QString& scratch)
{
    const QString tool = referenceName(path);
    if (tool == "tiffcp")
        return runTool(tool, {"-c", "none", path, scratch + "/copy.tif"});
    if (tool == "djpeg")
        return runTool(tool, {"-outfile", "/dev/null", path});
    return runTool(tool, {path});
}

QList<Sample> corpusPhotos(const QString& folder)
{
    QList<Sample> out;
    const QDir dir(folder + "/jpeg");
    for (const QString& name : dir.entryList({"*.jpg", "*.jpeg"}, QDir::Files, QDir::Name)) {
        PictureFileInfo info;
        const QString path = dir.filePath(name);
        if (ReadFileInfo(path, info) && qint64(info.width) * info.height >= kMinPixels)
            out.append({path, name, info.width, info.height});
    }
    return out;
}

// A photo-like 4000x3000 picture: gradients, waves and fine noise.
GlobalHandle makePhoto()
{
    constexpr int w = 4000, h = 3000;
    GlobalHandle dib = dibcore::allocDib(w, h, 24);
    dibcore::DibView v = dibcore::lockView(dib);
    std::uint32_t noise = 1;
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = v.mutableRow(y);
        for (int x = 0; x < w; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const int n = int(noise >> 29) - 4;
            row[3 * x] = std::uint8_t(std::clamp(x * 255 / w + n, 0, 255));
            row[3 * x + 1] = std::uint8_t(std::clamp(y * 255 / h + n, 0, 255));
            row[3 * x + 2] = std::uint8_t(std::clamp(int(128 + 100 * std::sin((x + 2 * y) / 150.0)) + n, 0, 255));
        }
    }
    globalmem::unlock(dib);
    return dib;
}

void report(const Sample& s, const QString& scratch)
{
    const double ours = fastest(5, [&] { return ourDecode(s.path); });
    const double ref = fastest(3, [&] { return referenceDecode(s.path, scratch); });
    const double magick = fastest(3, [&] { return runTool("convert", {s.path, "ppm:/dev/null"}); });
    std::printf("%-58s %5.1f MP  ours %7.1f ms  %-8s %7.1f ms  ratio %5.2f  ImageMagick %7.1f ms  ratio %5.2f\n",
                qPrintable(s.label), double(s.width) * s.height / 1e6, ours, qPrintable(referenceName(s.path)), ref,
                ref > 0 ? ours / ref : 0.0, magick, magick > 0 ? ours / magick : 0.0);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString corpus = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                    : QStringLiteral(KV_SOURCE_DIR "/../shared/corpus");
    for (const char* tool : {"djpeg", "pngtopnm", "tiffcp", "convert"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            std::printf("note: %s is not installed; its column stays -1\n", tool);
    QTemporaryDir scratch;
    QList<Sample> photos = corpusPhotos(corpus);
    GlobalHandle source = nullptr;
    if (photos.isEmpty()) {
        std::printf("no photos of 12 MP in %s: using one made here\n", qPrintable(corpus));
        source = makePhoto();
        const QString path = scratch.filePath("made-4000x3000.jpg");
        if (!WriteJpgFileDib(path, source, 0, 90, 0, false))
            return 1;
        photos.append({path, "made-4000x3000.jpg (quality 90)", 4000, 3000});
    } else if (!ReadJpgFileDib(photos.first().path, 24, false, source)) {
        return 1;
    }
    const Sample& first = photos.first();
    const QString png = scratch.filePath("photo.png"), tif = scratch.filePath("photo.tif");
    if (!WritePngFileDib(png, source, 0, false) || !WriteTiffFileDib(tif, source, 0, TiffCompressionCode(sLZW), false))
        return 1;
    FreeDIB(source);

    ourDecode(first.path);  // loads the module
    for (const Sample& s : photos)
        report(s, scratch.path());
    report({png, "PNG written here from " + QFileInfo(first.path).fileName(), first.width, first.height},
           scratch.path());
    report({tif, "TIFF (LZW) written here from " + QFileInfo(first.path).fileName(), first.width, first.height},
           scratch.path());
    return 0;
}
