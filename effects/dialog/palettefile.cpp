#include "palettefile.h"

#include "codec/binding/errorinvalid.h"
#include "dibcore/dibcore.h"
#include "dibcore/dibguard.h"
#include "dibcore/dibview.h"
#include "dibcore/nearestcolor.h"
#include "platform/ownfilewriter.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr char kHeaderText[] = "korvane 30 palettes";
constexpr int kTextLength = 19;

QByteArray headerBytes()
{
    QByteArray h(1, char(kTextLength));
    h.append(kHeaderText, kTextLength);
    return h;
}

QByteArray fileImage(const PaletteEntries& palette, int n)
{
    QByteArray data(palettefile::kFileSize, '\0');
    const QByteArray head = headerBytes();
    std::memcpy(data.data(), head.constData(), size_t(head.size()));
    data[21] = char(n & 0xff);
    data[22] = char((n >> 8) & 0xff);
    for (int i = 0; i < n; ++i) {
        char* e = data.data() + palettefile::kHeaderSize + 4 * i;
        e[0] = char(palette[size_t(i)].red);
        e[1] = char(palette[size_t(i)].green);
        e[2] = char(palette[size_t(i)].blue);
        e[3] = 0;
    }
    return data;
}

quint32 colourValue(const dibcore::RgbQuad& q)
{
    return quint32(q.red) + quint32(q.green) * 256u + quint32(q.blue) * 65536u;
}

[[noreturn]] void notPalettePicture()
{
    throw ErrorInvalid(QStringLiteral("Dib is not 8 or 4 bit"));
}

}  // namespace

bool SavePaletteFile(const QString& fileName, const PaletteEntries& palette, int n)
{
    if (n < 1 || n > palettefile::kMaxColours || int(palette.size()) < n)
        return false;
    OwnFileWriter writer(fileName);
    if (!writer.open() || !writer.write(fileImage(palette, n)) || !writer.commit())
        throw ErrorInvalid(QStringLiteral("Could not create file!"));
    return true;
}

int LoadPaletteFile(const QString& fileName, std::optional<PaletteEntries>& palette)
{
    QFile file(fileName);
    if (!QFileInfo(fileName).isFile())
        return 0;
    if (!file.open(QIODevice::ReadOnly))
        throw ErrorInvalid(QStringLiteral("Could not open file!"));
    // one byte more than a palette file holds tells a longer file apart
    const QByteArray data = file.read(palettefile::kFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        throw ErrorInvalid(QStringLiteral("Could not open file!"));
    if (data.size() != palettefile::kFileSize || !data.startsWith(headerBytes()))
        return 0;
    const auto* bytes = reinterpret_cast<const quint8*>(data.constData());
    const int n = bytes[21] | (bytes[22] << 8);
    if (n < 1 || n > palettefile::kMaxColours)
        return 0;
    PaletteEntries& target = palette ? *palette : palette.emplace();
    if (int(target.size()) < n)
        target.resize(size_t(n));
    for (int i = 0; i < n; ++i) {
        const quint8* e = bytes + palettefile::kHeaderSize + 4 * i;
        target[size_t(i)] = dibcore::rgb(e[0], e[1], e[2]);
    }
    return palettefile::kFileSize;
}

PaletteEntries MakeGrayPalette(int n)
{
    PaletteEntries p;
    for (int i = 0; i < std::clamp(n, 0, palettefile::kMaxColours); ++i)
        p.push_back(dibcore::rgb(i, i, i));
    return p;
}

void SortPaletteAsText(PaletteEntries& palette)
{
    std::vector<std::pair<QByteArray, dibcore::RgbQuad>> keyed;
    for (const dibcore::RgbQuad& q : palette)
        keyed.emplace_back(QByteArray::number(colourValue(q)), dibcore::rgb(q.red, q.green, q.blue));
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    keyed.erase(std::unique(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first == b.first; }),
                keyed.end());
    for (size_t i = 0; i < keyed.size(); ++i)
        palette[i] = keyed[i].second;
}

bool RemapToPalette(PaletteEntries& target, GlobalHandle& dib, void* owner, EffectProgress progress)
{
    if (target.empty() || target.size() > size_t(palettefile::kMaxColours))
        return false;
    void* data = dib ? globalmem::lock(dib) : nullptr;
    const dibcore::DibView view = data ? dibcore::DibView(data, globalmem::size(dib)) : dibcore::DibView();
    struct Unlock {
        GlobalHandle h;
        ~Unlock()
        {
            if (h)
                globalmem::unlock(h);
        }
    } unlock{data ? dib : nullptr};
    if (!view.valid() || view.isRle() || view.pixelBytes() == 0)
        notPalettePicture();
    const int bits = view.bitCount();
    if (bits != 1 && bits != 4 && bits != 8)
        notPalettePicture();

    SortPaletteAsText(target);
    const int outBits = int(target.size()) > (1 << bits) ? 8 : bits;
    const int width = view.width();
    const int height = view.height();
    dibcore::DibGuard out(dibcore::allocDib(width, height, outBits, target));
    if (!out.get())
        return false;
    // the guard unlocks and frees it on every way out
    dibcore::DibView outView = dibcore::lockView(out.get());

    dibcore::NearestColor nearest(target);
    const double pixels = double(width) * double(height);
    double done = 0;
    int lastPercent = -1;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = view.row(y);
        std::uint8_t* outRow = outView.mutableRow(y);
        for (int x = 0; x < width; ++x) {
            const dibcore::RgbQuad c = view.color(int(dibcore::DibView::indexAt(row, x, bits)));
            dibcore::setIndex(outRow, x, outBits, unsigned(nearest.index(c.red, c.green, c.blue)));
        }
        done += width;
        const int percent = int(std::lround(100.0 / pixels * done));
        if (percent != lastPercent) {
            lastPercent = percent;
            if (progress && progress(qint16(percent), owner) == 0)
                return false;
        }
    }

    if (outBits != bits) {
        unlock.h = nullptr;
        dibcore::DibGuard old(dib);
        dib = out.release();
        return true;
    }
    for (int y = 0; y < height; ++y)
        std::memcpy(view.mutableRow(y), outView.row(y), view.rowStride());
    dibcore::RgbQuad* table = view.mutableColorTable();
    const int count = std::min(view.colorCount(), int(target.size()));
    for (int i = 0; i < count && table; ++i)
        table[i] = target[size_t(i)];
    return true;
}
