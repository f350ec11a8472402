#include "epswmfpreview.h"

#include "metafileconvert.h"
#include "tmetafile.h"

#include "codec/binding/dibconvert.h"
#include "codec/binding/tbitmap.h"

#include <QtEndian>

namespace {

// DOS EPS binary header: mark, then offset and length of the PostScript,
// the WMF and the TIFF sections, then a checksum.
constexpr int kHeaderBytes = 30;
constexpr int kWmfOffset = 12;
constexpr int kWmfLength = 16;

QByteArray wmfSection(const QByteArray& eps)
{
    if (eps.size() < kHeaderBytes || !eps.startsWith(QByteArray("\xC5\xD0\xD3\xC6", 4)))
        return {};
    const quint32 offset = qFromLittleEndian<quint32>(eps.constData() + kWmfOffset);
    const quint32 length = qFromLittleEndian<quint32>(eps.constData() + kWmfLength);
    if (length == 0 || offset < quint32(kHeaderBytes) || offset > quint64(eps.size()) ||
        length > quint64(eps.size()) - offset)
        return {};
    return eps.mid(qsizetype(offset), qsizetype(length));
}

}  // namespace

GlobalHandle EpsWmfPreviewDib(const QByteArray& eps, int bits, bool dither, CodecProgress progress, void* sender)
{
    const QByteArray wmf = wmfSection(eps);
    TMetafile metafile;
    if (wmf.isEmpty() || !metafile.LoadFromData(wmf) || metafile.Enhanced())
        return nullptr;
    TBitmap picture;
    if (!MetafileToBitmap(&picture, &metafile, false))
        return nullptr;
    return GraphicToDIBDepth(&picture, bits == 0 ? 24 : bits, dither, progress, sender);
}
