// libFuzzer target over the DXF reader and renderer from memory (the module
// reads DXF only from files). The input's size picks the picture size,
// small enough to keep each run short; every tenth input also asks for the
// own size.

#include <cstddef>
#include <cstdint>

#include "dibcore/dibguard.h"
#include "dxfcodec.h"

namespace {

int keepGoing(int, void*)
{
    return 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const ByteSpan bytes{data, size};
    int width = int(size % 97), height = int(size % 61);
    if (size % 10 == 0) {
        if (!dxfcodec::ownSize(bytes, width, height))
            return 0;
    }
    DecodeRequest request(0, 0, keepGoing, nullptr);
    dibcore::DibGuard picture(dxfcodec::render(bytes, width, height, request));
    return 0;
}
