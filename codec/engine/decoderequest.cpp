#include "decoderequest.h"

#include "dibcore/dibcore.h"
#include "dibcore/dibguard.h"

using dibcore::DibGuard;

DecodeRequest::DecodeRequest(int bits, int dither, ProgressCallback callback, void* sender)
    : m_bits(dibcore::deliveredDepth(bits))
    , m_dither(dither != 0)
    , m_callback(callback)
    , m_sender(sender)
{
}

bool DecodeRequest::progress(int percent)
{
    if (m_stopped)
        return false;
    if (percent < 0)
        percent = 0;
    if (percent > 100)
        percent = 100;
    if (!m_callback || percent == m_lastPercent)
        return true;
    m_lastPercent = percent;
    if (m_callback(percent, m_sender) == 0)
        m_stopped = true;
    return !m_stopped;
}

GlobalHandle DecodeRequest::finish(GlobalHandle natural)
{
    DibGuard source(natural);
    if (!natural || m_stopped)
        return nullptr;
    if (m_bits != 0) {
        dibcore::DibView view = dibcore::lockView(natural);
        if (!view.valid())
            return nullptr;
        const bool keep = !view.isRle() && view.bitCount() == m_bits;
        if (!keep) {
            const auto dither = m_dither ? dibcore::Dither::FloydSteinberg : dibcore::Dither::None;
            GlobalHandle converted = dibcore::convertDepth(view, m_bits, dither);
            if (!converted)
                return nullptr;
            if (!progress(100)) {
                DibGuard drop(converted);
                return nullptr;
            }
            return converted;
        }
    }
    if (!progress(100))
        return nullptr;
    return source.release();
}
