#include "tiffdirectories.h"

#include "tiffblock.h"

#include <unordered_set>

std::vector<TiffDirectory> TiffDirectories(const QByteArray& file, int limit)
{
    std::vector<TiffDirectory> out;
    const TiffBlock tiff(reinterpret_cast<const uchar*>(file.constData()), file.size());
    if (!tiff.valid())
        return out;
    constexpr quint16 kShort = 3, kLong = 4;
    std::unordered_set<quint32> seen;   // a chain that loops ends
    for (quint32 at = tiff.firstDirectory(); at != 0 && int(out.size()) < limit && seen.insert(at).second;) {
        TiffDirectory d;
        at = tiff.walk(at, [&](quint16 tag, quint16 type, qint64 value) {
            const quint32 v = type == kShort ? tiff.u16(value) : type == kLong ? tiff.u32(value) : 0;
            if (tag == 254)
                d.reduced = d.reduced || (v & 1) != 0;
            else if (tag == 255)
                d.reduced = d.reduced || v == 2;
            else if (tag == 256)
                d.width = int(std::min<quint32>(v, 1u << 30));
            else if (tag == 257)
                d.height = int(std::min<quint32>(v, 1u << 30));
        });
        out.push_back(d);
    }
    return out;
}
