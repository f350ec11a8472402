#include "dibconvert.h"

#include "codecstate.h"
#include "dibimage.h"
#include "errorinvalid.h"
#include "iltdib.h"
#include "tbitmap.h"

#include "dibcore/dibcore.h"

namespace {

int dibBitsFor(TPixelFormat format)
{
    switch (format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit:
    case pf16bit: return 16;
    case pf24bit: return 24;
    default: return 32;
    }
}

bool convertibleDepth(int bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 24;
}

dibcore::Progress progressOf(CodecProgress progress, void* sender)
{
    if (!progress)
        return {};
    return [progress, sender](int percent) { return progress(percent, sender) != 0; };
}

// dib at bits (1, 4, 8, 24) through the DIB core; null when it fails.
GlobalHandle changedDepth(GlobalHandle dib, int bits, bool dither, CodecProgress progress, void* sender)
{
    dibcore::DibView view = dibcore::lockView(dib);
    GlobalHandle out = nullptr;
    if (view.valid()) {
        const auto mode = dither ? dibcore::Dither::FloydSteinberg : dibcore::Dither::None;
        out = dibcore::convertDepth(view, bits, mode, progressOf(progress, sender));
    }
    globalmem::unlock(dib);
    return out;
}

int bitCountOf(GlobalHandle dib)
{
    ILTDib view(dib, false);
    return view.BitCount();
}

// The DIB's pixels into image; false when they cannot be moved.
bool moveToImage(GlobalHandle dib, QImage& image, TPixelFormat& format)
{
    dibcore::DibView view = dibcore::lockView(dib);
    image = view.valid() ? dibimage::toImage(view, &format) : QImage();
    globalmem::unlock(dib);
    return !image.isNull();
}

// An RLE DIB through the module's device bitmap.
bool rleToSection(GlobalHandle dib, QList<QRgb>& palette, QImage& image, TPixelFormat& format)
{
    GlobalHandle bitmap = nullptr;
    QList<QRgb> ddbPalette;
    if (!DibToDdb(dib, bitmap, ddbPalette))
        return false;
    const bool moved = moveToImage(bitmap, image, format);
    if (moved) {
        const QList<QRgb> shared = SharedPalette();
        palette = !shared.isEmpty() ? shared : (ddbPalette.isEmpty() ? image.colorTable() : ddbPalette);
    } else {
        SetLastErrorText(QString::fromLatin1(kMoveDataError));
    }
    FreeDIB(bitmap);
    return moved;
}

}  // namespace

void FreeDIB(GlobalHandle dib)
{
    if (!globalmem::isValid(dib) || globalmem::size(dib) < 2)
        return;
    while (globalmem::lockCount(dib) > 0)
        globalmem::unlock(dib);
    globalmem::free(dib);
}

GlobalHandle BitmapToDIB(const QImage& image, TPixelFormat format, const QList<QRgb>& palette)
{
    if (image.isNull())
        throw ErrorInvalid(QString::fromLatin1(errortext::kInputEmpty));
    const int bits = dibBitsFor(format);
    const QList<QRgb> mapTo = palette == image.colorTable() ? QList<QRgb>() : palette;
    GlobalHandle dib = dibimage::fromImage(image, bits, bits <= 8 ? mapTo : QList<QRgb>());
    if (!dib || (bits <= 24 && bits != 16))
        return dib;
    GlobalHandle rgb = bits == 16 ? DIB16To24(dib) : DIB32To24(dib);
    FreeDIB(dib);
    return rgb;
}

GlobalHandle GraphicToDIB(const TBitmap* graphic)
{
    if (!graphic)
        throw ErrorInvalid(QString::fromLatin1(errortext::kInputEmpty));
    return BitmapToDIB(graphic->image(), graphic->pixelFormat(), graphic->palette());
}

GlobalHandle GraphicToDIBDepth(const TBitmap* graphic, int bits, bool dither, CodecProgress progress, void* sender)
{
    GlobalHandle dib = GraphicToDIB(graphic);
    if (!dib || !convertibleDepth(bits) || bitCountOf(dib) == bits)
        return dib;
    GlobalHandle changed = changedDepth(dib, bits, dither, progress, sender);
    if (!changed)
        return dib;
    FreeDIB(dib);
    return changed;
}

bool DIBToSection(GlobalHandle dib, int bits, bool dither, CodecProgress progress, void* sender,
                  QList<QRgb>& palette, QImage& image, TPixelFormat& format)
{
    if (!globalmem::isValid(dib) || globalmem::size(dib) == 0)
        return false;
    ILTDib source(dib, false);
    if (!source.IsConsistent())
        return false;
    if (source.Compression() == dibcore::kBiRle8 || source.Compression() == dibcore::kBiRle4)
        return rleToSection(dib, palette, image, format);

    ILTDib changed;
    ILTDib* work = &source;
    if (convertibleDepth(bits) && bits != source.BitCount()) {
        GlobalHandle converted = changedDepth(dib, bits, dither, progress, sender);
        if (!converted)
            return false;
        changed.SetDIB(converted);
        work = &changed;
    }
    if (!moveToImage(work->Handle(), image, format)) {
        SetLastErrorText(QString::fromLatin1(kMoveDataError));
        return false;
    }
    const QList<QRgb> shared = SharedPalette();
    palette = !shared.isEmpty() ? shared : work->Palette();
    return true;
}

bool DIBToBitmap(GlobalHandle dib, int bits, bool dither, CodecProgress progress, void* sender, TBitmap& bitmap)
{
    QList<QRgb> palette;
    QImage image;
    TPixelFormat format = pfDevice;
    if (!DIBToSection(dib, bits, dither, progress, sender, palette, image, format))
        return false;
    bitmap.assign(image, format);
    bitmap.setPalette(palette);
    return true;
}

std::unique_ptr<TBitmap> DIBToBitmap(GlobalHandle dib, int bits, bool dither, CodecProgress progress, void* sender)
{
    auto bitmap = std::make_unique<TBitmap>();
    if (!DIBToBitmap(dib, bits, dither, progress, sender, *bitmap))
        return nullptr;
    return bitmap;
}

bool DIBToDeviceBitmap(GlobalHandle dib, TBitmap& bitmap)
{
    GlobalHandle device = nullptr;
    QList<QRgb> palette;
    if (!DibToDdb(dib, device, palette))
        return false;
    QImage image;
    TPixelFormat format = pfDevice;
    const bool moved = moveToImage(device, image, format);
    FreeDIB(device);
    if (!moved)
        return false;
    bitmap.assign(image, format);
    bitmap.setPalette(palette);
    return true;
}

bool DIBToGraphic(GlobalHandle dib, TBitmap& graphic)
{
    if (globalmem::size(dib) < 6)
        return false;
    return DIBToBitmap(dib, bitCountOf(dib), false, nullptr, nullptr, graphic);
}

GlobalHandle DIB8To24(GlobalHandle dib)
{
    if (!globalmem::isValid(dib) || globalmem::size(dib) == 0)
        throw ErrorInvalid(QString::fromLatin1(errortext::kInputEmpty));
    if (bitCountOf(dib) != 8)
        throw ErrorInvalid(QString::fromLatin1(errortext::kNot8Bit));
    dibcore::DibView view = dibcore::lockView(dib);
    GlobalHandle out = nullptr;
    if (view.valid() && !view.isRle()) {
        ILTDib result;
        result.SetOwns(false);
        if (result.CreateNew({}, view.width(), 24, view.height())) {
            const std::int64_t stride = ILTDib::RowSize(view.width(), 24);
            std::uint8_t* pixels = result.PixelPointer();
            for (int y = 0; y < view.height(); ++y) {
                const std::uint8_t* src = view.row(y);
                std::uint8_t* dst = pixels + stride * (view.height() - 1 - y);
                for (int x = 0; x < view.width(); ++x) {
                    const dibcore::RgbQuad c = view.color(src[x]);
                    dst[3 * x] = c.blue;
                    dst[3 * x + 1] = c.green;
                    dst[3 * x + 2] = c.red;
                }
            }
            out = result.Release();
        }
    }
    globalmem::unlock(dib);
    return out;
}
