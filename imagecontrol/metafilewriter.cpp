#include "metafilewriter.h"

#include "codec/binding/iltdib.h"

#include <QtEndian>
#include <cmath>

namespace metafilewriter {

namespace {

constexpr double kWindowsUnitsPerPixel = 0.84675;
constexpr int kWindowsUnitsPerInch = 81;
constexpr quint32 kSrcCopy = 0x00CC0020;

class Writer {
public:
    void u16(quint16 v) { append(qToLittleEndian(v)); }
    void i16(qint16 v) { append(qToLittleEndian(v)); }
    void u32(quint32 v) { append(qToLittleEndian(v)); }
    void i32(qint32 v) { append(qToLittleEndian(v)); }
    void bytes(const char* data, qsizetype size) { out_.append(data, size); }
    QByteArray& data() { return out_; }

private:
    template <typename T>
    void append(T v)
    {
        out_.append(reinterpret_cast<const char*>(&v), sizeof v);
    }
    QByteArray out_;
};

// The packed DIB's header with its colour table, and its pixel bits.
struct DibParts {
    QByteArray info;
    QByteArray bits;
    int width = 0;
    int height = 0;
};

bool partsOf(GlobalHandle dib, DibParts& parts)
{
    ILTDib view(dib, false);
    if (!view.IsConsistent() || view.Width() <= 0 || view.Height() <= 0)
        return false;
    const qint64 total = view.TotalSize();
    const int header = view.HeaderSize();
    if (total <= header || total > qint64(globalmem::size(dib)) || total > (qint64(1) << 30))
        return false;
    const auto* base = reinterpret_cast<const char*>(view.Header());
    parts.info = QByteArray(base, header);
    parts.bits = QByteArray(base + header, total - header);
    parts.width = view.Width();
    parts.height = std::abs(view.Height());
    return true;
}

int rounded(double v)
{
    return int(std::lround(v));
}

}  // namespace

QSize windowsMetafileExtent(QSize picture)
{
    return QSize(rounded(picture.width() * kWindowsUnitsPerPixel), rounded(picture.height() * kWindowsUnitsPerPixel));
}

QByteArray enhancedMetafile(GlobalHandle dib)
{
    DibParts dibParts;
    if (!partsOf(dib, dibParts))
        return {};
    const qint32 w = dibParts.width, h = dibParts.height;
    constexpr quint32 headerSize = 88;
    constexpr quint32 stretchFixed = 80;
    constexpr quint32 eofSize = 20;
    const quint32 stretchSize = stretchFixed + quint32(dibParts.info.size() + dibParts.bits.size());
    const quint32 fileSize = headerSize + stretchSize + eofSize;

    Writer out;
    // EMR_HEADER
    out.u32(1);
    out.u32(headerSize);
    for (qint32 v : {0, 0, w - 1, h - 1})  // bounds in pixels
        out.i32(v);
    for (qint32 v : {0, 0, rounded(w * 2540.0 / 96) - 1, rounded(h * 2540.0 / 96) - 1})  // frame, 0.01 mm
        out.i32(v);
    out.u32(0x464D4520);  // " EMF"
    out.u32(0x00010000);
    out.u32(fileSize);
    out.u32(3);           // records
    out.u16(1);           // handles
    out.u16(0);
    out.u32(0);           // description
    out.u32(0);
    out.u32(0);           // palette entries
    out.i32(1920);        // reference device: pixels and millimetres at 96 dpi
    out.i32(1080);
    out.i32(508);
    out.i32(286);
    // EMR_STRETCHDIBITS
    out.u32(81);
    out.u32(stretchSize);
    for (qint32 v : {0, 0, w - 1, h - 1})
        out.i32(v);
    for (qint32 v : {0, 0, 0, 0, w, h})  // destination x, y; source x, y, width, height
        out.i32(v);
    out.u32(stretchFixed);
    out.u32(quint32(dibParts.info.size()));
    out.u32(stretchFixed + quint32(dibParts.info.size()));
    out.u32(quint32(dibParts.bits.size()));
    out.u32(0);  // DIB_RGB_COLORS
    out.u32(kSrcCopy);
    out.i32(w);
    out.i32(h);
    out.bytes(dibParts.info.constData(), dibParts.info.size());
    out.bytes(dibParts.bits.constData(), dibParts.bits.size());
    // EMR_EOF
    out.u32(14);
    out.u32(eofSize);
    out.u32(0);
    out.u32(16);
    out.u32(eofSize);
    return out.data();
}

QByteArray windowsMetafile(GlobalHandle dib)
{
    DibParts dibParts;
    if (!partsOf(dib, dibParts))
        return {};
    const QSize extent = windowsMetafileExtent(QSize(dibParts.width, dibParts.height));
    if (dibParts.width > 32767 || dibParts.height > 32767 || extent.isEmpty())
        return {};
    const quint32 dibWords = quint32((dibParts.info.size() + dibParts.bits.size() + 1) / 2);
    const quint32 stretchWords = 3 + 2 + 1 + 8 + dibWords;
    constexpr quint32 originWords = 5, extentWords = 5, eofWords = 3, headerWords = 9;
    const quint32 totalWords = headerWords + originWords + extentWords + stretchWords + eofWords;

    Writer out;
    // placeable header
    out.u32(0x9AC6CDD7);
    out.u16(0);
    out.i16(0);
    out.i16(0);
    out.i16(qint16(extent.width()));
    out.i16(qint16(extent.height()));
    out.u16(kWindowsUnitsPerInch);
    out.u32(0);
    quint16 checksum = 0;
    for (int i = 0; i < 10; ++i)
        checksum ^= qFromLittleEndian<quint16>(out.data().constData() + 2 * i);
    out.u16(checksum);
    // META_HEADER
    out.u16(1);
    out.u16(headerWords);
    out.u16(0x0300);
    out.u32(totalWords);
    out.u16(0);
    out.u32(stretchWords);
    out.u16(0);
    // META_SETWINDOWORG, META_SETWINDOWEXT (y before x)
    out.u32(originWords);
    out.u16(0x020B);
    out.i16(0);
    out.i16(0);
    out.u32(extentWords);
    out.u16(0x020C);
    out.i16(qint16(extent.height()));
    out.i16(qint16(extent.width()));
    // META_STRETCHDIB
    out.u32(stretchWords);
    out.u16(0x0F43);
    out.u32(kSrcCopy);
    out.u16(0);  // DIB_RGB_COLORS
    for (qint16 v : {qint16(dibParts.height), qint16(dibParts.width), qint16(0), qint16(0),
                     qint16(extent.height()), qint16(extent.width()), qint16(0), qint16(0)})
        out.i16(v);
    out.bytes(dibParts.info.constData(), dibParts.info.size());
    out.bytes(dibParts.bits.constData(), dibParts.bits.size());
    if ((dibParts.info.size() + dibParts.bits.size()) % 2)
        out.bytes("", 1);
    // META_EOF
    out.u32(eofWords);
    out.u16(0);
    return out.data();
}

}  // namespace metafilewriter
