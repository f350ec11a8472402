#include "epsstructure.h"

#include <cstring>

#include "dibcore/dibcore.h"

namespace epsstructure {

namespace {

bool isPostScript(ByteSpan b)
{
    return b.size >= 2 && b.data[0] == '%' && b.data[1] == '!';
}

// A section of the binary header: an empty one (length 0) is allowed, any
// other must lie inside the file after the header.
bool section(ByteSpan file, std::uint32_t offset, std::uint32_t length, ByteSpan& out)
{
    out = {};
    if (length == 0)
        return true;
    if (offset < kDosHeaderBytes || !file.has(offset, length))
        return false;
    out = ByteSpan{file.data + offset, length};
    return true;
}

}  // namespace

bool split(ByteSpan file, Sections& out)
{
    out = {};
    if (isPostScript(file)) {
        out.postscript = file;
        return true;
    }
    static const std::uint8_t magic[4] = {0xC5, 0xD0, 0xD3, 0xC6};
    if (file.size < kDosHeaderBytes || std::memcmp(file.data, magic, 4) != 0)
        return false;
    const std::uint8_t* h = file.data;
    using dibcore::le32;
    if (!section(file, le32(h + 4), le32(h + 8), out.postscript) || !isPostScript(out.postscript))
        return false;
    // a damaged preview does not spoil the PostScript section
    if (!section(file, le32(h + 12), le32(h + 16), out.wmf))
        out.wmf = {};
    if (!section(file, le32(h + 20), le32(h + 24), out.tiff))
        out.tiff = {};
    out.binaryHeader = true;
    return true;
}

void writeDosHeader(std::uint8_t* out, std::uint32_t psOffset, std::uint32_t psLength, std::uint32_t wmfOffset,
                    std::uint32_t wmfLength, std::uint32_t tiffOffset, std::uint32_t tiffLength)
{
    static const std::uint8_t magic[4] = {0xC5, 0xD0, 0xD3, 0xC6};
    std::memcpy(out, magic, 4);
    dibcore::putLe32(out + 4, psOffset);
    dibcore::putLe32(out + 8, psLength);
    dibcore::putLe32(out + 12, wmfOffset);
    dibcore::putLe32(out + 16, wmfLength);
    dibcore::putLe32(out + 20, tiffOffset);
    dibcore::putLe32(out + 24, tiffLength);
    dibcore::putLe16(out + 28, 0xFFFF);
}

}  // namespace epsstructure
