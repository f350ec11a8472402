// One libFuzzer target over one memory entry of the codec engine, chosen by
// KV_FUZZ_ENTRY. The input's size picks the requested depth, dithering and
// page, so every conversion path is reached.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "crde2001.h"
#include "dibcore/dibguard.h"

namespace {

constexpr short kDepths[] = {0, 1, 4, 8, 24};

bool is(const char* name)
{
    return std::strcmp(KV_FUZZ_ENTRY, name) == 0;
}

int keepGoing(int, void*)
{
    return 1;
}

void decode(const std::uint8_t* data, std::int64_t size)
{
    const short bits = kDepths[std::size_t(size) % 5];
    const short dither = short(size % 2);
    const short page = short(size % 3);
    GlobalHandle dib = nullptr;
    if (is("rdjpgstreamdib"))
        rdjpgstreamdib(data, size, bits, dither, short(1 << (size % 4)), &dib, nullptr, keepGoing, 0);
    else if (is("rdbmpstreamdib"))
        rdbmpstreamdib(data, size, bits, dither, &dib, nullptr, keepGoing, 0);
    else if (is("rdpngstreamdib"))
        rdpngstreamdib(data, size, bits, dither, &dib, nullptr, keepGoing, 0);
    else if (is("rdgifstreamdib"))
        rdgifstreamdib(data, size, bits, dither, &dib, nullptr, keepGoing, 0);
    else if (is("rdpcxstreamdib"))
        rdpcxstreamdib(data, size, bits, dither, &dib, nullptr, keepGoing, 0);
    else if (is("rddcxstreamdib"))
        rddcxstreamdib(data, size, bits, dither, page, &dib, nullptr, keepGoing, 0);
    else if (is("readtgafilestreamdib"))
        readtgafilestreamdib(data, size, bits, dither, &dib, nullptr, keepGoing, 0);
    else if (is("readtiffiledibstream"))
        readtiffiledibstream(data, size, bits, dither, page, &dib, nullptr, keepGoing, 0);
    dibcore::DibGuard free(dib);
}

void describe(const std::uint8_t* data, std::int64_t size)
{
    char type[16];
    char compression[16];
    int width = 0, height = 0, colours = 0;
    short bits = 0, planes = 0, pages = 0, code = 0;
    if (is("streaminfo"))
        streaminfo(data, size, type, sizeof type, compression, sizeof compression, &colours, &planes, &bits,
                   &height, &width);
    else if (is("getinfostream"))
        getinfostream(data, size, short(size % 3), &width, &height, &bits, &pages, &code);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    decode(data, std::int64_t(size));
    describe(data, std::int64_t(size));
    return 0;
}
