#pragma once
// A packed DIB locked for the length of an entry call and checked against
// its block: the view is valid only when header, colour table and rows fit.

#include "dibcore/dibview.h"
#include "platform/globalmem.h"

namespace isp {

class LockedDib
{
public:
    explicit LockedDib(GlobalHandle handle);
    ~LockedDib();
    LockedDib(const LockedDib&) = delete;
    LockedDib& operator=(const LockedDib&) = delete;

    GlobalHandle handle() const { return m_handle; }
    const dibcore::DibView& view() const { return m_view; }
    bool valid() const { return m_view.valid(); }
    // An uncompressed 24-bit DIB, or a 32-bit one with blue, green, red in
    // the low three bytes: the pictures the effects work on.
    bool trueColour() const;
    int bytesPerPixel() const { return m_view.bitCount() / 8; }
    int width() const { return m_view.width(); }
    int height() const { return m_view.height(); }

private:
    GlobalHandle m_handle;
    bool m_locked = false;
    dibcore::DibView m_view;
};

}  // namespace isp
