#include "metafiledib.h"

#include "codec/binding/dibimage.h"
#include "dibcore/dibcore.h"

namespace metafiledib {

QByteArray packed(const QImage& picture, int bits, const QList<QRgb>& palette)
{
    if (picture.isNull())
        return {};
    const int depth = bits == 1 || bits == 4 || bits == 8 ? bits : 24;
    const bool indexed = picture.format() == QImage::Format_Indexed8 || picture.format() == QImage::Format_Mono ||
                         picture.format() == QImage::Format_MonoLSB;
    // an indexed picture keeps its own indices; other pictures get a palette
    const QList<QRgb> table = depth == 24 || (indexed && palette == picture.colorTable()) ? QList<QRgb>() : palette;
    GlobalHandle dib = dibimage::fromImage(picture, depth, table);
    if (!dib)
        return {};
    QByteArray out;
    if (const void* p = globalmem::lock(dib)) {
        out = QByteArray(static_cast<const char*>(p), qsizetype(globalmem::size(dib)));
        globalmem::unlock(dib);
    }
    globalmem::free(dib);
    return out;
}

int infoBytes(const QByteArray& dib)
{
    const dibcore::DibView view(dib.constData(), std::size_t(dib.size()));
    return view.valid() ? int(view.pixelOffset()) : 0;
}

}  // namespace metafiledib
