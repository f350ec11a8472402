#include "gifcodec.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include <gif_lib.h>

#include "decodefailure.h"
#include "dibcore/dibcore.h"

namespace gifcodec {

namespace {

struct Reader {
    ByteSpan bytes;
    std::size_t pos = 0;
};

int readData(GifFileType* gif, GifByteType* buf, int length)
{
    auto* r = static_cast<Reader*>(gif->UserData);
    if (length <= 0)
        return 0;
    const std::size_t n = std::min<std::size_t>(std::size_t(length), r->bytes.size - r->pos);
    std::memcpy(buf, r->bytes.data + r->pos, n);
    r->pos += n;
    return static_cast<int>(n);
}

class GifFile
{
public:
    explicit GifFile(ByteSpan bytes) : m_reader{bytes, 0}
    {
        int error = 0;
        if (bytes.size >= 13)
            m_gif = DGifOpen(&m_reader, readData, &error);
    }
    ~GifFile()
    {
        if (m_gif) {
            int error = 0;
            DGifCloseFile(m_gif, &error);
        }
    }
    GifFile(const GifFile&) = delete;
    GifFile& operator=(const GifFile&) = delete;
    GifFileType* get() const { return m_gif; }

private:
    Reader m_reader;
    GifFileType* m_gif = nullptr;
};

// Reads records up to the first image descriptor; transparent gets the
// index of the graphic control extension that precedes it (or -1).
bool seekFirstImage(GifFileType* gif, int& transparent)
{
    transparent = -1;
    for (int guard = 0; guard < 1000000; ++guard) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR)
            return false;
        if (type == IMAGE_DESC_RECORD_TYPE)
            return DGifGetImageDesc(gif) != GIF_ERROR;
        if (type != EXTENSION_RECORD_TYPE)
            return false;
        int code = 0;
        GifByteType* ext = nullptr;
        if (DGifGetExtension(gif, &code, &ext) == GIF_ERROR)
            return false;
        if (code == GRAPHICS_EXT_FUNC_CODE && ext && ext[0] >= 4)
            transparent = (ext[1] & 1) ? ext[4] : -1;
        while (ext) {
            if (DGifGetExtensionNext(gif, &ext) == GIF_ERROR)
                return false;
        }
    }
    return false;
}

int bitsForColours(int count)
{
    return count <= 2 ? 1 : (count <= 16 ? 4 : 8);
}

}  // namespace

GlobalHandle decode(ByteSpan bytes, DecodeRequest& request)
{
    GifFile file(bytes);
    GifFileType* gif = file.get();
    if (!gif)
        return nullptr;
    int transparent = -1;
    if (!seekFirstImage(gif, transparent))
        return nullptr;
    const GifImageDesc& desc = gif->Image;
    if (desc.Width <= 0 || desc.Height <= 0 || desc.Left < 0 || desc.Top < 0)
        return nullptr;
    const long long canvasW = std::max<long long>(gif->SWidth, static_cast<long long>(desc.Left) + desc.Width);
    const long long canvasH = std::max<long long>(gif->SHeight, static_cast<long long>(desc.Top) + desc.Height);
    if (!dibcore::fitsLimit(canvasW, canvasH, 8))
        return nullptr;

    const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    dibcore::Palette palette;
    if (map && map->Colors && map->ColorCount > 0) {
        for (int i = 0; i < map->ColorCount && i < 256; ++i)
            palette.push_back(dibcore::rgb(map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue));
    } else {
        palette = dibcore::greyPalette(256);
    }
    const bool coversCanvas = desc.Left == 0 && desc.Top == 0 && desc.Width == canvasW && desc.Height == canvasH;
    int fill = -1;
    if (transparent >= 0) {
        if (transparent >= static_cast<int>(palette.size()))
            palette.resize(std::size_t(transparent) + 1);
        palette[std::size_t(transparent)] = dibcore::rgb(255, 255, 255);
        fill = transparent;
    } else if (!coversCanvas) {
        if (palette.size() < 256)
            palette.push_back(dibcore::rgb(255, 255, 255));
        fill = dibcore::nearestIndex(palette, 255, 255, 255);
    }
    const int bits = bitsForColours(static_cast<int>(palette.size()));
    if (!decodefailure::admits(canvasW, canvasH, bits, bytes))
        return nullptr;
    dibcore::DibGuard out(dibcore::allocDib(static_cast<int>(canvasW), static_cast<int>(canvasH), bits, palette));
    if (!out.get())
        return nullptr;
    dibcore::DibView dib = dibcore::lockView(out.get());
    if (fill > 0) {
        for (int y = 0; y < dib.height(); ++y)
            for (int x = 0; x < dib.width(); ++x)
                dibcore::setIndex(dib.mutableRow(y), x, bits, static_cast<unsigned>(fill));
    }

    std::vector<GifPixelType> line(std::size_t(desc.Width));
    static constexpr int kStart[] = {0, 4, 2, 1};
    static constexpr int kStep[] = {8, 8, 4, 2};
    const int passes = desc.Interlace ? 4 : 1;
    int done = 0;
    const unsigned maxIndex = static_cast<unsigned>(palette.size()) - 1;
    for (int pass = 0; pass < passes; ++pass) {
        const int start = desc.Interlace ? kStart[pass] : 0;
        const int step = desc.Interlace ? kStep[pass] : 1;
        for (int y = start; y < desc.Height; y += step) {
            if (DGifGetLine(gif, line.data(), desc.Width) == GIF_ERROR)
                return nullptr;
            std::uint8_t* row = dib.mutableRow(desc.Top + y);
            for (int x = 0; x < desc.Width; ++x) {
                const unsigned index = std::min<unsigned>(line[std::size_t(x)], maxIndex);
                if (static_cast<int>(index) != transparent)
                    dibcore::setIndex(row, desc.Left + x, bits, index);
            }
            if (!request.progress(static_cast<int>(++done * 95LL / desc.Height)))
                return nullptr;
        }
    }
    return out.release();
}

bool info(ByteSpan bytes, PictureInfo& out)
{
    GifFile file(bytes);
    GifFileType* gif = file.get();
    if (!gif)
        return false;
    out.type = "GIF";
    out.compression = "LZW";
    out.width = gif->SWidth;
    out.height = gif->SHeight;
    out.planes = 1;
    out.pages = 1;
    const ColorMapObject* map = gif->SColorMap;
    int transparent = -1;
    if (!map && seekFirstImage(gif, transparent))
        map = gif->Image.ColorMap;
    out.bits = map ? map->BitsPerPixel : 8;
    out.colours = map ? map->ColorCount : 0;
    return out.width > 0 && out.height > 0;
}

}  // namespace gifcodec
