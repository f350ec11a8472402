#include "depthchoice.h"

#include "codec/binding/dibconvert.h"
#include "codec/binding/errorinvalid.h"
#include "codec/binding/tbitmap.h"
#include "dibcore/depthconvert.h"
#include "dibcore/dibcore.h"
#include "dibcore/dibguard.h"

namespace {

constexpr const char* kCaptions[kDepthChoiceCount] = {
    "Monochrom (1 Bit)",
    "16 (4 Bit) Farben",
    "256 (8 Bit) Farben",
    "32767 (15 Bit) Farben",
    "65535 (16 Bit) Farben",
    "16 Millionen (24 Bit, True Color) Farben",
    "4 Milliarden (32 Bit) Farben",
    "256 (8 Bit) Graustufen",
};

TBitmap exactly(const TBitmap& source, TPixelFormat format)
{
    TBitmap copy = source;
    copy.setPixelFormat(format);
    return copy;
}

// Through a DIB: the DIB core's reduction with its palette choice.
TBitmap reduced(const TBitmap& source, int bits, dibcore::Dither dither, const std::atomic<bool>* stop)
{
    dibcore::DibGuard dib;
    try {
        dib.reset(GraphicToDIB(&source));
    } catch (const ErrorInvalid&) {
        return {};
    }
    if (!dib.get())
        return {};
    dibcore::Progress progress;
    if (stop)
        progress = [stop](int) { return !stop->load(); };
    const dibcore::DibView view = dibcore::lockView(dib.get());
    dibcore::DibGuard out(view.valid() ? dibcore::convertDepth(view, bits, dither, progress) : nullptr);
    globalmem::unlock(dib.get());
    TBitmap result;
    if (!out.get() || !DIBToBitmap(out.get(), 0, false, nullptr, nullptr, result))
        return {};
    return result;
}

}  // namespace

QString DepthCaption(DepthChoice choice)
{
    const int i = int(choice);
    return i >= 0 && i < kDepthChoiceCount ? QString::fromUtf8(kCaptions[i]) : QString();
}

TBitmap ConvertedToDepth(const TBitmap& source, DepthChoice choice, const std::atomic<bool>* stop)
{
    if (source.empty())
        return {};
    switch (choice) {
    case DepthChoice::None: return source;
    case DepthChoice::Mono: return reduced(source, 1, dibcore::Dither::FloydSteinberg, stop);
    case DepthChoice::Colors16: return reduced(source, 4, dibcore::Dither::FloydSteinberg, stop);
    case DepthChoice::Colors256: return reduced(source, 8, dibcore::Dither::FloydSteinberg, stop);
    case DepthChoice::Grey: return reduced(source, 8, dibcore::Dither::Grey, stop);
    case DepthChoice::Colors15Bit: return exactly(source, pf15bit);
    case DepthChoice::Colors16Bit: return exactly(source, pf16bit);
    case DepthChoice::TrueColor: return exactly(source, pf24bit);
    case DepthChoice::Colors32Bit: return exactly(source, pf32bit);
    }
    return {};
}
