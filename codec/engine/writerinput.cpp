#include "writerinput.h"

namespace {

int wantedBits(int requested, int own)
{
    if (requested == 0)
        return own == 1 || own == 4 || own == 8 ? own : 24;
    return requested;
}

}  // namespace

WriterInput::WriterInput(GlobalHandle dib, int bits) : m_caller(dib)
{
    if (!dib || !globalmem::isValid(dib))
        return;
    const void* data = globalmem::lock(dib);
    if (!data)
        return;
    m_callerLocked = true;
    const dibcore::DibView own(data, globalmem::size(dib));
    if (!own.valid())
        return;
    if (bits != 0 && bits != 1 && bits != 4 && bits != 8 && bits != 24)
        return;
    const int target = wantedBits(bits, own.bitCount());
    if (target == own.bitCount() && !own.isRle()) {
        m_view = own;
        return;
    }
    adopt(dibcore::convertDepth(own, target, dibcore::Dither::FloydSteinberg));
}

WriterInput::~WriterInput()
{
    m_view = {};
    m_converted.reset();
    if (m_callerLocked)
        globalmem::unlock(m_caller);
}

void WriterInput::adopt(GlobalHandle converted)
{
    m_view = {};
    m_converted.reset(converted);
    if (converted) {
        m_view = dibcore::lockView(converted);
        globalmem::unlock(converted);  // the guard owns the block; the view stays usable
    }
}

bool WriterInput::convert(int bits, dibcore::Dither dither)
{
    if (!valid())
        return false;
    if (bits == m_view.bitCount())
        return true;
    adopt(dibcore::convertDepth(m_view, bits, dither));
    return valid();
}

bool WriterInput::makeBlackAndWhite()
{
    if (!valid())
        return false;
    const dibcore::Palette mono = dibcore::monoPalette();
    const auto same = [](dibcore::RgbQuad a, dibcore::RgbQuad b) {
        return a.red == b.red && a.green == b.green && a.blue == b.blue;
    };
    if (m_view.bitCount() == 1 && same(m_view.color(0), mono[0]) && same(m_view.color(1), mono[1]))
        return true;
    dibcore::DibGuard rgb(dibcore::toRgb24(m_view));
    if (!rgb.get())
        return false;
    const dibcore::DibView rgbView = dibcore::lockView(rgb.get());
    adopt(dibcore::reduceToPalette(rgbView, 1, mono, dibcore::Dither::FloydSteinberg));
    return valid();
}

dibcore::Palette WriterInput::palette() const
{
    dibcore::Palette out;
    const int n = dibcore::colorsForBits(m_view.bitCount());
    for (int i = 0; i < n; ++i)
        out.push_back(m_view.color(i));
    return out;
}
