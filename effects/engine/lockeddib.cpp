#include "lockeddib.h"

namespace isp {

LockedDib::LockedDib(GlobalHandle handle)
    : m_handle(handle)
{
    void* data = globalmem::lock(handle);
    if (!data)
        return;
    m_locked = true;
    // writable view: in-place entries change the block through it
    m_view = dibcore::DibView(data, globalmem::size(handle));
}

LockedDib::~LockedDib()
{
    if (m_locked)
        globalmem::unlock(m_handle);
}

bool LockedDib::trueColour() const
{
    if (!m_view.valid() || m_view.isRle())
        return false;
    if (m_view.bitCount() == 24)
        return true;
    return m_view.bitCount() == 32 && m_view.redMask() == 0x00FF0000u && m_view.greenMask() == 0x0000FF00u &&
           m_view.blueMask() == 0x000000FFu;
}

}  // namespace isp
