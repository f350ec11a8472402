#include "gifwriter.h"

#include <gif_lib.h>

#include "dibcore/dibcore.h"

namespace gifwriter {

namespace {

int writeData(GifFileType* gif, const GifByteType* data, int length)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
    if (length < 0)
        return 0;
    try {
        out->insert(out->end(), data, data + length);
    } catch (...) {
        return 0;
    }
    return length;
}

// A colour map of 2^bits entries from the picture's table.
ColorMapObject* colourMap(const dibcore::DibView& dib)
{
    const int n = dibcore::colorsForBits(dib.bitCount());
    ColorMapObject* map = GifMakeMapObject(n, nullptr);
    if (!map)
        return nullptr;
    for (int i = 0; i < n; ++i) {
        const dibcore::RgbQuad c = dib.color(i);
        map->Colors[i] = GifColorType{c.red, c.green, c.blue};
    }
    return map;
}

bool writeRows(GifFileType* gif, const dibcore::DibView& dib, DecodeRequest& request)
{
    std::vector<GifPixelType> line(std::size_t(dib.width()));
    for (int y = 0; y < dib.height(); ++y) {
        const std::uint8_t* row = dib.row(y);
        for (int x = 0; x < dib.width(); ++x)
            line[std::size_t(x)] = static_cast<GifPixelType>(dibcore::DibView::indexAt(row, x, dib.bitCount()));
        if (EGifPutLine(gif, line.data(), dib.width()) != GIF_OK)
            return false;
        if (!request.progress(static_cast<int>((y + 1) * 80LL / dib.height())))
            return false;
    }
    return true;
}

bool writeGif(GifFileType* gif, const dibcore::DibView& dib, DecodeRequest& request)
{
    ColorMapObject* map = colourMap(dib);
    if (!map)
        return false;
    const int bits = map->BitsPerPixel;
    bool ok = EGifPutScreenDesc(gif, dib.width(), dib.height(), bits, 0, map) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, dib.width(), dib.height(), false, nullptr) == GIF_OK;
    GifFreeMapObject(map);
    return ok && writeRows(gif, dib, request);
}

}  // namespace

bool encode(const dibcore::DibView& dib, DecodeRequest& request, std::vector<std::uint8_t>& out)
{
    if (!dib.valid() || dib.isRle() || dib.bitCount() > 8 || dib.width() > 65535 || dib.height() > 65535)
        return false;
    out.clear();
    int error = 0;
    GifFileType* gif = EGifOpen(&out, writeData, &error);
    if (!gif)
        return false;
    const bool ok = writeGif(gif, dib, request);
    // closing writes the trailer; a stopped or failed file is dropped anyway
    const bool closed = EGifCloseFile(gif, &error) == GIF_OK;
    return ok && closed && !out.empty();
}

}  // namespace gifwriter
