// libFuzzer target over the annotation file reader: whatever it accepts
// must write back to bytes that read as the same pages.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "annotationformat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::optional<annotationformat::Pages> pages = annotationformat::parse(data, size);
    if (!pages)
        return 0;
    const std::vector<std::uint8_t> again = annotationformat::serialize(*pages);
    const std::optional<annotationformat::Pages> back = annotationformat::parse(again.data(), again.size());
    if (!back || *back != *pages)
        std::abort();
    return 0;
}
