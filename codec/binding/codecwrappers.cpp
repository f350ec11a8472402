// The codec wrappers: the frame of their calls, the module's DIB
// conversions, and where the annotation settings are kept.

#include "codecwrappers.h"

#include "codeccall.h"

#include "dibcore/dibcore.h"
#include "platform/settings.h"

#include <QFile>
#include <QFileInfo>

using namespace codeccall;

namespace codeccall {

bool judged(short result, Judge judge)
{
    switch (judge) {
    case Judge::Positive: return result > 0;
    case Judge::NotMinusOne: return result != -1;
    case Judge::NotNegative: return result >= 0;
    }
    return false;
}

std::optional<NameBuffer> nameBuffer(const QString& file)
{
    const QByteArray bytes = QFile::encodeName(file);
    if (bytes.size() > kMaxCodecFileName || bytes.contains('\0'))
        return std::nullopt;
    NameBuffer buffer{};
    std::copy(bytes.begin(), bytes.end(), buffer.begin());
    return buffer;
}

thread_local QString t_failureReason;

QString moduleFailureReason()
{
    const CodecModule::Entry e = CodecModule::resolve("lastfailure");
    if (!e)
        return {};
    char text[256] = {};
    try {
        if (e.as<lastfailure_fn>()(text, int(sizeof text)) <= 0)
            return {};
    } catch (...) {
        return {};
    }
    return QString::fromUtf8(text);
}

bool settled(bool ok, GlobalHandle& dib)
{
    if (ok && globalmem::size(dib) > 0)
        return true;
    if (dib)
        FreeDIB(dib);
    dib = nullptr;
    return false;
}

QList<QRgb> colorsOf(PaletteHandle palette)
{
    QList<QRgb> colors;
    for (const dibcore::RgbQuad& q : dibcore::readLogPalette(palette))
        colors.append(qRgb(q.red, q.green, q.blue));
    return colors;
}

}  // namespace codeccall

namespace {

GlobalHandle convertWith(const char* entry, GlobalHandle dib)
{
    const CodecModule::Entry e = CodecModule::resolve(entry);
    if (!e || !globalmem::isValid(dib))
        return nullptr;
    try {
        return e.as<CopyDIB_fn>()(dib);
    } catch (...) {
        return nullptr;
    }
}

}  // namespace

// ---- DIB conversions of the module -------------------------------------------------------

GlobalHandle CopyDIB(GlobalHandle dib) { return convertWith("CopyDIB", dib); }
GlobalHandle DIB1To4(GlobalHandle dib) { return convertWith("DIB1to4", dib); }
GlobalHandle DIB1To8(GlobalHandle dib) { return convertWith("DIB1To8", dib); }
GlobalHandle DIB1To24(GlobalHandle dib) { return convertWith("DIB1To24", dib); }
GlobalHandle DIB4To8(GlobalHandle dib) { return convertWith("DIB4To8", dib); }
GlobalHandle DIB4To24(GlobalHandle dib) { return convertWith("DIB4To24", dib); }
GlobalHandle DIB16To24(GlobalHandle dib) { return convertWith("DIB16To24", dib); }
GlobalHandle DIB32To24(GlobalHandle dib) { return convertWith("DIB32To24", dib); }

bool DibToDdb(GlobalHandle dib, GlobalHandle& bitmap, QList<QRgb>& palette)
{
    bitmap = nullptr;
    const CodecModule::Entry e = CodecModule::resolve("DibtoDdb");
    if (!e || !globalmem::isValid(dib))
        return false;
    PaletteHandle paletteBlock = nullptr;
    const void* data = globalmem::lock(dib);
    const bool ok = guarded(Judge::Positive, [&] {
        return e.as<DibtoDdb_fn>()(data, qint64(globalmem::size(dib)), &paletteBlock, &bitmap);
    });
    globalmem::unlock(dib);
    palette = colorsOf(paletteBlock);
    globalmem::free(paletteBlock);
    return settled(ok, bitmap);
}

QString AnnotationSettingsFile()
{
    // the program folder may be read-only once installed
    return QFileInfo(Settings::filePath()).absolutePath() + QStringLiteral("/il_anno.ini");
}
