#include "dibrecord.h"

#include "codec/binding/dibimage.h"
#include "dibcore/dibcore.h"

#include <QByteArray>

#include <cstring>

namespace dibrecord {

namespace {

constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kBiBitfields = 3;

struct InfoLayout {
    std::uint32_t headerSize = 0;
    int bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t colors = 0;      // colour table entries
    std::size_t tableBytes = 0;    // as stored
    std::size_t masksBytes = 0;    // BITFIELDS masks after a 40-byte header
};

bool readLayout(const ByteReader& info, int usage, InfoLayout& out)
{
    out.headerSize = info.u32(0);
    if (info.overrun())
        return false;
    if (out.headerSize == kCoreHeaderSize) {
        out.bitCount = info.u16(10);
        out.colors = out.bitCount <= 8 ? 1u << out.bitCount : 0;
        out.tableBytes = std::size_t(out.colors) * (usage == DIB_PAL_COLORS ? 2 : 3);
        return !info.overrun();
    }
    if (out.headerSize < 40 || out.headerSize > 4096)
        return false;
    out.bitCount = info.u16(14);
    out.compression = info.u32(16);
    const std::uint32_t used = info.u32(32);
    if (info.overrun() || out.bitCount > 32)
        return false;
    out.colors = used != 0 ? used : out.bitCount <= 8 ? 1u << out.bitCount : 0;
    if (out.bitCount <= 8 && out.colors > (1u << out.bitCount))
        out.colors = 1u << out.bitCount;
    if (out.colors > 256)
        out.colors = 0;  // a hint for palette devices, not a table we need
    if (out.headerSize == 40 && out.compression == kBiBitfields)
        out.masksBytes = 12;
    out.tableBytes = std::size_t(out.colors) * (usage == DIB_PAL_COLORS ? 2 : 4);
    return true;
}

void putLe32(QByteArray& a, std::size_t at, std::uint32_t v)
{
    dibcore::putLe32(reinterpret_cast<std::uint8_t*>(a.data()) + at, v);
}

// A 40-byte-header packed DIB with an RGB colour table, built from the
// record's parts; empty when they do not hold what the header says.
QByteArray normalised(const ByteReader& info, const ByteReader& bits, int usage, const QList<QRgb>& palette)
{
    InfoLayout l;
    if (!readLayout(info, usage, l))
        return {};
    const std::size_t headerAndMasks = (l.headerSize == kCoreHeaderSize ? 40 : l.headerSize) + l.masksBytes;
    const std::size_t srcTable = (l.headerSize == kCoreHeaderSize ? kCoreHeaderSize : l.headerSize) + l.masksBytes;
    if (!info.has(srcTable, l.tableBytes))
        return {};
    QByteArray dib(qsizetype(headerAndMasks + 4 * std::size_t(l.colors)), '\0');
    if (l.headerSize == kCoreHeaderSize) {
        putLe32(dib, 0, 40);
        putLe32(dib, 4, std::uint32_t(std::int32_t(info.i16(4))));
        putLe32(dib, 8, std::uint32_t(std::int32_t(info.i16(6))));
        dibcore::putLe16(reinterpret_cast<std::uint8_t*>(dib.data()) + 12, 1);
        dibcore::putLe16(reinterpret_cast<std::uint8_t*>(dib.data()) + 14, std::uint16_t(l.bitCount));
        putLe32(dib, 32, l.colors);
    } else {
        std::memcpy(dib.data(), info.data(), headerAndMasks);
        putLe32(dib, 32, l.colors);
    }
    auto* table = reinterpret_cast<std::uint8_t*>(dib.data()) + headerAndMasks;
    for (std::uint32_t i = 0; i < l.colors; ++i) {
        std::uint8_t* q = table + 4 * i;
        if (usage == DIB_PAL_COLORS) {
            const std::uint16_t index = info.u16(srcTable + 2 * i);
            const QRgb c = index < palette.size() ? palette.at(index) : qRgb(0, 0, 0);
            q[0] = std::uint8_t(qBlue(c));
            q[1] = std::uint8_t(qGreen(c));
            q[2] = std::uint8_t(qRed(c));
        } else if (l.headerSize == kCoreHeaderSize) {
            std::memcpy(q, info.data() + srcTable + 3 * i, 3);
        } else {
            std::memcpy(q, info.data() + srcTable + 4 * i, 4);
            q[3] = 0;
        }
    }
    dib.append(reinterpret_cast<const char*>(bits.data()), qsizetype(bits.size()));
    return dib;
}

QImage alphaImage(const dibcore::DibView& v)
{
    QImage img(v.width(), v.height(), QImage::Format_ARGB32_Premultiplied);
    if (img.isNull())
        return img;
    for (int y = 0; y < v.height(); ++y) {
        const std::uint8_t* src = v.row(y);
        auto* dst = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < v.width(); ++x) {
            const std::uint8_t* p = src + 4 * x;
            // premultiplied already; colour above alpha is clamped
            const int a = p[3];
            dst[x] = qRgba(std::min<int>(p[2], a), std::min<int>(p[1], a), std::min<int>(p[0], a), a);
        }
    }
    return img;
}

QImage viewImage(const dibcore::DibView& view, bool withAlpha)
{
    if (withAlpha && view.bitCount() == 32 && view.compression() == 0)
        return alphaImage(view);
    TPixelFormat format = pfDevice;
    return dibimage::toImage(view, &format);
}

QImage rleImage(const dibcore::DibView& view)
{
    GlobalHandle expanded = dibcore::decodeRle(view);
    if (!expanded)
        return {};
    const dibcore::DibView plain = dibcore::lockView(expanded);
    QImage img = plain.valid() ? viewImage(plain, false) : QImage();
    globalmem::unlock(expanded);
    globalmem::free(expanded);
    return img;
}

}  // namespace

QImage image(const ByteReader& info, const ByteReader& bits, int usage, const QList<QRgb>& palette, bool withAlpha)
{
    const QByteArray dib = normalised(info, bits, usage, palette);
    if (dib.isEmpty())
        return {};
    const dibcore::DibView view(dib.constData(), std::size_t(dib.size()));
    if (!view.valid() || !dibcore::fitsLimit(view.width(), view.height(), 32))
        return {};
    return view.isRle() ? rleImage(view) : viewImage(view, withAlpha);
}

std::size_t infoSize(const ByteReader& dib, int usage)
{
    InfoLayout l;
    if (!readLayout(dib, usage, l))
        return 0;
    return l.headerSize + l.masksBytes + l.tableBytes;
}

bool bottomUp(const ByteReader& info)
{
    if (info.u32(0) == kCoreHeaderSize)
        return true;
    return info.i32(8) > 0;
}

QRectF sourceRect(const QRectF& recorded, int imageHeight, bool bottomUp)
{
    if (!bottomUp)
        return recorded;
    return QRectF(recorded.x(), imageHeight - recorded.y() - recorded.height(), recorded.width(), recorded.height());
}

QImage packedImage(const ByteReader& dib, int usage, const QList<QRgb>& palette, bool withAlpha)
{
    const std::size_t info = infoSize(dib, usage);
    if (info == 0 || info > dib.size())
        return {};
    return image(dib.sub(0, info), dib.sub(info, dib.size() - info), usage, palette, withAlpha);
}

}  // namespace dibrecord
