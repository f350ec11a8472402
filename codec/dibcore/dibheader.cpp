#include "dibheader.h"

#include "dibcore.h"

namespace dibcore {

bool readDibHeader(const void* data, std::size_t available, DibHeader& out)
{
    if (!data || available < kInfoHeaderSize)
        return false;
    const auto* p = static_cast<const std::uint8_t*>(data);
    out.size = le32(p);
    out.width = static_cast<std::int32_t>(le32(p + 4));
    out.height = static_cast<std::int32_t>(le32(p + 8));
    out.planes = le16(p + 12);
    out.bitCount = le16(p + 14);
    out.compression = le32(p + 16);
    out.sizeImage = le32(p + 20);
    out.xPelsPerMeter = static_cast<std::int32_t>(le32(p + 24));
    out.yPelsPerMeter = static_cast<std::int32_t>(le32(p + 28));
    out.clrUsed = le32(p + 32);
    out.clrImportant = le32(p + 36);
    return true;
}

void writeDibHeader(void* data, const DibHeader& h)
{
    auto* p = static_cast<std::uint8_t*>(data);
    putLe32(p, static_cast<std::uint32_t>(kInfoHeaderSize));
    putLe32(p + 4, static_cast<std::uint32_t>(h.width));
    putLe32(p + 8, static_cast<std::uint32_t>(h.height));
    putLe16(p + 12, h.planes);
    putLe16(p + 14, h.bitCount);
    putLe32(p + 16, h.compression);
    putLe32(p + 20, h.sizeImage);
    putLe32(p + 24, static_cast<std::uint32_t>(h.xPelsPerMeter));
    putLe32(p + 28, static_cast<std::uint32_t>(h.yPelsPerMeter));
    putLe32(p + 32, h.clrUsed);
    putLe32(p + 36, h.clrImportant);
}

}  // namespace dibcore
