#include "dibimage.h"

#include <QtEndian>

namespace dibimage {

namespace {

struct Header {
    qint32 width = 0, height = 0;
    int bits = 0;
    quint32 compression = 0, clrUsed = 0;
};

bool readHeader(const uchar* p, std::size_t size, Header& h)
{
    if (size < 40 || qFromLittleEndian<quint32>(p) != 40)
        return false;
    h.width = qFromLittleEndian<qint32>(p + 4);
    h.height = qFromLittleEndian<qint32>(p + 8);
    h.bits = qFromLittleEndian<quint16>(p + 14);
    h.compression = qFromLittleEndian<quint32>(p + 16);
    h.clrUsed = qFromLittleEndian<quint32>(p + 32);
    return true;
}

}  // namespace

int bitCount(GlobalHandle dib)
{
    Header h;
    const auto* p = static_cast<const uchar*>(globalmem::lock(dib));
    const bool ok = p && readHeader(p, globalmem::size(dib), h);
    globalmem::unlock(dib);
    return ok ? h.bits : 0;
}

int colourCount(GlobalHandle dib)
{
    Header h;
    const auto* p = static_cast<const uchar*>(globalmem::lock(dib));
    const bool ok = p && readHeader(p, globalmem::size(dib), h);
    globalmem::unlock(dib);
    if (!ok)
        return 0;
    if (h.clrUsed)
        return int(h.clrUsed);
    return h.bits <= 8 ? 1 << h.bits : 0;
}

QImage toImage(GlobalHandle dib)
{
    const std::size_t size = globalmem::size(dib);
    const auto* p = static_cast<const uchar*>(globalmem::lock(dib));
    Header h;
    QImage out;
    if (p && readHeader(p, size, h) && h.compression == 0 && h.width > 0 && h.height != 0 &&
        (h.bits == 1 || h.bits == 4 || h.bits == 8 || h.bits == 24)) {
        const int height = h.height < 0 ? -h.height : h.height;
        const int colours = h.clrUsed ? int(h.clrUsed) : (h.bits <= 8 ? 1 << h.bits : 0);
        const std::size_t stride = std::size_t((qint64(h.width) * h.bits + 31) / 32 * 4);
        const std::size_t pixelStart = 40 + std::size_t(colours) * 4;
        if (pixelStart + stride * std::size_t(height) <= size) {
            out = QImage(h.width, height, QImage::Format_RGB888);
            for (int y = 0; y < height; ++y) {
                const int stored = h.height < 0 ? y : height - 1 - y;
                const uchar* row = p + pixelStart + stride * std::size_t(stored);
                uchar* o = out.scanLine(y);
                for (int x = 0; x < h.width; ++x) {
                    if (h.bits == 24) {
                        o[3 * x] = row[3 * x + 2];
                        o[3 * x + 1] = row[3 * x + 1];
                        o[3 * x + 2] = row[3 * x];
                        continue;
                    }
                    int index = 0;
                    if (h.bits == 1)
                        index = (row[x / 8] >> (7 - x % 8)) & 1;
                    else if (h.bits == 4)
                        index = (x % 2) ? (row[x / 2] & 15) : (row[x / 2] >> 4);
                    else
                        index = row[x];
                    const uchar* c = index < colours ? p + 40 + 4 * index : nullptr;
                    o[3 * x] = c ? c[2] : 0;
                    o[3 * x + 1] = c ? c[1] : 0;
                    o[3 * x + 2] = c ? c[0] : 0;
                }
            }
        }
    }
    globalmem::unlock(dib);
    return out;
}

void release(GlobalHandle dib)
{
    while (globalmem::unlock(dib)) {
    }
    globalmem::free(dib);
}

}  // namespace dibimage
